// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Changes to a stored contact, typed over the record view's fields, and its
// deletion: each asks first in the confirmation frame FraMsgFiche, and "&Oui"
// writes it. What Enter means in a field is the core's RecordEdit; this object
// shows what it answers and writes the record it hands back.
//
// A write that fails leaves the changes on screen with a message, to be
// written again or dropped.

#include "logbook/recordedit.h"

#include <QObject>

#include <cstdint>
#include <string>

namespace ondelog {

class ContactEditor;
class MainWindow;
class RecordPanel;

class ContactChange : public QObject
{
    Q_OBJECT

  public:
    ContactChange(MainWindow &window, RecordPanel &panel, ContactEditor &editor);

    /** Whether a shown record may be changed: not in a log opened for reading
     *  only, where its fields only show it (a click starts no change). */
    void allowChanges(bool allowed);
    /** A press in field i of the shown record starts a change there; false when
     *  there is no record to change or the log cannot take it. */
    bool begin(int i);
    /** Enter in field i, a change being typed. */
    void enter(int i);
    /** What field i shows when it does not hold the focus. */
    std::string shownText(int i) const;
    /** A stored record is being changed: Enter in a field changes it. */
    bool isModifyMode() const { return m_modifyMode; }
    void stopModify() { m_modifyMode = false; }

    /** "&Supprimer": asks whether the shown record is to be deleted. */
    void askDeletion();
    /** "&Oui": writes the changes, or deletes the record. */
    void confirm();
    /** "&Non": drops the changes (the record shows as stored), or keeps the record. */
    void dropChanges();

    const RecordEdit &recordEdit() const { return m_edit; }

  signals:
    /** "&Oui" was answered and its change or deletion is done (or refused). */
    void confirmed();

  private:
    void onRecordDisplayed(std::int32_t n);
    void showConfirmation();
    void hideConfirmation();
    void writeChanges();
    void deleteShown();

    MainWindow &m_window;
    RecordPanel &m_panel;
    ContactEditor &m_editor;
    RecordEdit m_edit;
    bool m_modifyMode = false;
    bool m_changesAllowed = true;
};

} // namespace ondelog
