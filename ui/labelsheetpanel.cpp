#include "ui/labelsheetpanel.h"

#include "geo/calendar.h"
#include "logbook/loglist.h"
#include "printing/labelprint.h"
#include "setup/dataroot.h"
#include "text/text.h"
#include "ui/mainwindow.h"
#include "ui/pause.h"
#include "ui/printjob.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"
#include "ui/uppercase.h"
#include "ui/waitcursor.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include <algorithm>

namespace ondelog {

namespace {

const QColor kFreeColour(192, 255, 192);
const QColor kWithdrawnColour(255, 192, 192);
const QColor kOccupiedColour(255, 255, 0);

// Longest input of each box, the width of the label field it fills.
constexpr std::array<int, LabelSheetPanel::kBoxCount + 1> kBoxWidths = {0, 15, 8,  5,  10, 5,
                                                                        8, 15, 15, 15, 15, 10};

// What each box's longest value is made of: its width in characters, the
// widest of the characters it may hold, and those it is sure to hold. A box is
// made as wide as that value in the font it shows it in. A call sign of fifteen
// characters has at least two strokes (prefix, call, suffix).
struct BoxValue
{
    const char *characters;
    const char *certain;
};
constexpr const char *kCallCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr BoxValue kCallValue = {kCallCharacters, "//"};
constexpr std::array<BoxValue, LabelSheetPanel::kBoxCount + 1> kBoxValues = {{
    {"", ""},
    kCallValue,                                    // call sign
    {"0123456789/", ""},                           // date
    {"0123456789:", ""},                           // time
    {"0123456789.", ""},                           // frequency
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", ""},  // mode
    {"0123456789+-DB", ""},                        // report
    kCallValue,                                    // from
    kCallValue,                                    // manager
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ", ""}, // routing
    kCallValue,                                    // the header's call sign
    {"0123456789", ""},                            // QSO number
}};

int boxWidth(const QLineEdit *edit, const BoxValue &value, int length)
{
    const QFontMetrics metrics = edit->fontMetrics();
    int widest = 0;
    for (const char *c = value.characters; *c; ++c)
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(*c)));
    const QString certain = QString::fromLatin1(value.certain);
    const int textWidth =
        widest * (length - int(certain.size())) + metrics.horizontalAdvance(certain);
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QMargins text = edit->textMargins();
    const QMargins contents = edit->contentsMargins();
    // QLineEdit keeps two pixels clear on each side of its text, and one for
    // the cursor after it.
    const int inner =
        textWidth + 2 * 2 + 1 + text.left() + text.right() + contents.left() + contents.right();
    return edit->style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, metrics.height()), edit)
        .width();
}

QPushButton *makeButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void paint(QPushButton *button, const QColor &colour)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
}

QString freeCaption(int n)
{
    return QStringLiteral("Etiquette  [%1] libre").arg(n);
}

QLabel *cellHeading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 0.9);
    label->setFont(font);
    return label;
}

} // namespace

LabelSheetPanel::LabelSheetPanel(MainWindow &window, PrintJob &printJob, QWidget *parent)
    : QFrame(parent), m_window(window), m_printJob(printJob),
      m_sheet(window.programFolder() / kLabelSheetFileName)
{
    setObjectName(QStringLiteral("PictFeuilleQSL"));
    setFrameShape(QFrame::StyledPanel);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 8, 10, 8);
    outer->setSpacing(8);

    m_body = new QWidget(this);
    auto *body = new QVBoxLayout(m_body);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(8);
    auto *title = new QLabel(QStringLiteral("Feuille de 16 étiquettes QSL"), m_body);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    title->setFont(titleFont);
    m_number = new QLabel(m_body);
    m_number->setObjectName(QStringLiteral("NrTag"));
    QFont numberFont = m_number->font();
    numberFont.setBold(true);
    m_number->setFont(numberFont);
    auto *top = new QHBoxLayout;
    top->addWidget(title);
    top->addStretch(1);
    top->addWidget(m_number);
    body->addLayout(top);
    body->addWidget(buildEditor());
    body->addWidget(buildButtons());
    body->addWidget(buildSlots());
    outer->addWidget(m_body);
    outer->addWidget(buildCheck());

    for (int n = 1; n <= kLabelCount; ++n)
        showSlot(n);
    m_number->setText(QStringLiteral("Etiquette N° 1"));
    m_valid->hide();
    m_delete->hide();
    m_leave->hide();
    m_restore->hide();
    m_print->hide();
    m_check->hide();
    hide();

    // Installed after the record view's own filter, so a press that starts a
    // label is not also taken as the start of a change to the contact.
    m_mqsl = window.recordPanel()->field(static_cast<int>(Field::MQSL));
    m_mqsl->installEventFilter(this);
}

// --- Building --------------------------------------------------------------------

QWidget *LabelSheetPanel::buildEditor()
{
    m_editor = new QFrame(m_body);
    m_editor->setObjectName(QStringLiteral("PictTag"));
    m_editor->setFrameShape(QFrame::Box);
    m_editor->setAutoFillBackground(true);
    QPalette palette = m_editor->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 240));
    m_editor->setPalette(palette);
    auto *grid = new QGridLayout(m_editor);
    grid->setContentsMargins(10, 8, 10, 8);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(4);

    for (int i = 1; i <= kBoxCount; ++i) {
        auto *edit = new QLineEdit(m_editor);
        edit->setObjectName(QStringLiteral("FLdText%1").arg(i));
        edit->setMaxLength(kBoxWidths[std::size_t(i)]);
        edit->setMinimumWidth(
            boxWidth(edit, kBoxValues[std::size_t(i)], kBoxWidths[std::size_t(i)]));
        makeUpperCase(edit);
        edit->installEventFilter(this);
        m_boxes[std::size_t(i)] = edit;
    }
    m_boxes[10]->setReadOnly(true);
    m_boxes[10]->setFocusPolicy(Qt::NoFocus);
    // The header's copy of the call sign: what the label will print.
    connect(m_boxes[1], &QLineEdit::textChanged, m_boxes[10], [this](const QString &text) {
        if (text.trimmed() != QLatin1String(kFreeLabelMark))
            m_boxes[10]->setText(text);
    });
    for (int i : {1, 2, 3, 4, kRstBox, kModeBox})
        m_boxes[std::size_t(i)]->setAlignment(Qt::AlignCenter);

    auto *header = new QHBoxLayout;
    header->addWidget(m_boxes[7], 2);
    header->addWidget(new QLabel(QStringLiteral(" Confirming QSO with "), m_editor));
    header->addWidget(m_boxes[10], 2);
    grid->addLayout(header, 0, 0, 1, 6);

    auto *manager = new QHBoxLayout;
    manager->addStretch(1);
    manager->addWidget(new QLabel(QStringLiteral("Via QSL Manager"), m_editor));
    manager->addWidget(m_boxes[8], 2);
    grid->addLayout(manager, 1, 0, 1, 6);

    const std::array<std::pair<const char *, int>, 6> cells = {{{"TO RADIO", 1},
                                                                {"DATE", 2},
                                                                {"UTC", 3},
                                                                {"Mhz / Band", 4},
                                                                {"RST", kRstBox},
                                                                {"MODE", kModeBox}}};
    for (int c = 0; c < 6; ++c) {
        grid->addWidget(cellHeading(QString::fromLatin1(cells[std::size_t(c)].first), m_editor), 2,
                        c);
        grid->addWidget(m_boxes[std::size_t(cells[std::size_t(c)].second)], 3, c);
    }
    // The call sign takes what room is left; the other values keep their size,
    // so that no box stands half empty.
    for (int box : {2, 3, 4, kRstBox, kModeBox})
        m_boxes[std::size_t(box)]->setMaximumWidth(m_boxes[std::size_t(box)]->minimumWidth());
    grid->setColumnStretch(0, 1);

    auto *routing = new QHBoxLayout;
    routing->addWidget(new QLabel(QStringLiteral("Pse / Tnx QSL "), m_editor));
    m_direct = new QRadioButton(QStringLiteral("Direct"), m_editor);
    m_direct->setObjectName(QStringLiteral("OptDirect"));
    m_bureau = new QRadioButton(QStringLiteral("Via bureau"), m_editor);
    m_bureau->setObjectName(QStringLiteral("OptBureau"));
    m_via = new QRadioButton(QStringLiteral("Via"), m_editor);
    m_via->setObjectName(QStringLiteral("OptVia"));
    auto *group = new QButtonGroup(m_editor);
    for (QRadioButton *r : {m_direct, m_bureau, m_via}) {
        group->addButton(r);
        routing->addWidget(r);
    }
    m_bureau->setChecked(true);
    routing->addWidget(m_boxes[9], 2);
    grid->addLayout(routing, 4, 0, 1, 6);

    auto *number = new QHBoxLayout;
    number->addStretch(1);
    number->addWidget(new QLabel(QStringLiteral("QSO n°"), m_editor));
    m_boxes[11]->setMaximumWidth(m_boxes[11]->minimumWidth());
    number->addWidget(m_boxes[11]);
    grid->addLayout(number, 5, 0, 1, 6);

    connect(m_bureau, &QRadioButton::clicked, this, [this] { onRouting("BUREAU"); });
    connect(m_direct, &QRadioButton::clicked, this, [this] { onRouting("DIRECT"); });
    return m_editor;
}

QWidget *LabelSheetPanel::buildSlots()
{
    auto *sheetBox = new QGroupBox(QStringLiteral("La feuille"), m_body);
    auto *grid = new QGridLayout(sheetBox);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    for (int n = 1; n <= kLabelCount; ++n) {
        auto *tag = makeButton(QStringLiteral("Etiquette [%1] libre").arg(n),
                               QStringLiteral("BtTag%1").arg(n), sheetBox);
        auto *choice =
            makeButton(QStringLiteral("Retirer"), QStringLiteral("BtChoix%1").arg(n), sheetBox);
        choice->setFixedWidth(choice->fontMetrics().horizontalAdvance(QStringLiteral("Libérer")) +
                              24);
        const int row = (n - 1) / 2;
        const int column = (n - 1) % 2 * 3;
        grid->addWidget(tag, row, column);
        grid->addWidget(choice, row, column + 1);
        m_tags[std::size_t(n)] = tag;
        m_choices[std::size_t(n)] = choice;
        connect(tag, &QPushButton::clicked, this, [this, n] { onTag(n); });
        connect(choice, &QPushButton::clicked, this, [this, n] { onChoice(n); });
    }
    grid->setColumnMinimumWidth(2, 12);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(3, 1);
    return sheetBox;
}

QWidget *LabelSheetPanel::buildButtons()
{
    auto *bar = new QWidget(m_body);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    m_valid = makeButton(QStringLiteral("Valider"), QStringLiteral("BtValidQSL"), bar);
    m_delete = makeButton(QStringLiteral("Supprimer"), QStringLiteral("BtDelQSL"), bar);
    m_leave = makeButton(QStringLiteral("Laisser"), QStringLiteral("BtLeaveQSL"), bar);
    m_restore = makeButton(QStringLiteral("Restaurer"), QStringLiteral("BtRestore"), bar);
    m_print = makeButton(QStringLiteral("Imprimer les QSL"), QStringLiteral("BtPrintQSL"), bar);
    m_quit = makeButton(QStringLiteral("Quitter"), QStringLiteral("BtQuitQSL"), bar);
    QFont strong = m_valid->font();
    strong.setBold(true);
    m_valid->setFont(strong);
    m_print->setFont(strong);
    for (QPushButton *b : {m_valid, m_delete, m_leave, m_restore})
        row->addWidget(b);
    row->addStretch(1);
    row->addWidget(m_print);
    row->addWidget(m_quit);

    connect(m_valid, &QPushButton::clicked, this, &LabelSheetPanel::validate);
    connect(m_delete, &QPushButton::clicked, this, &LabelSheetPanel::removeLabel);
    connect(m_leave, &QPushButton::clicked, this, &LabelSheetPanel::leaveLabel);
    connect(m_quit, &QPushButton::clicked, this, &LabelSheetPanel::closeSheet);
    connect(m_restore, &QPushButton::clicked, this, &LabelSheetPanel::restore);
    connect(m_print, &QPushButton::clicked, this, &LabelSheetPanel::printSheet);
    return bar;
}

QFrame *LabelSheetPanel::buildCheck()
{
    m_check = new QFrame(this);
    m_check->setObjectName(QStringLiteral("PictCtrlImpression"));
    m_check->setFrameShape(QFrame::StyledPanel);
    m_check->setAutoFillBackground(true);
    QPalette palette = m_check->palette();
    palette.setColor(QPalette::Window, QColor(255, 250, 205));
    m_check->setPalette(palette);
    auto *layout = new QVBoxLayout(m_check);
    auto *title = new QLabel(QStringLiteral("Contrôle de l'impression"), m_check);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    layout->addWidget(title);
    layout->addWidget(new QLabel(
        QStringLiteral("Vérifiez les étiquettes imprimées avant de les confirmer."), m_check));
    auto *row = new QHBoxLayout;
    auto *perfect =
        makeButton(QStringLiteral("Tout est parfait"), QStringLiteral("BtCtrl_Parfait"), m_check);
    auto *review = makeButton(QStringLiteral("Des étiquettes sont à revoir"),
                              QStringLiteral("BtCtrl_Revoir"), m_check);
    row->addWidget(perfect);
    row->addWidget(review);
    row->addStretch(1);
    layout->addLayout(row);
    connect(perfect, &QPushButton::clicked, this, &LabelSheetPanel::confirmPerfect);
    connect(review, &QPushButton::clicked, this, &LabelSheetPanel::reviewLabels);
    return m_check;
}

// --- Sheet state on screen -----------------------------------------------------------

void LabelSheetPanel::showSlot(int n)
{
    QPushButton *tag = m_tags[std::size_t(n)];
    QPushButton *choice = m_choices[std::size_t(n)];
    switch (m_sheet.state(n)) {
    case SlotState::Free:
        choice->setText(QStringLiteral("Retirer"));
        paint(choice, kFreeColour);
        tag->setEnabled(true);
        break;
    case SlotState::Withdrawn:
        choice->setText(QStringLiteral("Libérer"));
        paint(choice, kWithdrawnColour);
        tag->setEnabled(false);
        break;
    case SlotState::Occupied:
        choice->setText(QStringLiteral("Effacer"));
        paint(choice, kOccupiedColour);
        tag->setEnabled(true);
        break;
    }
}

void LabelSheetPanel::loadSheet()
{
    if (m_sheet.isLoaded())
        return;
    QCoreApplication::processEvents();
    clearBoxes(kBoxCount);
    const LogStatus status = m_sheet.load();
    for (int n = 1; n <= kLabelCount; ++n) {
        showSlot(n);
        if (m_sheet.state(n) == SlotState::Occupied) {
            const std::optional<LabelRecord> label = m_sheet.read(n);
            m_tags[std::size_t(n)]->setText(
                QStringLiteral("%1 [%2]")
                    .arg(toQString(label ? label->field(LabelField::CallSign) : std::string()))
                    .arg(n));
        }
    }
    findFreeLabel();
    updatePrintButton();
    setFromCall();
    if (status != LogStatus::Ok)
        warn(QStringLiteral("La feuille d'étiquettes %1 ne peut pas être lue ou créée :\n%2")
                 .arg(QString::fromStdString(m_sheet.path().string()),
                      QString::fromStdString(statusMessageUtf8(status))));
}

bool LabelSheetPanel::canUse(bool say)
{
    if (!m_window.isLogOpen() || m_window.isEntrySession() || !m_window.logFile().isOpen())
        return false;
    if (!m_window.isOwnLog() || m_window.logFile().isReadOnly()) {
        if (say)
            warn(QStringLiteral("Les étiquettes QSL suivent le log de la station : "
                                "rouvrez-le par « Ouvrir Fichier courant »."));
        return false;
    }
    loadSheet();
    return true;
}

void LabelSheetPanel::showSheet()
{
    // A contact entered, deleted or moved under the sheet would leave it on a
    // log it no longer shows.
    m_window.holdForPanel(true);
    m_valid->hide();
    show();
}

void LabelSheetPanel::closeSheet()
{
    hide();
    QCoreApplication::processEvents();
    m_window.holdForPanel(false);
}

void LabelSheetPanel::clearBoxes(int last)
{
    for (int i = 1; i <= last; ++i)
        m_boxes[std::size_t(i)]->clear();
}

void LabelSheetPanel::setFromCall()
{
    if (m_fromCall.empty())
        m_fromCall = m_window.stationCall();
    m_boxes[7]->setText(toQString(m_fromCall));
}

void LabelSheetPanel::findFreeLabel()
{
    if (const std::optional<int> n = m_sheet.findFree(1)) {
        m_current = *n;
        m_number->setText(QStringLiteral("Etiquette N° %1").arg(*n));
    } else {
        m_number->setText(QStringLiteral(" Plus d'étiquette disponible ! "));
        m_valid->hide();
    }
}

void LabelSheetPanel::updatePrintButton()
{
    m_print->setVisible(m_sheet.hasOccupied());
}

void LabelSheetPanel::showStoredLabel(int n)
{
    if (m_sheet.state(n) != SlotState::Occupied)
        return;
    m_current = n;
    const std::optional<LabelRecord> label = m_sheet.read(n);
    clearBoxes(kBoxCount);
    if (!label) {
        warn(QStringLiteral("L'étiquette %1 ne peut pas être lue dans %2.")
                 .arg(n)
                 .arg(QString::fromStdString(m_sheet.path().string())));
        return;
    }
    m_lastRecord = label;
    auto put = [this](int box, LabelField f, const LabelRecord &r) {
        m_boxes[std::size_t(box)]->setText(toQString(r.field(f)));
    };
    put(1, LabelField::CallSign, *label);
    put(2, LabelField::Date, *label);
    put(3, LabelField::Time, *label);
    put(4, LabelField::Frequency, *label);
    put(kRstBox, LabelField::Rst, *label);
    put(kModeBox, LabelField::Mode, *label);
    put(7, LabelField::From, *label);
    put(8, LabelField::Manager, *label);
    put(10, LabelField::CallSign, *label);
    put(11, LabelField::QsoNumber, *label);
    m_fromCall = label->field(LabelField::From);
    const std::string routing = label->field(LabelField::Routing);
    if (routing == "BUREAU") {
        m_bureau->setChecked(true);
    } else if (routing == "DIRECT") {
        m_direct->setChecked(true);
    } else {
        m_via->setChecked(true);
        m_boxes[9]->setText(toQString(routing));
    }
    m_number->setText(QStringLiteral("Etiquette N° %1").arg(n));
}

LabelRecord LabelSheetPanel::labelFromBoxes() const
{
    auto text = [this](int box) { return trim(toCp1252(m_boxes[std::size_t(box)]->text())); };
    LabelRecord r;
    r.setField(LabelField::CallSign, text(1));
    r.setField(LabelField::From, text(7));
    r.setField(LabelField::Manager, text(8));
    r.setField(LabelField::Routing, text(9));
    r.setField(LabelField::Date, text(2));
    r.setField(LabelField::Time, text(3));
    r.setField(LabelField::Frequency, text(4));
    r.setField(LabelField::Rst, text(kRstBox));
    r.setField(LabelField::Mode, text(kModeBox));
    r.setField(LabelField::QsoNumber, text(11));
    return r;
}

// --- Commands ------------------------------------------------------------------------

void LabelSheetPanel::openSheet()
{
    // Not over another panel that holds the window (the merge panel), nor twice.
    if (m_window.isHeldByPanel() || !canUse(true) || m_window.logFile().recordCount() < 1)
        return;
    if (!m_window.recordPanel()->confirmFrame()->isHidden())
        return;
    showSheet();
    findFreeLabel();
    updatePrintButton();
}

void LabelSheetPanel::startFromShownRecord()
{
    RecordPanel *record = m_window.recordPanel();
    if (record->displayedRecord() <= 0 || !record->confirmFrame()->isHidden())
        return;
    if (!canUse(true))
        return;
    const FieldTexts &texts = record->fieldTexts();
    auto text = [&texts](Field f) { return texts[std::size_t(f)]; };

    m_print->hide();
    showSheet();
    clearBoxes(10);
    m_boxes[1]->setText(toQString(text(Field::CSGN)));
    m_boxes[2]->setText(toQString(text(Field::DQSO)));
    m_boxes[3]->setText(toQString(text(Field::HDEB)));
    m_boxes[4]->setText(toQString(text(Field::FREQ)));
    m_boxes[kModeBox]->setText(toQString(text(Field::MODE)));
    m_boxes[kRstBox]->setText(toQString(text(Field::SRST)));
    m_boxes[8]->setText(toQString(texts[17]));
    m_boxes[11]->setText(QString::number(record->displayedRecord()));
    setFromCall();
    m_boxes[10]->setText(toQString(text(Field::CSGN)));
    m_delete->hide();
    m_leave->hide();
    m_quit->show();

    m_lastRecord.reset();
    if (m_sheet.findFree(1))
        m_valid->show();
    findFreeLabel();
    m_boxes[1]->setFocus(Qt::OtherFocusReason);
}

void LabelSheetPanel::validate()
{
    if (!canUse(true))
        return;
    if (m_direct->isChecked())
        m_boxes[9]->setText(QStringLiteral("DIRECT"));
    else if (m_bureau->isChecked())
        m_boxes[9]->setText(QStringLiteral("BUREAU"));
    const LabelRecord label = labelFromBoxes();
    if (label.isFree()) {
        warn(QStringLiteral("Indiquez l'indicatif du correspondant (case « TO RADIO »)."));
        m_boxes[1]->setFocus(Qt::OtherFocusReason);
        return;
    }
    const LabelSheet::StoreResult stored = m_sheet.store(label, m_window.logFile());
    if (!stored.slot) {
        findFreeLabel();
        return;
    }
    const int n = *stored.slot;
    m_current = n;
    if (stored.status != LogStatus::Ok) {
        warn(QStringLiteral("L'étiquette ne peut pas être enregistrée dans %1 :\n%2")
                 .arg(QString::fromStdString(m_sheet.path().string()),
                      QString::fromStdString(statusMessageUtf8(stored.status))));
        return;
    }
    m_lastRecord = label;
    refreshContact(stored.contact.recordNo);
    showSlot(n);
    m_tags[std::size_t(n)]->setText(
        QStringLiteral("%1 [%2]").arg(toQString(label.field(LabelField::CallSign))).arg(n));
    const QString problem = contactProblem(stored.contact, label.field(LabelField::CallSign));
    // The sheet opened again offers the next free label, not the one just filled.
    findFreeLabel();
    closeSheet();
    if (!problem.isEmpty())
        warn(QStringLiteral("L'étiquette %1 est enregistrée, mais %2").arg(n).arg(problem));
}

void LabelSheetPanel::removeLabel()
{
    if (!canUse(true))
        return;
    const int n = m_current;
    const std::optional<LabelRecord> label = m_sheet.read(n);
    QCoreApplication::processEvents();
    const LabelSheet::RemoveResult removed = m_sheet.remove(n, m_window.logFile());
    const std::string call = label ? label->field(LabelField::CallSign) : std::string();
    if (removed.contact.update == ContactUpdate::Failed) {
        warn(QStringLiteral("L'étiquette %1 est gardée : %2")
                 .arg(n)
                 .arg(contactProblem(removed.contact, call)));
        return;
    }
    if (removed.status != LogStatus::Ok) {
        warn(QStringLiteral("L'étiquette %1 ne peut pas être effacée de %2 :\n%3")
                 .arg(n)
                 .arg(QString::fromStdString(m_sheet.path().string()),
                      QString::fromStdString(statusMessageUtf8(removed.status))));
        return;
    }
    refreshContact(removed.contact.recordNo);
    clearBoxes(10);
    m_boxes[1]->setText(QString::fromLatin1(kFreeLabelMark));
    m_lastRecord = LabelRecord();
    showSlot(n);
    m_tags[std::size_t(n)]->setText(freeCaption(n));
    m_leave->hide();
    m_delete->hide();
    m_quit->show();
    findFreeLabel();
    updatePrintButton();
    if (label && removed.contact.update == ContactUpdate::NoContact)
        warn(QStringLiteral("L'étiquette %1 est effacée ; %2")
                 .arg(n)
                 .arg(contactProblem(removed.contact, call)));
}

void LabelSheetPanel::leaveLabel()
{
    m_leave->hide();
    m_delete->hide();
    m_quit->show();
    findFreeLabel();
}

void LabelSheetPanel::restore()
{
    m_sheet.restoreWithdrawn();
    for (int n = 1; n <= kLabelCount; ++n)
        showSlot(n);
    m_restore->hide();
    findFreeLabel();
}

void LabelSheetPanel::onTag(int n)
{
    clearBoxes(kBoxCount);
    m_valid->hide();
    if (m_sheet.state(n) == SlotState::Occupied)
        showStoredLabel(n);
    else
        findFreeLabel();
    setFromCall();
}

void LabelSheetPanel::onChoice(int n)
{
    switch (m_sheet.state(n)) {
    case SlotState::Free:
        m_sheet.toggleWithdrawn(n);
        showSlot(n);
        findFreeLabel();
        m_restore->show();
        break;
    case SlotState::Withdrawn:
        m_sheet.toggleWithdrawn(n);
        showSlot(n);
        findFreeLabel();
        break;
    case SlotState::Occupied:
        m_valid->hide();
        m_quit->hide();
        m_delete->show();
        m_leave->show();
        showStoredLabel(n);
        break;
    }
}

void LabelSheetPanel::onRouting(const char *routing)
{
    if (m_boxes[1]->text().trimmed().isEmpty())
        return;
    const std::string last =
        m_lastRecord ? m_lastRecord->field(LabelField::Routing) : std::string();
    if (last != routing) {
        m_boxes[9]->clear();
        m_valid->show();
    }
}

// --- Printing and its check --------------------------------------------------------------

void LabelSheetPanel::printSheet()
{
    m_print->hide();
    SheetLabels labels;
    for (int n = 1; n <= kLabelCount; ++n)
        if (m_sheet.state(n) == SlotState::Occupied)
            labels[std::size_t(n)] = m_sheet.read(n);
    QPointer<LabelSheetPanel> self(this);
    const PrintOutcome outcome =
        m_printJob.run(QStringLiteral("Etiquettes QSL"),
                       [&labels](PrintSurface &surface) { printSheetLabels(surface, labels); });
    if (!self)
        return;
    if (outcome != PrintOutcome::Printed) {
        if (outcome == PrintOutcome::Failed)
            warn(QStringLiteral("Les étiquettes n'ont pas été imprimées : %1\n"
                                "Elles restent sur la feuille.")
                     .arg(m_printJob.lastError()));
        updatePrintButton();
        return;
    }
    m_body->setEnabled(false);
    pauseSeconds(10);
    if (!self)
        return;
    m_check->show();
}

void LabelSheetPanel::printBlank()
{
    if (m_window.isEntrySession())
        return;
    const bool printShown = m_print->isVisible();
    m_print->hide();
    const std::string call = m_window.stationCall();
    QPointer<LabelSheetPanel> self(this);
    const PrintOutcome outcome =
        m_printJob.run(QStringLiteral("Etiquettes vierges"),
                       [&call](PrintSurface &surface) { printBlankLabels(surface, call); });
    if (!self)
        return;
    if (outcome == PrintOutcome::Printed) {
        pauseSeconds(10);
        if (!self)
            return;
    } else if (outcome == PrintOutcome::Failed) {
        warn(QStringLiteral("Les étiquettes vierges n'ont pas été imprimées : %1")
                 .arg(m_printJob.lastError()));
    }
    // The labels of the sheet are still to print: their button comes back.
    if (printShown)
        updatePrintButton();
}

void LabelSheetPanel::confirmPerfect()
{
    if (!canUse(true))
        return;
    WaitCursor wait;
    const std::string date = shortDateText(m_window.clock().now());
    const std::vector<LabelSheet::ConfirmedLabel> done =
        m_sheet.confirmPrinted(m_window.logFile(), date);
    QStringList problems;
    for (const LabelSheet::ConfirmedLabel &c : done) {
        if (c.freed) {
            clearBoxes(kBoxCount);
            m_boxes[1]->setText(QString::fromLatin1(kFreeLabelMark));
            m_tags[std::size_t(c.slot)]->setText(freeCaption(c.slot));
        }
        showSlot(c.slot);
        if (c.contact.update == ContactUpdate::Written)
            refreshContact(c.contact.recordNo);
        if (c.contact.update != ContactUpdate::Written)
            problems << QStringLiteral("étiquette %1 : %2")
                            .arg(c.slot)
                            .arg(contactProblem(c.contact, c.callSign));
        else if (!c.freed)
            problems << QStringLiteral("étiquette %1 (%2) : la feuille ne peut pas être écrite, "
                                       "l'étiquette reste à confirmer")
                            .arg(c.slot)
                            .arg(toQString(c.callSign));
    }
    m_lastRecord = LabelRecord();
    updatePrintButton();
    m_check->hide();
    m_body->setEnabled(true);
    m_restore->hide();
    closeSheet();
    // The list is drawn again with the contact that was shown still selected.
    const std::int32_t shown = m_window.recordPanel()->displayedRecord();
    const std::int32_t page = m_window.pager().currentPage();
    m_window.showPage(page);
    const PageRange range = pageRange(page, m_window.logFile().recordCount());
    if (shown >= range.first && shown <= range.last)
        m_window.logList()->setCurrentRow(shown - range.first);
    else if (shown > 0)
        m_window.recordPanel()->displayRecord(shown);
    if (!problems.isEmpty())
        warn(QStringLiteral("Confirmation des QSL :\n") + problems.join(QLatin1Char('\n')));
}

void LabelSheetPanel::reviewLabels()
{
    updatePrintButton();
    m_check->hide();
    m_body->setEnabled(true);
}

// --- Helpers -------------------------------------------------------------------------------

void LabelSheetPanel::refreshContact(std::int32_t recordNo)
{
    RecordPanel *record = m_window.recordPanel();
    if (recordNo > 0 && record->displayedRecord() == recordNo)
        record->displayRecord(recordNo);
}

QString LabelSheetPanel::contactProblem(const ContactResult &result,
                                        const std::string &callSign) const
{
    switch (result.update) {
    case ContactUpdate::Written:
        return {};
    case ContactUpdate::NoContact:
        return QStringLiteral("le log ne contient aucun contact %1 à la date et à l'heure de "
                              "l'étiquette : le log n'est pas modifié.")
            .arg(toQString(callSign));
    case ContactUpdate::Failed:
        return QStringLiteral("le contact %1 ne peut pas être écrit dans le log :\n%2")
            .arg(toQString(callSign), QString::fromStdString(statusMessageUtf8(result.status)));
    }
    return {};
}

void LabelSheetPanel::warn(const QString &text)
{
    NormalCursor normal;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Ondelog"), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("OndelogAlerte"));
    box.exec();
}

bool LabelSheetPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mqsl.data()) {
        QLineEdit *mqsl = m_mqsl;
        // Another station's log keeps the usual change of the field.
        if (event->type() == QEvent::MouseButtonPress && mqsl->text().trimmed().isEmpty() &&
            m_window.isLogOpen() && m_window.isOwnLog() && !m_window.isEntrySession() &&
            m_window.logFile().isOpen() && !m_window.logFile().isReadOnly() &&
            m_window.recordPanel()->displayedRecord() > 0 &&
            m_window.recordPanel()->confirmFrame()->isHidden()) {
            startFromShownRecord();
            return true;
        }
        return QFrame::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_boxes[1]->text().trimmed() != QLatin1String(kFreeLabelMark) &&
                m_sheet.findFree(1))
                m_valid->show();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace ondelog
