// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/labelsheetpanel.h"

#include "geo/calendar.h"
#include "ui/controls.h"
#include "ui/labeleditor.h"
#include "ui/labelprintrun.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/waitcursor.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace ondelog {

namespace {

const QColor kFreeColour(192, 255, 192);
const QColor kWithdrawnColour(255, 192, 192);
const QColor kOccupiedColour(255, 255, 0);

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

} // namespace

LabelSheetPanel::LabelSheetPanel(MainWindow &window, PrintJob &printJob)
    : QFrame(&window), m_window(window), m_sheet(window.programFolder() / kLabelSheetFileName)
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
    m_editor = new LabelEditor(m_body);
    body->addWidget(m_editor);
    body->addWidget(buildButtons());
    body->addWidget(buildSlots());
    outer->addWidget(m_body);
    m_printRun = new LabelPrintRun(printJob, this);
    outer->addWidget(m_printRun);

    for (int n = 1; n <= kLabelCount; ++n)
        showSlot(n);
    m_number->setText(QStringLiteral("Etiquette N° 1"));
    m_valid->hide();
    m_delete->hide();
    m_leave->hide();
    m_restore->hide();
    m_print->hide();
    hide();

    connect(m_editor, &LabelEditor::entered, this, &LabelSheetPanel::onEntered);
    connect(m_editor, &LabelEditor::routingChosen, this, &LabelSheetPanel::onRouting);
    connect(m_printRun, &LabelPrintRun::allPerfect, this, &LabelSheetPanel::confirmPerfect);
    connect(m_printRun, &LabelPrintRun::reviewAsked, this, &LabelSheetPanel::reviewLabels);
    window.addPanel(this);
}

// --- Building --------------------------------------------------------------------

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
    m_editor->clear(LabelEditor::kBoxCount);
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
                 .arg(nativePath(m_sheet.path()),
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
    m_window.setMode(WindowMode::Held);
    m_valid->hide();
    show();
}

void LabelSheetPanel::closeSheet()
{
    hide();
    QCoreApplication::processEvents();
    m_window.setMode(WindowMode::List);
}

void LabelSheetPanel::setFromCall()
{
    if (m_fromCall.empty())
        m_fromCall = m_window.stationCall();
    m_editor->setFrom(m_fromCall);
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
    m_editor->clear(LabelEditor::kBoxCount);
    if (!label) {
        warn(QStringLiteral("L'étiquette %1 ne peut pas être lue dans %2.")
                 .arg(n)
                 .arg(nativePath(m_sheet.path())));
        return;
    }
    m_lastRecord = label;
    m_editor->showLabel(*label);
    m_fromCall = label->field(LabelField::From);
    m_number->setText(QStringLiteral("Etiquette N° %1").arg(n));
}

// --- Commands ------------------------------------------------------------------------

void LabelSheetPanel::openSheet()
{
    // Not over another panel that holds the window (the merge panel), nor twice.
    if (m_window.isHeldByPanel() || !canUse(true) || m_window.logFile().recordCount() < 1)
        return;
    if (m_window.mode() == WindowMode::Confirmation)
        return;
    showSheet();
    findFreeLabel();
    updatePrintButton();
}

void LabelSheetPanel::startFromContact(const FieldTexts &texts, std::int32_t recordNo)
{
    if (recordNo <= 0 || m_window.mode() == WindowMode::Confirmation)
        return;
    if (!canUse(true))
        return;
    m_print->hide();
    showSheet();
    m_editor->clear(10);
    m_editor->showContact(texts, recordNo);
    setFromCall();
    m_delete->hide();
    m_leave->hide();
    m_quit->show();

    m_lastRecord.reset();
    if (m_sheet.findFree(1))
        m_valid->show();
    findFreeLabel();
    m_editor->focusCallSign();
}

void LabelSheetPanel::validate()
{
    if (!canUse(true))
        return;
    const LabelRecord label = m_editor->takeLabel();
    if (label.isFree()) {
        warn(QStringLiteral("Indiquez l'indicatif du correspondant (case « TO RADIO »)."));
        m_editor->focusCallSign();
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
                 .arg(nativePath(m_sheet.path()),
                      QString::fromStdString(statusMessageUtf8(stored.status))));
        return;
    }
    m_lastRecord = label;
    m_window.refreshRecord(stored.contact.recordNo);
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
                 .arg(nativePath(m_sheet.path()),
                      QString::fromStdString(statusMessageUtf8(removed.status))));
        return;
    }
    m_window.refreshRecord(removed.contact.recordNo);
    m_editor->clear(10);
    m_editor->markFree();
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
    m_editor->clear(LabelEditor::kBoxCount);
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

void LabelSheetPanel::onEntered()
{
    if (m_editor->callSign() != QLatin1String(kFreeLabelMark) && m_sheet.findFree(1))
        m_valid->show();
}

void LabelSheetPanel::onRouting(const std::string &routing)
{
    if (m_editor->callSign().isEmpty())
        return;
    const std::string last =
        m_lastRecord ? m_lastRecord->field(LabelField::Routing) : std::string();
    if (last != routing) {
        m_editor->clearRouting();
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
    const PrintOutcome outcome = m_printRun->printLabels(labels);
    if (!self)
        return;
    if (outcome != PrintOutcome::Printed) {
        if (outcome == PrintOutcome::Failed)
            warn(QStringLiteral("Les étiquettes n'ont pas été imprimées : %1\n"
                                "Elles restent sur la feuille.")
                     .arg(m_printRun->lastError()));
        updatePrintButton();
        return;
    }
    m_body->setEnabled(false);
    m_printRun->awaitCheck();
}

void LabelSheetPanel::printBlank()
{
    if (m_window.isEntrySession())
        return;
    const bool printShown = m_print->isVisible();
    m_print->hide();
    const std::string call = m_window.stationCall();
    QPointer<LabelSheetPanel> self(this);
    const PrintOutcome outcome = m_printRun->printBlank(call);
    if (!self)
        return;
    if (outcome == PrintOutcome::Failed)
        warn(QStringLiteral("Les étiquettes vierges n'ont pas été imprimées : %1")
                 .arg(m_printRun->lastError()));
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
            m_editor->clear(LabelEditor::kBoxCount);
            m_editor->markFree();
            m_tags[std::size_t(c.slot)]->setText(freeCaption(c.slot));
        }
        showSlot(c.slot);
        if (c.contact.update == ContactUpdate::Written)
            m_window.refreshRecord(c.contact.recordNo);
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
    m_printRun->hide();
    m_body->setEnabled(true);
    m_restore->hide();
    closeSheet();
    // The list is drawn again with the contact that was shown still selected.
    m_window.redrawPage();
    if (!problems.isEmpty())
        warn(QStringLiteral("Confirmation des QSL :\n") + problems.join(QLatin1Char('\n')));
}

void LabelSheetPanel::reviewLabels()
{
    updatePrintButton();
    m_printRun->hide();
    m_body->setEnabled(true);
}

// --- Helpers -------------------------------------------------------------------------------

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
    warningBox(this, text);
}

} // namespace ondelog
