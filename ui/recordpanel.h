// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record view: the seventeen fields of one contact, with its number, the
// distance and azimuth from the station and the name of the département. New
// contacts are typed into the same fields (the entry panel PictEnrs below them),
// and the confirmation frame FraMsgFiche asks before a stored contact changes.
// The panel reads the open log itself; the main window owns the log and the list.

#include "geo/locator.h"
#include "logbook/record.h"

#include <QFrame>

#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ondelog {

class LogFile;

/** Background of an entry field. */
enum class FieldColour
{
    Window = 1, ///< the usual background of a text field
    Grey = 2,   ///< 0xE0E0E0
    Yellow = 3, ///< light yellow: a call sign left after entry
    Red = 4,    ///< light red: a stored field being changed
    Green = 5,  ///< light green: the field being typed into
};

class RecordPanel : public QFrame
{
    Q_OBJECT

  public:
    /** Number of entry fields: 1..16 edit the record's fields, 13 the remarks and
     *  17 the QSL manager. */
    static constexpr int kFieldCount = 17;

    explicit RecordPanel(LogFile &log, QWidget *parent = nullptr);

    /** Shows record n of the open log (nothing while the entry panel is shown). */
    void displayRecord(std::int32_t n);
    /** The record shown, 0 when none. */
    std::int32_t displayedRecord() const { return m_displayedRecord; }
    /** Empties the fields, their texts, the record number and the three labels. */
    void clearRecord();

    /** Entry field i (1..17): TxtField1 .. TxtField17. */
    QLineEdit *field(int i) const { return m_fields.at(static_cast<std::size_t>(i)); }
    /** The texts of the record in hand (FieldText). */
    FieldTexts &fieldTexts() { return m_fieldTexts; }
    const FieldTexts &fieldTexts() const { return m_fieldTexts; }

    /** Background of field i; states other than 2..5 give the usual background. */
    void setFieldColour(int i, FieldColour colour);
    void setFieldColour(int i, int state);
    /** Every field on the usual background. */
    void resetFieldColours();

    QLabel *recordNumberLabel() const { return m_recordNumber; } ///< NoFicheLab
    QLabel *distanceLabel() const { return m_distance; }         ///< LabDist
    QLabel *azimuthLabel() const { return m_azimuth; }           ///< LabAzim
    QLabel *departementLabel() const { return m_departement; }   ///< LabDept
    DistanceAzimuth &distanceAzimuth() { return m_distanceAzimuth; }
    /** "Voir contacts réalisés" (BtActiveRech), hidden until a call sign is shown. */
    QPushButton *searchButton() const { return m_searchButton; }

    // The entry panel (PictEnrs), hidden until a contact is entered.
    QWidget *entryPanel() const { return m_entryPanel; }
    QRadioButton *realTimeOption() const { return m_realTime; } ///< OptionEnr1
    QRadioButton *deferredOption() const { return m_deferred; } ///< OptionEnr2
    QPushButton *nextButton() const { return m_next; }          ///< BtEnrSuivant
    QPushButton *cancelButton() const { return m_cancel; }      ///< BtEnrAnnuler
    QPushButton *finishButton() const { return m_finish; }      ///< BtEnrTerminer

    // The confirmation frame (FraMsgFiche), hidden until a change is asked for.
    QGroupBox *confirmFrame() const { return m_confirmFrame; }
    QLabel *confirmRecordLabel() const { return m_confirmRecord; } ///< FraLab01
    QLabel *confirmCallLabel() const { return m_confirmCall; }     ///< FraLab02
    QPushButton *yesButton() const { return m_yes; }               ///< FraCmdOui
    QPushButton *noButton() const { return m_no; }                 ///< FraCmdNon

  signals:
    /** A stored record is now shown; `callSign` is its trimmed call sign. */
    void recordDisplayed(std::int32_t n, const QString &callSign);

  private:
    void buildFields();
    void buildEntryPanel();
    void buildConfirmFrame();

    LogFile &m_log;
    FieldTexts m_fieldTexts;
    std::int32_t m_displayedRecord = 0;
    DistanceAzimuth m_distanceAzimuth;

    std::array<QLineEdit *, kFieldCount + 1> m_fields{}; // [0] unused
    QLabel *m_recordNumber = nullptr;
    QLabel *m_distance = nullptr;
    QLabel *m_azimuth = nullptr;
    QLabel *m_departement = nullptr;
    QPushButton *m_searchButton = nullptr;

    QWidget *m_entryPanel = nullptr;
    QRadioButton *m_realTime = nullptr;
    QRadioButton *m_deferred = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_finish = nullptr;

    QGroupBox *m_confirmFrame = nullptr;
    QLabel *m_confirmRecord = nullptr;
    QLabel *m_confirmCall = nullptr;
    QPushButton *m_yes = nullptr;
    QPushButton *m_no = nullptr;
};

} // namespace ondelog
