// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/contactchange.h"

#include "logbook/logfile.h"
#include "logbook/loglist.h"
#include "text/text.h"
#include "ui/contacteditor.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ondelog {

ContactChange::ContactChange(MainWindow &window, RecordPanel &panel, ContactEditor &editor)
    : QObject(&editor), m_window(window), m_panel(panel), m_editor(editor)
{
    connect(m_panel.yesButton(), &QPushButton::clicked, this, &ContactChange::confirm);
    connect(m_panel.noButton(), &QPushButton::clicked, this, &ContactChange::dropChanges);
    connect(&m_panel, &RecordPanel::recordDisplayed, this,
            [this](std::int32_t n, const QString &) { onRecordDisplayed(n); });
}

void ContactChange::allowChanges(bool allowed)
{
    // Only a change of log changes this; the fields' own read-only second of
    // "ERREUR" is not to be undone by every refresh of the commands.
    if (allowed == m_changesAllowed)
        return;
    m_changesAllowed = allowed;
    if (!allowed) {
        m_editor.cancelError();
        m_modifyMode = false;
    }
    for (int i = 1; i <= RecordPanel::kFieldCount; ++i)
        m_panel.field(i)->setReadOnly(!allowed);
}

bool ContactChange::begin(int i)
{
    // No record to change, or a log that cannot take the change: refused
    // now rather than at "&Oui", after the operator typed it.
    if (m_panel.displayedRecord() <= 0 || !m_changesAllowed)
        return false;
    m_modifyMode = true;
    m_panel.setFieldColour(i, FieldColour::Red);
    return true;
}

std::string ContactChange::shownText(int i) const
{
    if (m_panel.displayedRecord() > 0 && m_edit.recordNo() == m_panel.displayedRecord())
        return m_edit.shownText(i);
    return {};
}

void ContactChange::enter(int i)
{
    const EditResult r = m_edit.enter(i, toCp1252(m_panel.field(i)->text()));
    switch (r.outcome) {
    case EditOutcome::Taken:
        m_panel.field(i)->setText(toQString(m_edit.shownText(i)));
        m_modifyMode = false;
        break;
    case EditOutcome::Unchanged:
        m_panel.setFieldColour(i, FieldColour::Window);
        m_modifyMode = false;
        break;
    case EditOutcome::Refused:
        // The field keeps the focus for the operator to type again: Enter must
        // still count there, without another click.
        break;
    }
    m_panel.fieldTexts() = m_edit.fieldTexts();
    if (r.deptCaption)
        m_panel.departementLabel()->setText(toQString(trim(*r.deptCaption)));
    if (r.askConfirmation)
        showConfirmation();
    if (r.outcome == EditOutcome::Refused)
        m_editor.showError(i);
}

void ContactChange::onRecordDisplayed(std::int32_t n)
{
    m_editor.cancelError();
    m_modifyMode = false;
    if (const std::optional<QsoRecord> stored = m_window.logFile().readRecord(n))
        m_edit.load(n, *stored);
}

// --- The question and its answer ---------------------------------------------------------

void ContactChange::showConfirmation()
{
    QGroupBox *frame = m_panel.confirmFrame();
    frame->setTitle(toQString(m_edit.confirmationCaption()));
    m_panel.confirmRecordLabel()->setText(QString::number(m_edit.recordNo()));
    m_panel.confirmCallLabel()->setText(toQString(m_edit.storedCallSign()));
    frame->show();
    // Until the question is answered, nothing else may pick another record or
    // start an entry: "&Oui" acts on the record the frame names.
    m_window.setMode(WindowMode::Confirmation);
}

void ContactChange::hideConfirmation()
{
    m_panel.confirmFrame()->hide();
    m_window.setMode(WindowMode::List);
}

void ContactChange::askDeletion()
{
    if (m_window.mode() != WindowMode::List)
        return;
    if (m_panel.displayedRecord() <= 0 || m_edit.recordNo() != m_panel.displayedRecord())
        return;
    if (m_edit.pendingChanges() > 0)
        return;
    showConfirmation();
}

void ContactChange::confirm()
{
    if (m_panel.confirmFrame()->isHidden())
        return;
    hideConfirmation();
    QApplication::processEvents();
    if (m_edit.pendingChanges() > 0)
        writeChanges();
    else
        deleteShown();
    emit confirmed();
}

void ContactChange::writeChanges()
{
    const std::int32_t k = m_edit.recordNo();
    const QsoRecord record = m_edit.recordToWrite();
    const LogStatus status = m_window.logFile().replaceContact(k, record);
    if (status != LogStatus::Ok) {
        m_window.showWarning(QStringLiteral("La fiche N° %1 n'a pas été modifiée.\n%2")
                                 .arg(k)
                                 .arg(QString::fromStdString(statusMessageUtf8(status))));
        showConfirmation(); // the changes stay, to be written again or dropped
        return;
    }
    m_window.updateListLine(k, record);
    m_panel.resetFieldColours();
    m_panel.displayRecord(k);
    m_window.focusList();
}

void ContactChange::deleteShown()
{
    LogFile &log = m_window.logFile();
    const std::int32_t k = m_edit.recordNo();
    if (k <= 0)
        return;
    const std::int32_t pageOfK = computePageCount(k);
    const LogStatus status = log.deleteRecord(k, m_window.stationLocator());
    if (status != LogStatus::Ok) {
        m_window.showWarning(QStringLiteral("La fiche N° %1 n'a pas été effacée.\n%2")
                                 .arg(k)
                                 .arg(QString::fromStdString(statusMessageUtf8(status))));
        // Show the log as the file now holds it.
        log.countRecords();
        m_window.showCountedPage(pageOfK);
        m_window.updateRecordButtons();
        return;
    }
    m_window.updateRecordButtons();
    if (log.recordCount() == 0) {
        m_window.showCountedPage(1);
        m_panel.clearRecord();
        m_window.withdrawContactHistory();
        m_editor.startEntry();
        return;
    }
    m_window.showCountedPage(pageOfK);
}

void ContactChange::dropChanges()
{
    if (m_panel.confirmFrame()->isHidden())
        return;
    if (m_edit.pendingChanges() > 0) {
        m_panel.resetFieldColours();
        m_panel.distanceLabel()->clear();
        m_panel.azimuthLabel()->clear();
        m_panel.displayRecord(m_edit.recordNo());
    }
    m_modifyMode = false;
    hideConfirmation();
    m_window.focusList();
    if (!m_edit.storedCallSign().empty())
        m_window.offerContactHistory();
}

} // namespace ondelog
