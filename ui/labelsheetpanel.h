#pragma once
// The sheet of 16 QSL labels (PictFeuilleQSL): the label editor PictTag, the
// sixteen slots with their label buttons (BtTag) and state buttons (BtChoix),
// and the check of a printout (PictCtrlImpression). The slots, the file and
// the contacts' MQSL are the core's LabelSheet; this panel shows them, wires
// the buttons and prints through the shared PrintJob.

#include "printing/labelsheet.h"

#include <QFrame>
#include <QPointer>

#include <array>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ondelog {

class MainWindow;
class PrintJob;

class LabelSheetPanel : public QFrame
{
    Q_OBJECT

  public:
    static constexpr int kBoxCount = 11;
    static constexpr int kRstBox = 6;
    static constexpr int kModeBox = 5;

    LabelSheetPanel(MainWindow &window, PrintJob &printJob, QWidget *parent = nullptr);

    /** Reads the sheet from its file, once (start-up, or first use). */
    void loadSheet();
    /** "Gestion feuille 16 étiquettes". */
    void openSheet();
    /** A click in the MQSL field of the shown contact: a label for it. */
    void startFromShownRecord();
    /** "Imprimer les QSL": the occupied labels, then the check of the printout. */
    void printSheet();
    /** " Imprimer étiquettes vierges à coller". */
    void printBlank();

    LabelSheet &sheet() { return m_sheet; }
    int currentLabel() const { return m_current; }
    QLineEdit *box(int i) const { return m_boxes.at(std::size_t(i)); } ///< FLdText1..11
    QPushButton *tagButton(int n) const { return m_tags.at(std::size_t(n)); }
    QPushButton *choiceButton(int n) const { return m_choices.at(std::size_t(n)); }
    QFrame *checkPanel() const { return m_check; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QWidget *buildEditor();
    QWidget *buildSlots();
    QWidget *buildButtons();
    QFrame *buildCheck();

    bool canUse(bool say);
    void showSheet();
    void closeSheet();
    void clearBoxes(int last);
    void setFromCall();
    void showSlot(int n);
    void findFreeLabel();
    void updatePrintButton();
    void showStoredLabel(int n);
    LabelRecord labelFromBoxes() const;

    void validate();
    void removeLabel();
    void leaveLabel();
    void restore();
    void onTag(int n);
    void onChoice(int n);
    void onRouting(const char *routing);
    void confirmPerfect();
    void reviewLabels();
    void refreshContact(std::int32_t recordNo);
    QString contactProblem(const ContactResult &result, const std::string &callSign) const;
    void warn(const QString &text);

    MainWindow &m_window;
    PrintJob &m_printJob;
    LabelSheet m_sheet;
    int m_current = 1;
    std::string m_fromCall;
    std::optional<LabelRecord> m_lastRecord;

    QPointer<QLineEdit> m_mqsl; // the record view's MQSL field, which starts labels
    QLabel *m_number = nullptr; // NrTag
    QFrame *m_editor = nullptr; // PictTag
    QWidget *m_body = nullptr;
    std::array<QLineEdit *, kBoxCount + 1> m_boxes{};
    QRadioButton *m_direct = nullptr;
    QRadioButton *m_bureau = nullptr;
    QRadioButton *m_via = nullptr;
    std::array<QPushButton *, kLabelCount + 1> m_tags{};
    std::array<QPushButton *, kLabelCount + 1> m_choices{};
    QPushButton *m_valid = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_leave = nullptr;
    QPushButton *m_quit = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_print = nullptr;
    QFrame *m_check = nullptr; // PictCtrlImpression
};

} // namespace ondelog
