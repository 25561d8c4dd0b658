// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet of 16 QSL labels (PictFeuilleQSL): the label being written
// (LabelEditor), the sixteen slots with their label buttons (BtTag) and state
// buttons (BtChoix), and the printing of the sheet with its check
// (LabelPrintRun). The slots, the file and the contacts' MQSL are the core's
// LabelSheet; this panel shows them and wires the buttons. It holds the
// window while open: the log must stay as the sheet knows it.

#include "logbook/record.h"
#include "printing/labelsheet.h"

#include <QFrame>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class QLabel;
class QPushButton;

namespace ondelog {

class LabelEditor;
class LabelPrintRun;
class MainWindow;
class PrintJob;

class LabelSheetPanel : public QFrame
{
    Q_OBJECT

  public:
    /** Adds itself, hidden, to `window`; prints through `printJob`. */
    LabelSheetPanel(MainWindow &window, PrintJob &printJob);

    /** Reads the sheet from its file, once (start-up, or first use). */
    void loadSheet();
    /** "Gestion feuille 16 étiquettes". */
    void openSheet();
    /** A label for the contact the record view shows (record `recordNo`). */
    void startFromContact(const FieldTexts &texts, std::int32_t recordNo);
    /** "Imprimer les QSL": the occupied labels, then the check of the printout. */
    void printSheet();
    /** " Imprimer étiquettes vierges à coller". */
    void printBlank();

    LabelSheet &sheet() { return m_sheet; }
    int currentLabel() const { return m_current; }

  private:
    QWidget *buildSlots();
    QWidget *buildButtons();

    bool canUse(bool say);
    void showSheet();
    void closeSheet();
    void setFromCall();
    void showSlot(int n);
    void findFreeLabel();
    void updatePrintButton();
    void showStoredLabel(int n);

    void validate();
    void removeLabel();
    void leaveLabel();
    void restore();
    void onTag(int n);
    void onChoice(int n);
    void onEntered();
    void onRouting(const std::string &routing);
    void confirmPerfect();
    void reviewLabels();
    QString contactProblem(const ContactResult &result, const std::string &callSign) const;
    void warn(const QString &text);

    MainWindow &m_window;
    LabelSheet m_sheet;
    int m_current = 1;
    std::string m_fromCall;
    std::optional<LabelRecord> m_lastRecord;

    QLabel *m_number = nullptr; // NrTag
    QWidget *m_body = nullptr;
    LabelEditor *m_editor = nullptr;     // PictTag
    LabelPrintRun *m_printRun = nullptr; // PictCtrlImpression
    std::array<QPushButton *, kLabelCount + 1> m_tags{};
    std::array<QPushButton *, kLabelCount + 1> m_choices{};
    QPushButton *m_valid = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_leave = nullptr;
    QPushButton *m_quit = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_print = nullptr;
};

} // namespace ondelog
