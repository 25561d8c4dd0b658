// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/contactentry.h"

#include "logbook/entryfields.h"
#include "logbook/logfile.h"
#include "text/text.h"
#include "ui/contacteditor.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace ondelog {

namespace {

// "Suivant" is light orange until the received report is confirmed, then green.
const QColor kNextWaiting(0xFF, 0xE0, 0xC0);
const QColor kNextReady(0x00, 0xFF, 0x00);

void paintButton(QPushButton *button, const QColor &colour)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    button->setPalette(palette);
}

} // namespace

ContactEntry::ContactEntry(MainWindow &window, RecordPanel &panel, ContactEditor &editor)
    : QObject(&editor), m_window(window), m_panel(panel), m_editor(editor),
      m_session(panel.distanceAzimuth())
{
    connect(m_panel.nextButton(), &QPushButton::clicked, this, &ContactEntry::storeAndContinue);
    connect(m_panel.cancelButton(), &QPushButton::clicked, this, [this] {
        if (m_window.isEntrySession())
            prepareNext();
    });
    connect(m_panel.finishButton(), &QPushButton::clicked, this, &ContactEntry::finish);
    connect(m_panel.realTimeOption(), &QRadioButton::clicked, this, [this] {
        m_session.setMode(EntrySession::Mode::RealTime);
        m_panel.field(1)->setFocus(Qt::OtherFocusReason);
    });
    connect(m_panel.deferredOption(), &QRadioButton::clicked, this, [this] {
        m_session.setMode(EntrySession::Mode::Deferred);
        m_panel.field(1)->setFocus(Qt::OtherFocusReason);
    });
    connect(&window, &MainWindow::stationLocatorChanged, this, [this] {
        if (m_window.isEntrySession())
            m_session.setStationLocator(m_window.stationLocator());
    });
    updateButtons();
}

// --- Fields ------------------------------------------------------------------------

void ContactEntry::enter(int i)
{
    const EnterResult r = m_session.enter(i, toCp1252(m_panel.field(i)->text()), m_window.clock());
    for (int f : r.refreshFields)
        m_panel.field(f)->setText(toQString(m_session.shownText(f)));
    m_panel.fieldTexts() = m_session.fieldTexts();
    if (r.deptCaption)
        m_panel.departementLabel()->setText(toQString(trim(*r.deptCaption)));
    if (r.distanceAzimuth) {
        m_panel.distanceLabel()->setText(toQString(r.distanceAzimuth->distance));
        m_panel.azimuthLabel()->setText(toQString(r.distanceAzimuth->azimuth));
    }
    if (r.showSearchButton)
        m_window.offerContactHistory();
    updateButtons();

    if (r.outcome == EnterOutcome::Refused) {
        m_editor.showError(i);
        return;
    }
    switch (r.focus.kind) {
    case FocusMove::Kind::Stay:
        break;
    case FocusMove::Kind::Field:
        m_panel.field(r.focus.field)->setFocus(Qt::OtherFocusReason);
        break;
    case FocusMove::Kind::NextButton:
        m_panel.nextButton()->setFocus(Qt::OtherFocusReason);
        break;
    }
}

bool ContactEntry::focusGained(int i)
{
    FocusGainResult r = m_session.focusGained(i);
    if (r.backToCallSign) {
        m_panel.field(1)->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // What the radio reports comes before what was typed last; a value
    // already confirmed in the field stays (the session proposes nothing then).
    const std::string &proposal = i == static_cast<int>(Field::FREQ)   ? m_proposedFrequency
                                  : i == static_cast<int>(Field::MODE) ? m_proposedMode
                                                                       : std::string();
    if (!proposal.empty() && m_session.fieldText(i).empty()) {
        r.proposedText = proposal;
        r.selectProposal = true;
    }
    m_panel.setFieldColour(i, FieldColour::Green);
    if (r.proposedText) {
        QLineEdit *edit = m_panel.field(i);
        edit->setText(toQString(*r.proposedText)); // the caret goes after it
        if (r.selectProposal)
            edit->selectAll();
    }
    return true;
}

void ContactEntry::proposeValues(const std::string &frequency, const std::string &mode)
{
    const std::string previous[] = {m_proposedFrequency, m_proposedMode};
    m_proposedFrequency = frequency;
    m_proposedMode = mode;
    if (!m_window.isEntrySession())
        return;
    // The dial turned while the operator is in the field but has typed nothing:
    // the field follows the radio. Typed, confirmed or showing "ERREUR", it stays.
    const std::pair<Field, const std::string &> proposals[] = {{Field::FREQ, frequency},
                                                               {Field::MODE, mode}};
    for (std::size_t k = 0; k < std::size(proposals); ++k) {
        const int i = static_cast<int>(proposals[k].first);
        const std::string &now = proposals[k].second;
        QLineEdit *edit = m_panel.field(i);
        if (now.empty() || now == previous[k] || !edit->hasFocus() || edit->isModified() ||
            m_editor.errorField() == i || !m_session.fieldText(i).empty() ||
            toCp1252(edit->text()) != previous[k])
            continue;
        edit->setText(toQString(now));
        edit->selectAll();
    }
}

void ContactEntry::followLogCount()
{
    if (!m_window.isEntrySession())
        return;
    m_session.followRecordCount(m_window.logFile().recordCount());
    m_panel.recordNumberLabel()->setText(toQString(m_session.recordCaption()));
}

// --- The session ---------------------------------------------------------------------

void ContactEntry::start()
{
    if (m_window.mode() != WindowMode::List)
        return;
    if (!m_window.logFile().isOpen() || !m_window.isOwnLog() || m_window.logFile().isReadOnly())
        return;
    prepareNext();
}

void ContactEntry::prepareNext()
{
    m_editor.stopTyping();
    // The search and its list go with the bar; then the entry panel shows
    // before the list moves to its last line, so that the record there is not
    // displayed into the fields about to be emptied.
    m_window.setMode(WindowMode::Entry);
    m_panel.entryPanel()->show();
    m_window.showLastPage();

    m_session.prepareNewEntry(m_window.logFile().recordCount(), m_window.stationLocator());
    m_panel.clearRecord();
    m_panel.resetFieldColours();
    m_panel.fieldTexts() = m_session.fieldTexts();
    m_panel.field(static_cast<int>(Field::MLOC))->setText(toQString(m_session.stationLocator()));
    m_panel.recordNumberLabel()->setText(toQString(m_session.recordCaption()));
    updateButtons();
    m_window.withdrawContactHistory();
    m_panel.field(1)->setFocus(Qt::OtherFocusReason);
}

void ContactEntry::updateButtons()
{
    QPushButton *next = m_panel.nextButton();
    next->setEnabled(m_session.isNextEnabled());
    paintButton(next, m_session.isNextEnabled() ? kNextReady : kNextWaiting);
    m_panel.cancelButton()->setEnabled(m_session.isCancelEnabled());
}

bool ContactEntry::store()
{
    return store(m_session.recordToStore(m_window.clock()));
}

bool ContactEntry::store(const std::optional<QsoRecord> &contact)
{
    if (!contact)
        return true; // nothing complete to store
    const LogStatus status = m_window.logFile().appendContact(*contact, m_session.stationLocator());
    if (status == LogStatus::Ok)
        return true;
    // The end time just read from the clock, and reports completed on request,
    // are part of the contact kept on screen.
    for (const Field f : {Field::HFIN, Field::SRST, Field::MRST})
        m_panel.field(static_cast<int>(f))
            ->setText(toQString(m_session.shownText(static_cast<int>(f))));
    updateButtons();
    m_window.showWarning(
        QStringLiteral("Le contact avec %1 n'a pas été enregistré dans le log.\n%2\n\n"
                       "Il reste affiché : vous pouvez essayer de l'enregistrer à nouveau.")
            .arg(toQString(m_session.fieldText(1)),
                 QString::fromStdString(statusMessageUtf8(status))));
    return false;
}

void ContactEntry::storeAndContinue()
{
    if (!m_window.isEntrySession())
        return;
    if (store())
        prepareNext();
}

ContactEntry::KeepAnswer ContactEntry::askKeep(const QString &text, bool canStore)
{
    const QMessageBox::StandardButtons buttons =
        canStore ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                 : QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Ondelog"), text, buttons, &m_window);
    box.setObjectName(QStringLiteral("OndelogQuestion"));
    box.setDefaultButton(QMessageBox::Yes);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Oui"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Non"));
    if (canStore)
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("&Annuler"));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return KeepAnswer::Store;
    case QMessageBox::No:
        return canStore ? KeepAnswer::Drop : KeepAnswer::Back;
    default:
        return KeepAnswer::Back;
    }
}

bool ContactEntry::settleBeforeQuit()
{
    if (!m_window.isEntrySession() || !m_session.hasConfirmedInput())
        return true;
    m_editor.cancelError();
    const QString call = toQString(m_session.fieldText(1));
    if (call.isEmpty()) {
        // Without a call sign there is nothing that could be stored.
        const KeepAnswer answer =
            askKeep(QStringLiteral("Le contact en cours de saisie n'a pas d'indicatif : "
                                   "il ne peut pas être enregistré.\n\n"
                                   "Quitter quand même ?"),
                    false);
        return answer == KeepAnswer::Store;
    }
    switch (askKeep(QStringLiteral("Le contact avec %1 est en cours de saisie.\n\n"
                                   "Faut-il l'enregistrer dans le log avant de quitter ?")
                        .arg(call))) {
    case KeepAnswer::Store:
        return store(m_session.completedRecordToStore(m_window.clock()));
    case KeepAnswer::Drop:
        return true;
    case KeepAnswer::Back:
        break;
    }
    return false;
}

void ContactEntry::storeBeforeForcedEnd()
{
    if (m_window.isEntrySession() && m_session.hasConfirmedInput())
        store(m_session.completedRecordToStore(m_window.clock()));
}

void ContactEntry::finish()
{
    if (!m_window.isEntrySession())
        return;
    if (m_session.isUnfinished()) {
        m_editor.cancelError();
        switch (askKeep(QStringLiteral("Le contact avec %1 n'a pas de report validé.\n\n"
                                       "Faut-il l'enregistrer dans le log, avec « 59 » "
                                       "pour le report manquant ?")
                            .arg(toQString(m_session.fieldText(1))))) {
        case KeepAnswer::Store:
            if (!store(m_session.completedRecordToStore(m_window.clock())))
                return;
            break;
        case KeepAnswer::Drop:
            break;
        case KeepAnswer::Back:
            return;
        }
    } else if (!store()) {
        return; // the contact stays on screen, and the entry with it
    }
    m_editor.cancelError();
    m_panel.entryPanel()->hide();
    m_window.closeContactsList();
    m_window.setMode(WindowMode::List);

    m_panel.resetFieldColours();
    // An empty log has no record to show over the contact given up.
    m_panel.clearRecord();
    m_window.withdrawContactHistory();
    m_window.refresh();
    m_window.focusList();
}

} // namespace ondelog
