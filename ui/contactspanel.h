// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search field (PictRech) and the contacts panel (PictContacts): a call
// sign or a date typed into RechText lists every contact it names; "Voir
// contacts réalisés" lists the contacts already made with the station in the
// record view, during entry too; "Chercher les doublons" lists the
// neighbouring contacts logged twice. Each line carries its record's number,
// and picking it shows that record. The rules (which text is a date, which
// call sign matches, the lines) are the core's; this object builds both
// panels, adds them beside the list and wires them to it.

#include "maintenance/search.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ondelog {

class MainWindow;
class RecordPanel;

class ContactsPanel : public QObject
{
    Q_OBJECT

  public:
    /** Adds both panels to `window`; "Voir contacts réalisés" is the one of
     *  `record`, and the call sign searched the one it holds. */
    ContactsPanel(MainWindow &window, RecordPanel &record);

    /** Enter in the search field: searches its text, or closes the search when empty. */
    void takeSearchText();
    /** "Voir contacts réalisés": the contacts made with the call sign in the record view. */
    void showContactHistory();
    /** "Chercher les doublons". */
    void findDuplicatePairs();
    /** "Fermer". */
    void closePanel();
    /** Lists these records under `caption`, the first one shown. */
    void listRecords(const std::vector<std::int32_t> &recordNos, const QString &caption);
    /** After "&Oui": a list made before a deletion is made again (its later
     *  lines would go to other contacts now). */
    void relistIfShrunk();

    /** "Voir contacts réalisés" shown for the call sign in hand, unless a list is open. */
    void offerHistory();
    void withdrawHistory();
    /** The list closed (whatever closes it: a sort, an entry, another log). */
    void closeList();
    void showSearchField(bool shown);
    void clearSearch();
    /** The list closed, the search field back, the history offered again. */
    void reset();

    /** What the list shows now. */
    ContactsListKind listKind() const { return m_kind; }

  signals:
    /** A list opened from the record view or the duplicates keeps "&Nouveau
     *  QSO" and "Fermer le Log" away until it closes (`held` false). */
    void entryHeld(bool held);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QFrame *buildSearchField();
    QFrame *buildList();
    void showList();
    void search(const QString &text);
    void runDuplicates();
    void fill(ContactsListKind kind, const std::vector<ContactsLine> &lines);
    void goToLine(int row);
    bool isBusy() const;
    void holdEntry(bool held);
    void warn(const QString &text);

    MainWindow &m_window;
    RecordPanel &m_record;
    QFrame *m_searchFrame = nullptr;   // PictRech
    QLineEdit *m_searchText = nullptr; // RechText
    QFrame *m_frame = nullptr;         // PictContacts
    QLabel *m_caption = nullptr;       // ContactsLab
    QLabel *m_count = nullptr;         // NbreContacts
    QListWidget *m_list = nullptr;     // ContactsListe
    QPushButton *m_close = nullptr;    // BtContactsFermer
    QPushButton *m_history = nullptr;  // BtActiveRech, in the record view
    ContactsListKind m_kind = ContactsListKind::CallSign;
    // The entry field that had the focus before "Voir contacts réalisés"; the
    // text last searched (or that the records listed were given) and the log's
    // count when the list was made (a deletion lowers it).
    QPointer<QWidget> m_entryField;
    QString m_lastSearch;
    bool m_givenRecords = false;
    std::int32_t m_countAtList = 0;
    bool m_going = false;
    bool m_entryHeld = false;
};

} // namespace ondelog
