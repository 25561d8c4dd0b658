// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/contacteditor.h"

#include "logbook/entryfields.h"
#include "ui/contactchange.h"
#include "ui/contactentry.h"
#include "ui/mainwindow.h"
#include "ui/pause.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <optional>

namespace ondelog {

namespace {

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

QString pastedText(int field)
{
    // Filtered before it is cut to the field's width, as if typed key by key.
    const std::u32string pasted = QGuiApplication::clipboard()->text().toStdU32String();
    return toQString(filterText(field, pasted));
}

} // namespace

ContactEditor::ContactEditor(MainWindow &window, RecordPanel &panel)
    : QObject(&window), m_window(window), m_panel(panel)
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

    m_change = new ContactChange(window, panel, *this);
    m_entry = new ContactEntry(window, panel, *this);
    connect(m_change, &ContactChange::confirmed, this, &ContactEditor::confirmed);
}

ContactEditor::~ContactEditor() = default;

void ContactEditor::startEntry()
{
    m_entry->start();
}

bool ContactEditor::settleEntryBeforeQuit()
{
    return m_entry->settleBeforeQuit();
}

void ContactEditor::storeBeforeForcedEnd()
{
    m_entry->storeBeforeForcedEnd();
}

void ContactEditor::proposeValues(const std::string &frequency, const std::string &mode)
{
    m_entry->proposeValues(frequency, mode);
}

void ContactEditor::followLogCount()
{
    m_entry->followLogCount();
}

void ContactEditor::askDeletion()
{
    m_change->askDeletion();
}

void ContactEditor::allowChanges(bool allowed)
{
    m_change->allowChanges(allowed);
}

bool ContactEditor::isModifyMode() const
{
    return m_change->isModifyMode();
}

const EntrySession &ContactEditor::entrySession() const
{
    return m_entry->session();
}

const RecordEdit &ContactEditor::recordEdit() const
{
    return m_change->recordEdit();
}

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
    return isEntry() ? m_entry->shownText(i) : m_change->shownText(i);
}

// --- Events of the fields ---------------------------------------------------------

bool ContactEditor::eventFilter(QObject *watched, QEvent *event)
{
    const int i = fieldIndex(watched);
    if (i == 0)
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress:
        if (takeKey(i, *static_cast<QKeyEvent *>(event)))
            return true;
        break;
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

bool ContactEditor::takeKey(int i, const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        onEnter(i);
        return true;
    }
    if (i == m_errorField) {
        typeDuringError(key);
        return true;
    }
    QLineEdit *edit = field(i);
    if (edit->isReadOnly())
        return false;
    if (key.matches(QKeySequence::Paste)) {
        edit->insert(pastedText(i));
        return true;
    }
    QString replacement;
    switch (judgeKey(i, key.text(), replacement)) {
    case KeyVerdict::Refused:
        return true;
    case KeyVerdict::Replaced:
        edit->insert(replacement);
        return true;
    case KeyVerdict::AsTyped:
        break;
    }
    return false;
}

void ContactEditor::onEnter(int i)
{
    // The second of "ERREUR": nothing is taken meanwhile, so nothing is taken twice.
    if (m_errorField != 0)
        return;
    if (isEntry())
        m_entry->enter(i);
    else if (m_change->isModifyMode())
        m_change->enter(i);
}

bool ContactEditor::onFocusIn(int i)
{
    if (!isEntry() || m_errorField == i)
        return true;
    return m_entry->focusGained(i);
}

void ContactEditor::onFocusOut(int i)
{
    // Text typed without Enter was never taken: the field shows what was.
    field(i)->setText(toQString(shownText(i)));
    const bool modifying = !isEntry() && m_change->isModifyMode();
    m_panel.setFieldColour(
        i, colourStateOnFocusLost(i, modifying, m_change->recordEdit().pendingChanges()));
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
    } else if (!m_change->begin(i)) {
        return;
    }
    if (edit->text().trimmed().isEmpty()) {
        edit->clear();
    } else {
        // The line edit places the caret under the mouse once the press is
        // through; select afterwards.
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
}

// --- The second of "ERREUR" ------------------------------------------------------------

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
    if (!typed.isEmpty() && edit->hasFocus() && (isEntry() || m_change->isModifyMode()))
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

void ContactEditor::stopTyping()
{
    cancelError();
    m_change->stopModify();
}

void ContactEditor::typeDuringError(const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Backspace) {
        m_typedDuringError.chop(1);
        return;
    }
    if (key.matches(QKeySequence::Paste)) {
        m_typedDuringError += pastedText(m_errorField);
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

} // namespace ondelog
