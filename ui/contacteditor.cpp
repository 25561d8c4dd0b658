#include "ui/contacteditor.h"

#include "logbook/entryfields.h"
#include "logbook/logfile.h"
#include "logbook/loglist.h"
#include "text/text.h"
#include "ui/mainwindow.h"
#include "ui/pause.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <optional>

namespace ondelog {

namespace {

// "Suivant" is light orange until the received report is confirmed, then green.
const QColor kNextWaiting(0xFF, 0xE0, 0xC0);
const QColor kNextReady(0x00, 0xFF, 0x00);

std::optional<char> filterChar(int field, QChar c)
{
    if (c.isSurrogate())
        return std::nullopt; // no Windows-1252 character lies beyond the first plane
    return filterKey(field, c.unicode());
}

// The field's text kept to what its keys could have typed, the caret where it
// was among the characters kept. Only for what the operator put there: texts
// the program shows ("ERREUR", stored values) are never touched.
void keepFiltered(QLineEdit *edit, int field)
{
    const QString text = edit->text();
    const int caret = edit->cursorPosition();
    QString kept;
    int keptBeforeCaret = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (const std::optional<char> c = filterChar(field, text.at(i))) {
            kept += toQString(std::string(1, *c));
            if (i < caret)
                ++keptBeforeCaret;
        }
    }
    if (kept == text)
        return;
    edit->setText(kept);
    edit->setCursorPosition(keptBeforeCaret);
}

// What a typed key puts into the field: nothing when the key is refused (then
// it cannot replace a selection by nothing either), the key's own text when
// it goes in as typed, or the text to insert in its place (upper case).
enum class KeyVerdict
{
    Refused,
    AsTyped,
    Replaced,
};

KeyVerdict judgeKey(int field, const QString &text, QString &replacement)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return KeyVerdict::AsTyped; // Backspace, Ctrl+A and the like: editing, not typing
    }
    replacement.clear();
    for (const QChar c : text) {
        const std::optional<char> kept = filterChar(field, c);
        if (!kept)
            return KeyVerdict::Refused;
        replacement += toQString(std::string(1, *kept));
    }
    return replacement == text ? KeyVerdict::AsTyped : KeyVerdict::Replaced;
}

void paintButton(QPushButton *button, const QColor &colour)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    button->setPalette(palette);
}

} // namespace

ContactEditor::ContactEditor(MainWindow &window)
    : QObject(&window), m_window(window), m_panel(*window.recordPanel()),
      m_session(window.recordPanel()->distanceAzimuth())
{
    for (int i = 1; i <= RecordPanel::kFieldCount; ++i) {
        QLineEdit *edit = field(i);
        edit->installEventFilter(this);
        // Keys are filtered as they come; this catches what comes otherwise
        // (a drop, the context menu's paste, an input method).
        connect(edit, &QLineEdit::textEdited, this, [edit, i] { keepFiltered(edit, i); });
    }
    // Once "Suivant" has the focus, Enter stores the contact as a click would.
    for (QPushButton *b : {m_panel.nextButton(), m_panel.cancelButton(), m_panel.finishButton(),
                           m_panel.yesButton(), m_panel.noButton()})
        b->setAutoDefault(true);

    connect(window.newQsoButton(), &QPushButton::clicked, this, &ContactEditor::startEntry);
    connect(window.deleteButton(), &QPushButton::clicked, this, &ContactEditor::askDeletion);
    connect(m_panel.nextButton(), &QPushButton::clicked, this, &ContactEditor::storeAndContinue);
    connect(m_panel.cancelButton(), &QPushButton::clicked, this, [this] {
        if (isEntry())
            prepareNewEntry();
    });
    connect(m_panel.finishButton(), &QPushButton::clicked, this, &ContactEditor::finishEntry);
    connect(m_panel.yesButton(), &QPushButton::clicked, this, &ContactEditor::confirm);
    connect(m_panel.noButton(), &QPushButton::clicked, this, &ContactEditor::dropChanges);
    connect(m_panel.realTimeOption(), &QRadioButton::clicked, this, [this] {
        m_session.setMode(EntrySession::Mode::RealTime);
        field(1)->setFocus(Qt::OtherFocusReason);
    });
    connect(m_panel.deferredOption(), &QRadioButton::clicked, this, [this] {
        m_session.setMode(EntrySession::Mode::Deferred);
        field(1)->setFocus(Qt::OtherFocusReason);
    });
    connect(&m_panel, &RecordPanel::recordDisplayed, this,
            [this](std::int32_t n, const QString &) { onRecordDisplayed(n); });
    connect(&window, &MainWindow::stationLocatorChanged, this, [this] {
        if (isEntry())
            m_session.setStationLocator(m_window.stationLocator());
    });
    updateEntryButtons();
}

ContactEditor::~ContactEditor() = default;

QLineEdit *ContactEditor::field(int i) const
{
    return m_panel.field(i);
}

int ContactEditor::fieldIndex(const QObject *object) const
{
    for (int i = 1; i <= RecordPanel::kFieldCount; ++i) {
        if (field(i) == object)
            return i;
    }
    return 0;
}

bool ContactEditor::isEntry() const
{
    return m_window.isEntrySession();
}

std::string ContactEditor::shownText(int i) const
{
    if (isEntry())
        return m_session.shownText(i);
    if (m_panel.displayedRecord() > 0 && m_edit.recordNo() == m_panel.displayedRecord())
        return m_edit.shownText(i);
    return {};
}

// --- Events of the fields ---------------------------------------------------------

bool ContactEditor::eventFilter(QObject *watched, QEvent *event)
{
    const int i = fieldIndex(watched);
    if (i == 0)
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            onEnter(i);
            return true;
        }
        if (i == m_errorField) {
            typeDuringError(*key);
            return true;
        }
        QLineEdit *edit = field(i);
        if (edit->isReadOnly())
            break;
        if (key->matches(QKeySequence::Paste)) {
            // Filtered before it is cut to the field's width, as if typed key by key.
            const std::u32string pasted = QGuiApplication::clipboard()->text().toStdU32String();
            edit->insert(toQString(filterText(i, pasted)));
            return true;
        }
        QString replacement;
        switch (judgeKey(i, key->text(), replacement)) {
        case KeyVerdict::Refused:
            return true;
        case KeyVerdict::Replaced:
            edit->insert(replacement);
            return true;
        case KeyVerdict::AsTyped:
            break;
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A menu or another window taking the focus for a moment is no move
        // between fields: what is being typed stays.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            break;
        if (event->type() == QEvent::FocusOut)
            onFocusOut(i);
        else if (!onFocusIn(i))
            return true; // the focus went on elsewhere: the field must not act as focused
        break;
    }
    case QEvent::MouseButtonPress:
        onMousePress(i);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ContactEditor::onEnter(int i)
{
    // The second of "ERREUR": nothing is taken meanwhile, so nothing is taken twice.
    if (m_errorField != 0)
        return;
    if (isEntry())
        enterNewContact(i);
    else if (m_modifyMode)
        enterChange(i);
}

bool ContactEditor::onFocusIn(int i)
{
    if (!isEntry() || m_errorField == i)
        return true;
    const FocusGainResult r = m_session.focusGained(i);
    if (r.backToCallSign) {
        field(1)->setFocus(Qt::OtherFocusReason);
        return false;
    }
    m_panel.setFieldColour(i, FieldColour::Green);
    if (r.proposedText) {
        QLineEdit *edit = field(i);
        edit->setText(toQString(*r.proposedText)); // the caret goes after it
        if (r.selectProposal)
            edit->selectAll();
    }
    return true;
}

void ContactEditor::onFocusOut(int i)
{
    // Text typed without Enter was never taken: the field shows what was.
    field(i)->setText(toQString(shownText(i)));
    const bool modifying = !isEntry() && m_modifyMode;
    m_panel.setFieldColour(i, colourStateOnFocusLost(i, modifying, m_edit.pendingChanges()));
}

void ContactEditor::onMousePress(int i)
{
    QLineEdit *edit = field(i);
    if (m_errorField == i)
        return;
    if (isEntry()) {
        // The focus was sent back to the call sign: this field is not being typed in.
        if (!edit->hasFocus())
            return;
        m_panel.setFieldColour(i, FieldColour::Green);
        if (i == static_cast<int>(Field::MLOC))
            m_window.openChangeLocatorPanel();
    } else {
        // No record to change, or a log that cannot take the change: refused
        // now rather than at "&Oui", after the operator typed it.
        if (m_panel.displayedRecord() <= 0 || !m_changesAllowed)
            return;
        m_modifyMode = true;
        m_panel.setFieldColour(i, FieldColour::Red);
    }
    if (edit->text().trimmed().isEmpty()) {
        edit->clear();
    } else {
        // The line edit places the caret under the mouse once the press is
        // through; select afterwards.
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
}

// --- Enter ------------------------------------------------------------------------

void ContactEditor::enterNewContact(int i)
{
    const EnterResult r = m_session.enter(i, toCp1252(field(i)->text()), m_window.clock());
    for (int f : r.refreshFields)
        field(f)->setText(toQString(m_session.shownText(f)));
    m_panel.fieldTexts() = m_session.fieldTexts();
    if (r.deptCaption)
        m_panel.departementLabel()->setText(toQString(trim(*r.deptCaption)));
    if (r.distanceAzimuth) {
        m_panel.distanceLabel()->setText(toQString(r.distanceAzimuth->distance));
        m_panel.azimuthLabel()->setText(toQString(r.distanceAzimuth->azimuth));
    }
    if (r.showSearchButton && m_window.contactsPanel()->isHidden())
        m_window.searchButton()->show();
    updateEntryButtons();

    if (r.outcome == EnterOutcome::Refused) {
        showError(i);
        return;
    }
    switch (r.focus.kind) {
    case FocusMove::Kind::Stay:
        break;
    case FocusMove::Kind::Field:
        field(r.focus.field)->setFocus(Qt::OtherFocusReason);
        break;
    case FocusMove::Kind::NextButton:
        m_panel.nextButton()->setFocus(Qt::OtherFocusReason);
        break;
    }
}

void ContactEditor::enterChange(int i)
{
    const EditResult r = m_edit.enter(i, toCp1252(field(i)->text()));
    switch (r.outcome) {
    case EditOutcome::Taken:
        field(i)->setText(toQString(m_edit.shownText(i)));
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
        showError(i);
}

void ContactEditor::showError(int i)
{
    QLineEdit *edit = field(i);
    m_errorField = i;
    // Read-only for the second: keys typed meanwhile cannot mix with "ERREUR";
    // they are kept aside (typeDuringError) and put into the field after it.
    edit->setReadOnly(true);
    // The département field is narrower than the word: it shows it all the same.
    m_errorMaxLength = edit->maxLength();
    edit->setMaxLength(std::max(m_errorMaxLength, static_cast<int>(std::strlen(kErrorText))));
    edit->setText(QString::fromLatin1(kErrorText));
    m_typedDuringError.clear();
    QPointer<ContactEditor> self(this);
    pauseSeconds(1);
    if (!self || m_errorField != i)
        return; // the contact or the record changed meanwhile, which ended the error
    const QString typed = m_typedDuringError;
    cancelError();
    // Enter pressed during the second took nothing: the next one confirms this
    // text, so a value is never taken twice. Text whose field lost the focus
    // meanwhile was left without Enter, and is dropped as ever.
    if (!typed.isEmpty() && edit->hasFocus() && (isEntry() || m_modifyMode))
        edit->insert(typed);
}

void ContactEditor::cancelError()
{
    m_typedDuringError.clear();
    if (m_errorField == 0)
        return;
    QLineEdit *edit = field(m_errorField);
    m_errorField = 0;
    edit->setReadOnly(false);
    if (edit->text() == QLatin1String(kErrorText))
        edit->clear();
    edit->setMaxLength(m_errorMaxLength);
}

void ContactEditor::typeDuringError(const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Backspace) {
        m_typedDuringError.chop(1);
        return;
    }
    if (key.matches(QKeySequence::Paste)) {
        const std::u32string pasted = QGuiApplication::clipboard()->text().toStdU32String();
        m_typedDuringError += toQString(filterText(m_errorField, pasted));
        m_typedDuringError.truncate(m_errorMaxLength);
        return;
    }
    const QString text = key.text();
    QString replacement;
    switch (judgeKey(m_errorField, text, replacement)) {
    case KeyVerdict::Refused:
        return;
    case KeyVerdict::AsTyped:
        // Editing keys (arrows, Ctrl+A) have no text: nothing to keep.
        if (text.isEmpty() || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7F)
            return;
        replacement = text;
        break;
    case KeyVerdict::Replaced:
        break;
    }
    m_typedDuringError += replacement;
    m_typedDuringError.truncate(m_errorMaxLength);
}

// --- Entry session -------------------------------------------------------------------

void ContactEditor::startEntry()
{
    if (isEntry() || !m_panel.confirmFrame()->isHidden())
        return;
    if (!m_window.logFile().isOpen() || !m_window.isOwnLog() || m_window.logFile().isReadOnly())
        return;
    m_window.menuPanel()->hide();
    m_window.setEntrySession(true);
    prepareNewEntry();
}

void ContactEditor::prepareNewEntry()
{
    cancelError();
    m_modifyMode = false;
    m_window.searchPanel()->hide();
    m_window.contactsPanel()->hide();
    // Shown before the list moves to its last line, so that the record there
    // is not displayed into the fields about to be emptied.
    m_panel.entryPanel()->show();

    m_window.listPanel()->setEnabled(true);
    m_window.showLastPage();
    m_window.listPanel()->setEnabled(false);

    m_session.prepareNewEntry(m_window.logFile().recordCount(), m_window.stationLocator());
    m_window.logFile().setCurrentRecordNo(m_session.currentRecordNo());
    m_panel.clearRecord();
    resetFieldColours();
    m_panel.fieldTexts() = m_session.fieldTexts();
    field(static_cast<int>(Field::MLOC))->setText(toQString(m_session.stationLocator()));
    m_panel.recordNumberLabel()->setText(toQString(m_session.recordCaption()));
    updateEntryButtons();
    m_window.searchButton()->hide();
    field(1)->setFocus(Qt::OtherFocusReason);
}

void ContactEditor::updateEntryButtons()
{
    QPushButton *next = m_panel.nextButton();
    next->setEnabled(m_session.isNextEnabled());
    paintButton(next, m_session.isNextEnabled() ? kNextReady : kNextWaiting);
    m_panel.cancelButton()->setEnabled(m_session.isCancelEnabled());
}

bool ContactEditor::storeContact()
{
    return storeContact(m_session.recordToStore(m_window.clock()));
}

bool ContactEditor::storeContact(const std::optional<QsoRecord> &contact)
{
    if (!contact)
        return true; // nothing complete to store
    const LogStatus status = m_window.logFile().appendContact(*contact, m_session.stationLocator());
    if (status == LogStatus::Ok)
        return true;
    // The end time just read from the clock, and reports completed on request,
    // are part of the contact kept on screen.
    for (const Field f : {Field::HFIN, Field::SRST, Field::MRST})
        field(static_cast<int>(f))->setText(toQString(m_session.shownText(static_cast<int>(f))));
    updateEntryButtons();
    warn(QStringLiteral("Le contact avec %1 n'a pas été enregistré dans le log.\n%2\n\n"
                        "Il reste affiché : vous pouvez essayer de l'enregistrer à nouveau.")
             .arg(toQString(m_session.fieldText(1)),
                  QString::fromStdString(statusMessageUtf8(status))));
    return false;
}

void ContactEditor::storeAndContinue()
{
    if (!isEntry())
        return;
    if (storeContact())
        prepareNewEntry();
}

ContactEditor::KeepAnswer ContactEditor::askKeepContact(const QString &text, bool canStore)
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

bool ContactEditor::settleEntryBeforeQuit()
{
    if (!isEntry() || !m_session.hasConfirmedInput())
        return true;
    cancelError();
    const QString call = toQString(m_session.fieldText(1));
    if (call.isEmpty()) {
        // Without a call sign there is nothing that could be stored.
        const KeepAnswer answer =
            askKeepContact(QStringLiteral("Le contact en cours de saisie n'a pas d'indicatif : "
                                          "il ne peut pas être enregistré.\n\n"
                                          "Quitter quand même ?"),
                           false);
        return answer == KeepAnswer::Store;
    }
    switch (askKeepContact(QStringLiteral("Le contact avec %1 est en cours de saisie.\n\n"
                                          "Faut-il l'enregistrer dans le log avant de quitter ?")
                               .arg(call))) {
    case KeepAnswer::Store:
        return storeContact(m_session.completedRecordToStore(m_window.clock()));
    case KeepAnswer::Drop:
        return true;
    case KeepAnswer::Back:
        break;
    }
    return false;
}

void ContactEditor::storeBeforeForcedEnd()
{
    if (isEntry() && m_session.hasConfirmedInput())
        storeContact(m_session.completedRecordToStore(m_window.clock()));
}

void ContactEditor::finishEntry()
{
    if (!isEntry())
        return;
    if (m_session.isUnfinished()) {
        cancelError();
        switch (askKeepContact(QStringLiteral("Le contact avec %1 n'a pas de report validé.\n\n"
                                              "Faut-il l'enregistrer dans le log, avec « 59 » "
                                              "pour le report manquant ?")
                                   .arg(toQString(m_session.fieldText(1))))) {
        case KeepAnswer::Store:
            if (!storeContact(m_session.completedRecordToStore(m_window.clock())))
                return;
            break;
        case KeepAnswer::Drop:
            break;
        case KeepAnswer::Back:
            return;
        }
    } else if (!storeContact()) {
        return; // the contact stays on screen, and the entry with it
    }
    cancelError();
    m_panel.entryPanel()->hide();
    m_window.contactsPanel()->hide();
    m_window.setEntrySession(false);
    m_window.menuPanel()->show();
    m_window.listPanel()->setEnabled(true);

    resetFieldColours();
    // An empty log has no record to show over the contact given up.
    m_panel.clearRecord();
    m_window.searchButton()->hide();
    m_window.showLastPage();
    m_window.searchPanel()->setVisible(m_window.logFile().recordCount() > 0);
    m_window.updateRecordButtons();
    m_window.logList()->setFocus(Qt::OtherFocusReason);
}

// --- Record view ---------------------------------------------------------------------

void ContactEditor::allowChanges(bool allowed)
{
    // Only a change of log changes this; the fields' own read-only second of
    // "ERREUR" is not to be undone by every refresh of the commands.
    if (allowed == m_changesAllowed)
        return;
    m_changesAllowed = allowed;
    if (!allowed) {
        cancelError();
        m_modifyMode = false;
    }
    for (int i = 1; i <= RecordPanel::kFieldCount; ++i)
        field(i)->setReadOnly(!allowed);
}

void ContactEditor::onRecordDisplayed(std::int32_t n)
{
    cancelError();
    m_modifyMode = false;
    if (const std::optional<QsoRecord> stored = m_window.logFile().readRecord(n))
        m_edit.load(n, *stored);
}

void ContactEditor::showConfirmation()
{
    QGroupBox *frame = m_panel.confirmFrame();
    frame->setTitle(toQString(m_edit.confirmationCaption()));
    m_panel.confirmRecordLabel()->setText(QString::number(m_edit.recordNo()));
    m_panel.confirmCallLabel()->setText(toQString(m_edit.storedCallSign()));
    frame->show();
    // Until the question is answered, nothing else may pick another record or
    // start an entry: "&Oui" acts on the record the frame names.
    m_window.menuPanel()->setEnabled(false);
    m_window.listPanel()->setEnabled(false);
}

void ContactEditor::hideConfirmation()
{
    m_panel.confirmFrame()->hide();
    m_window.menuPanel()->setEnabled(true);
    m_window.listPanel()->setEnabled(true);
}

void ContactEditor::askDeletion()
{
    if (isEntry() || !m_panel.confirmFrame()->isHidden())
        return;
    if (m_panel.displayedRecord() <= 0 || m_edit.recordNo() != m_panel.displayedRecord())
        return;
    if (m_edit.pendingChanges() > 0)
        return;
    showConfirmation();
}

void ContactEditor::confirm()
{
    if (m_panel.confirmFrame()->isHidden())
        return;
    hideConfirmation();
    QApplication::processEvents();
    if (m_edit.pendingChanges() > 0)
        writeChanges();
    else
        deleteShown();
}

void ContactEditor::writeChanges()
{
    const std::int32_t k = m_edit.recordNo();
    const QsoRecord record = m_edit.recordToWrite();
    const LogStatus status = m_window.logFile().replaceContact(k, record);
    if (status != LogStatus::Ok) {
        warn(QStringLiteral("La fiche N° %1 n'a pas été modifiée.\n%2")
                 .arg(k)
                 .arg(QString::fromStdString(statusMessageUtf8(status))));
        showConfirmation(); // the changes stay, to be written again or dropped
        return;
    }
    QListWidget *list = m_window.logList();
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        if (recordNoOfLine(toCp1252(item->text())) == k) {
            item->setText(toQString(listLine(k, record)));
            break;
        }
    }
    resetFieldColours();
    m_panel.displayRecord(k);
    list->setFocus(Qt::OtherFocusReason);
}

void ContactEditor::deleteShown()
{
    LogFile &log = m_window.logFile();
    const std::int32_t k = m_edit.recordNo();
    if (k <= 0)
        return;
    const std::int32_t pageOfK = computePageCount(k);
    const LogStatus status = log.deleteRecord(k, m_window.stationLocator());
    if (status != LogStatus::Ok) {
        warn(QStringLiteral("La fiche N° %1 n'a pas été effacée.\n%2")
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
        m_window.logList()->clear();
        m_panel.clearRecord();
        m_window.searchButton()->hide();
        startEntry();
        return;
    }
    m_window.showCountedPage(pageOfK);
}

void ContactEditor::dropChanges()
{
    if (m_panel.confirmFrame()->isHidden())
        return;
    if (m_edit.pendingChanges() > 0) {
        resetFieldColours();
        m_panel.distanceLabel()->clear();
        m_panel.azimuthLabel()->clear();
        m_panel.displayRecord(m_edit.recordNo());
    }
    m_modifyMode = false;
    hideConfirmation();
    m_window.logList()->setFocus(Qt::OtherFocusReason);
    if (!m_edit.storedCallSign().empty() && m_window.contactsPanel()->isHidden())
        m_window.searchButton()->show();
}

void ContactEditor::resetFieldColours()
{
    for (int i = 1; i <= RecordPanel::kFieldCount; ++i)
        m_panel.setFieldColour(i, FieldColour::Window);
}

void ContactEditor::warn(const QString &text)
{
    m_window.showWarning(text);
}

} // namespace ondelog
