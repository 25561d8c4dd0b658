#pragma once
// The search field and the contacts panel: a call sign or a date typed into
// RechText lists every contact it names; "Voir contacts réalisés" lists the
// contacts already made with the station in the record view, during entry too;
// "Chercher les doublons" lists the neighbouring contacts logged twice. A line
// of the list goes to its record in the log list. The rules (which text is a
// date, which call sign matches, the lines and their record numbers) are the
// core's; this object wires the panel and the main window's controls to them.

#include "maintenance/search.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace ondelog {

class MainWindow;

class ContactsPanel : public QObject
{
    Q_OBJECT

  public:
    /** Fills the contacts panel (PictContacts) of `window` and wires its search
     *  field, its "Voir contacts réalisés" button and "Chercher les doublons". */
    explicit ContactsPanel(MainWindow &window);

    /** Enter in the search field: searches its text, or closes the search when empty. */
    void takeSearchText();
    /** "Voir contacts réalisés": the contacts made with the call sign in the record view. */
    void showContactHistory();
    /** "Chercher les doublons". */
    void findDuplicatePairs();
    /** "Fermer". */
    void closePanel();

    /** What the list shows now. */
    ContactsListKind listKind() const { return m_kind; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void search(const QString &text);
    void runDuplicates();
    void fill(ContactsListKind kind, const std::vector<ContactsLine> &lines);
    void goToLine(int row);
    bool isBusy() const;
    void warn(const QString &text);

    MainWindow &m_window;
    QLineEdit *m_searchText = nullptr; // RechText
    QPushButton *m_closeLogButton = nullptr;
    QLabel *m_caption = nullptr;    // ContactsLab
    QLabel *m_count = nullptr;      // NbreContacts
    QListWidget *m_list = nullptr;  // ContactsListe
    QPushButton *m_close = nullptr; // BtContactsFermer
    ContactsListKind m_kind = ContactsListKind::CallSign;
    // The entry field that had the focus before "Voir contacts réalisés"; the
    // text last searched and the log's count when the list was made (a
    // deletion lowers it).
    QPointer<QWidget> m_entryField;
    QString m_lastSearch;
    std::int32_t m_countAtList = 0;
    bool m_going = false;
};

} // namespace ondelog
