#pragma once
// New contacts and changes to stored ones, both typed into the seventeen fields
// of the record view. What a key, Enter or a focus change means is decided by
// the core (the key filter, EntrySession for new contacts, RecordEdit for a
// stored one); this object forwards the fields' events and the buttons' clicks
// to it, shows what it answers and writes what it hands back into the open log.
//
// A write that fails never loses what the operator typed: the contact (or the
// changed record) stays on screen with a message, and can be stored again.

#include "logbook/entrysession.h"
#include "logbook/recordedit.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace ondelog {

class MainWindow;
class RecordPanel;

class ContactEditor : public QObject
{
    Q_OBJECT

  public:
    /** Wires the fields and buttons of `window`'s record view; lives as long as it. */
    explicit ContactEditor(MainWindow &window);
    ~ContactEditor() override;

    /** "&Nouveau QSO": the button bar goes, the entry session starts. */
    void startEntry();
    /** Empties the fields for the next contact (also "Annuler" and after "Suivant"). */
    void prepareNewEntry();
    /** "Suivant": stores the contact when it is complete, then the next one. */
    void storeAndContinue();
    /** "Terminer": stores the contact when it is complete, back to the list. A
     *  contact lacking only its reports is not dropped without asking. */
    void finishEntry();
    /** The program is about to close: asks whether a contact being typed is to
     *  be stored. False when the operator goes back to it, or storing failed. */
    bool settleEntryBeforeQuit();
    /** The session ends without leave to ask: a contact with a call sign is
     *  stored as it stands rather than lost. */
    void storeBeforeForcedEnd();

    /** "&Supprimer": asks whether the shown record is to be deleted. */
    void askDeletion();
    /** "&Oui": writes the changes, or deletes the record. */
    void confirm();
    /** "&Non": drops the changes (the record shows as stored), or keeps the record. */
    void dropChanges();

    /** Whether a shown record may be changed: not in a log opened for reading
     *  only, where its fields only show it (a click starts no change). */
    void allowChanges(bool allowed);

    /** A stored record is being changed: Enter in a field changes it. */
    bool isModifyMode() const { return m_modifyMode; }
    /** The field showing "ERREUR" for its second, 0 when none. */
    int errorField() const { return m_errorField; }
    const EntrySession &entrySession() const { return m_session; }
    const RecordEdit &recordEdit() const { return m_edit; }

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
    void enterNewContact(int i);
    void enterChange(int i);
    void showError(int i);
    /** Ends the second of "ERREUR" at once; what was typed meanwhile is dropped
     *  with the contact or record it was meant for. */
    void cancelError();
    void typeDuringError(const QKeyEvent &key);

    bool storeContact();
    bool storeContact(const std::optional<QsoRecord> &contact);
    enum class KeepAnswer
    {
        Store,
        Drop,
        Back,
    };
    /** Oui, Non, Annuler; only Oui and Non (Non going back) when nothing can be stored. */
    KeepAnswer askKeepContact(const QString &text, bool canStore = true);
    void updateEntryButtons();
    void onRecordDisplayed(std::int32_t n);
    void showConfirmation();
    void hideConfirmation();
    void writeChanges();
    void deleteShown();
    void resetFieldColours();
    void warn(const QString &text);

    MainWindow &m_window;
    RecordPanel &m_panel;
    EntrySession m_session;
    RecordEdit m_edit;
    bool m_modifyMode = false;
    bool m_changesAllowed = true;
    int m_errorField = 0;
    int m_errorMaxLength = 0; // the width of that field, given back after the error
    // What the operator typed into that field while it showed "ERREUR": it is
    // the value being typed again, and goes into the field once the word goes.
    QString m_typedDuringError;
};

} // namespace ondelog
