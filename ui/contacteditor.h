// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seventeen fields of the record view, typed into for two jobs: new
// contacts (ContactEntry) and changes to a stored one (ContactChange). This
// object watches the fields' events, filters every key by the core's rule of
// its field, and hands Enter, a focus change or a press to the job the window
// is in. A value refused shows "ERREUR" in its field for a second, whichever
// job refused it.

#include "logbook/entrysession.h"
#include "logbook/recordedit.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <string>

class QKeyEvent;
class QLineEdit;

namespace ondelog {

class ContactChange;
class ContactEntry;
class MainWindow;
class RecordPanel;

class ContactEditor : public QObject
{
    Q_OBJECT

  public:
    /** Wires the fields and buttons of `panel`, the record view of `window`;
     *  lives as long as it. */
    ContactEditor(MainWindow &window, RecordPanel &panel);
    ~ContactEditor() override;

    /** "&Nouveau QSO". */
    void startEntry();
    /** The program is about to close: asks whether a contact being typed is to
     *  be stored. False when the operator goes back to it, or storing failed. */
    bool settleEntryBeforeQuit();
    /** The session ends without leave to ask: a contact with a call sign is
     *  stored as it stands rather than lost. */
    void storeBeforeForcedEnd();
    /** Frequency and mode to offer to the contacts entered from now on. */
    void proposeValues(const std::string &frequency, const std::string &mode);
    /** The log was written from outside: the contact being typed takes the number after its last.
     */
    void followLogCount();

    /** "&Supprimer": asks whether the shown record is to be deleted. */
    void askDeletion();
    /** Whether a shown record may be changed (not in a log opened for reading). */
    void allowChanges(bool allowed);
    /** A stored record is being changed: Enter in a field changes it. */
    bool isModifyMode() const;

    /** The field showing "ERREUR" for its second, 0 when none. */
    int errorField() const { return m_errorField; }
    const EntrySession &entrySession() const;
    const RecordEdit &recordEdit() const;

    /** "ERREUR" in field i for a second; what the operator types meanwhile goes
     *  into the field after it. */
    void showError(int i);
    /** Ends the second of "ERREUR" at once; what was typed meanwhile is dropped
     *  with the contact or record it was meant for. */
    void cancelError();
    /** Nothing is being typed any more: no error shown, no change under way. */
    void stopTyping();

  signals:
    /** "&Oui" was answered and its change or deletion is done (or refused). */
    void confirmed();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    int fieldIndex(const QObject *object) const;
    QLineEdit *field(int i) const;
    std::string shownText(int i) const;
    bool isEntry() const;

    void onEnter(int i);
    /** False when the focus was sent on to another field at once. */
    bool onFocusIn(int i);
    void onFocusOut(int i);
    void onMousePress(int i);
    bool takeKey(int i, const QKeyEvent &key);
    void typeDuringError(const QKeyEvent &key);

    MainWindow &m_window;
    RecordPanel &m_panel;
    ContactEntry *m_entry = nullptr;
    ContactChange *m_change = nullptr;
    int m_errorField = 0;
    int m_errorMaxLength = 0; // the width of that field, given back after the error
    // What the operator typed into that field while it showed "ERREUR": it is
    // the value being typed again, and goes into the field once the word goes.
    QString m_typedDuringError;
};

} // namespace ondelog
