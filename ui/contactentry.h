// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// New contacts, typed into the record view from "&Nouveau QSO" to "Terminer".
// What Enter and a focus change mean is the core's EntrySession; this object
// shows what it answers, stores what it hands back into the open log and asks
// before a contact would be lost.
//
// A write that fails never loses what the operator typed: the contact stays on
// screen with a message, and can be stored again.

#include "logbook/entrysession.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>

namespace ondelog {

class ContactEditor;
class MainWindow;
class RecordPanel;

class ContactEntry : public QObject
{
    Q_OBJECT

  public:
    /** `editor` shows the fields' errors; the three live as long as the window. */
    ContactEntry(MainWindow &window, RecordPanel &panel, ContactEditor &editor);

    /** "&Nouveau QSO": the button bar goes, the entry session starts. */
    void start();
    /** Empties the fields for the next contact (also "Annuler" and after "Suivant"). */
    void prepareNext();
    /** "Suivant": stores the contact when it is complete, then the next one. */
    void storeAndContinue();
    /** "Terminer": stores the contact when it is complete, back to the list. A
     *  contact lacking only its reports is not dropped without asking. */
    void finish();
    /** The program is about to close: asks whether a contact being typed is to
     *  be stored. False when the operator goes back to it, or storing failed. */
    bool settleBeforeQuit();
    /** The session ends without leave to ask: a contact with a call sign is
     *  stored as it stands rather than lost. */
    void storeBeforeForcedEnd();

    /** Enter in field i. */
    void enter(int i);
    /** Field i gets the focus; false when the focus was sent on to another field. */
    bool focusGained(int i);
    /** What field i shows when it does not hold the focus. */
    std::string shownText(int i) const { return m_session.shownText(i); }
    /** Frequency and mode offered in their empty fields (instead of the last
     *  ones typed) until others come; empty: none. A field that shows the last
     *  proposal, untouched, shows the new one. */
    void proposeValues(const std::string &frequency, const std::string &mode);
    /** The log grew during the entry: "Charger fiche N°" says the number the
     *  contact being typed will now be written at. */
    void followLogCount();

    const EntrySession &session() const { return m_session; }

  private:
    bool store();
    bool store(const std::optional<QsoRecord> &contact);
    enum class KeepAnswer
    {
        Store,
        Drop,
        Back,
    };
    /** Oui, Non, Annuler; only Oui and Non (Non going back) when nothing can be stored. */
    KeepAnswer askKeep(const QString &text, bool canStore = true);
    void updateButtons();

    MainWindow &m_window;
    RecordPanel &m_panel;
    ContactEditor &m_editor;
    EntrySession m_session;
    std::string m_proposedFrequency; // Windows-1252, as the field takes it
    std::string m_proposedMode;
};

} // namespace ondelog
