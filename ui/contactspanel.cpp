#include "ui/contactspanel.h"

#include "logbook/loglist.h"
#include "maintenance/duplicates.h"
#include "text/text.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"
#include "ui/uppercase.h"
#include "ui/waitcursor.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace ondelog {

ContactsPanel::ContactsPanel(MainWindow &window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("ContactsPanel"));
    QFrame *frame = m_window.contactsPanel();
    auto *layout = qobject_cast<QVBoxLayout *>(frame->layout());
    layout->setContentsMargins(14, 8, 14, 10);

    auto *heading = new QHBoxLayout;
    m_count = new QLabel(frame);
    m_count->setObjectName(QStringLiteral("NbreContacts"));
    m_caption = new QLabel(QStringLiteral("Contact"), frame);
    m_caption->setObjectName(QStringLiteral("ContactsLab"));
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_count->setFont(bold);
    m_caption->setFont(bold);
    m_close = new QPushButton(QStringLiteral("Fermer"), frame);
    m_close->setObjectName(QStringLiteral("BtContactsFermer"));
    m_close->setAutoDefault(false);
    heading->addWidget(m_count);
    heading->addWidget(m_caption, 1);
    heading->addWidget(m_close);
    layout->addLayout(heading);

    m_list = new QListWidget(frame);
    m_list->setObjectName(QStringLiteral("ContactsListe"));
    // The lines are columns padded with blanks: a fixed pitch keeps them aligned.
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    m_list->setFont(font);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    const QFontMetrics metrics(font);
    m_list->setMinimumWidth(metrics.horizontalAdvance(QString(48, QLatin1Char('0'))) +
                            m_list->frameWidth() * 2 + 24);
    m_list->setMinimumHeight(metrics.lineSpacing() * 6);
    layout->addWidget(m_list);

    m_searchText = m_window.findChild<QLineEdit *>(QStringLiteral("RechText"));
    m_closeLogButton = m_window.findChild<QPushButton *>(QStringLiteral("BtFermerLog"));
    makeUpperCase(m_searchText);
    m_searchText->installEventFilter(this);
    frame->installEventFilter(this);

    connect(m_close, &QPushButton::clicked, this, &ContactsPanel::closePanel);
    connect(m_window.searchButton(), &QPushButton::clicked, this,
            &ContactsPanel::showContactHistory);
    connect(m_list, &QListWidget::currentRowChanged, this, &ContactsPanel::goToLine);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { goToLine(m_list->row(item)); });
    if (auto *duplicates = m_window.findChild<QAction *>(QStringLiteral("MnuDoublons")))
        connect(duplicates, &QAction::triggered, this, &ContactsPanel::findDuplicatePairs);

    // The entry field to give the focus back to after "Voir contacts réalisés":
    // the button takes the focus when clicked, so it is known only from before.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        for (int i = 1; i <= RecordPanel::kFieldCount; ++i) {
            if (now && now == m_window.recordPanel()->field(i))
                m_entryField = now;
        }
    });
    // A deletion confirmed while a list is shown lists it again from the first
    // record: the numbers after the deleted one have moved, and a click on an
    // old line would go to another contact. This runs after the record view's
    // own handling of "&Oui", which was connected first.
    connect(m_window.recordPanel()->yesButton(), &QPushButton::clicked, this, [this] {
        if (m_window.contactsPanel()->isHidden() ||
            m_window.logFile().recordCount() >= m_countAtList)
            return;
        if (m_kind == ContactsListKind::Duplicates)
            runDuplicates();
        else
            search(m_lastSearch);
    });
}

bool ContactsPanel::isBusy() const
{
    // While a change or a deletion waits for "&Oui", showing another record
    // would make the answer act on that one; while the label sheet holds the
    // record view's place, a record shown or deleted would change under it.
    return !m_window.recordPanel()->confirmFrame()->isHidden() ||
           m_window.recordPanel()->isHidden();
}

bool ContactsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window.contactsPanel() && event->type() == QEvent::Hide) {
        // The buttons a list took away come back with the list gone, whatever
        // closed it (a sort, a new entry, the end of one), not only "Fermer".
        m_window.updateRecordButtons();
        if (m_closeLogButton)
            m_closeLogButton->setEnabled(true);
    } else if (watched == m_searchText) {
        switch (event->type()) {
        case QEvent::FocusIn: {
            // Coming back from another window or a context menu is no new search.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                break;
            m_searchText->clear();
            m_window.contactsPanel()->hide();
            break;
        }
        case QEvent::MouseButtonPress:
            m_searchText->clear();
            m_window.contactsPanel()->hide();
            m_window.searchButton()->hide();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                takeSearchText();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ContactsPanel::takeSearchText()
{
    const QString text = m_searchText->text().trimmed();
    if (text.isEmpty()) {
        m_searchText->clear();
        if (!m_window.recordPanel()->field(1)->text().trimmed().isEmpty())
            m_window.searchButton()->show();
        m_window.logList()->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (isBusy() || !m_window.logFile().isOpen())
        return;
    search(text);
    m_window.searchPanel()->hide();
    m_window.contactsPanel()->show();
    // The record shown by the first line is already listed.
    m_window.searchButton()->hide();
}

void ContactsPanel::showContactHistory()
{
    if (isBusy())
        return;
    QWidget *entryField = m_entryField;
    {
        WaitCursor wait;
        m_window.searchButton()->hide();
        m_window.searchPanel()->hide();
        QApplication::processEvents();
        m_entryField = entryField;
        const QString call = m_window.recordPanel()->field(1)->text().trimmed();
        if (!call.isEmpty() && m_window.logFile().isOpen())
            search(call);
        else
            fill(ContactsListKind::CallSign, {}); // no list of an earlier search
        m_window.contactsPanel()->show();
        m_window.updateRecordButtons();
        m_window.newQsoButton()->setEnabled(false);
        if (m_closeLogButton)
            m_closeLogButton->setEnabled(false);
    }
    if (m_window.isEntrySession() && m_entryField)
        m_entryField->setFocus(Qt::OtherFocusReason);
}

void ContactsPanel::closePanel()
{
    m_window.contactsPanel()->hide();
    m_window.searchPanel()->show();
    if (!m_window.recordPanel()->field(1)->text().trimmed().isEmpty())
        m_window.searchButton()->show();
    if (!m_window.isEntrySession()) {
        m_searchText->clear();
        m_window.updateRecordButtons();
        if (m_closeLogButton)
            m_closeLogButton->setEnabled(true);
        m_window.listPanel()->setEnabled(true);
        m_window.logList()->setFocus(Qt::OtherFocusReason);
    } else if (m_entryField) {
        m_entryField->setFocus(Qt::OtherFocusReason);
    }
}

void ContactsPanel::search(const QString &text)
{
    SearchResult result;
    {
        WaitCursor wait;
        m_lastSearch = text;
        m_countAtList = m_window.logFile().recordCount();
        result = searchLog(m_window.logFile(), toCp1252(text));
    }
    if (result.kind == ContactsListKind::Date) {
        m_window.contactsPanel()->show();
        m_close->show();
    }
    fill(result.kind, result.lines);
    if (result.status != LogStatus::Ok)
        warn(QStringLiteral("La recherche n'a pas pu lire tout le log :\n%1")
                 .arg(QString::fromStdString(statusMessageUtf8(result.status))));
}

void ContactsPanel::findDuplicatePairs()
{
    if (m_window.isEntrySession() || isBusy() || !m_window.logFile().isOpen() ||
        m_window.logFile().recordCount() < 2)
        return;
    runDuplicates();
}

void ContactsPanel::runDuplicates()
{
    DuplicateSearch result;
    {
        WaitCursor wait;
        m_window.searchButton()->hide();
        // As for a search: the search field goes while its list shows, or the
        // focus could land in it (when the confirmation frame disables the
        // list) and its emptying would close the duplicates.
        m_window.searchPanel()->hide();
        m_window.contactsPanel()->show();
        QApplication::processEvents();
        m_list->hide();
        m_list->clear();
        m_countAtList = m_window.logFile().recordCount();
        result = findDuplicates(m_window.logFile());
    }
    m_list->show();
    fill(ContactsListKind::Duplicates, result.lines);
    m_window.updateRecordButtons();
    m_window.newQsoButton()->setEnabled(false);
    if (m_closeLogButton)
        m_closeLogButton->setEnabled(false);
    if (result.status != LogStatus::Ok)
        warn(QStringLiteral("La recherche des doublons n'a pas pu lire tout le log :\n%1")
                 .arg(QString::fromStdString(statusMessageUtf8(result.status))));
}

void ContactsPanel::fill(ContactsListKind kind, const std::vector<std::string> &lines)
{
    m_kind = kind;
    m_going = true; // the list is being drawn: no line is chosen yet
    m_list->clear();
    for (const std::string &line : lines)
        m_list->addItem(toQString(line));
    m_going = false;
    m_count->setText(QString::number(lines.size()));
    m_caption->setText(QString::fromStdString(contactsCaptionUtf8(kind, std::ssize(lines))));
    if (!lines.empty()) {
        if (m_list->currentRow() == 0)
            goToLine(0);
        else
            m_list->setCurrentRow(0);
    }
}

void ContactsPanel::goToLine(int row)
{
    if (m_going || row < 0 || row >= m_list->count() || isBusy())
        return;
    const std::int32_t n = recordNoOfContactsLine(toCp1252(m_list->item(row)->text()));
    LogFile &log = m_window.logFile();
    if (n < 1 || n > log.recordCount())
        return;
    m_going = true;
    log.setSelectedRecordNo(n);
    const bool entry = !m_window.recordPanel()->entryPanel()->isHidden();
    QWidget *listPanel = m_window.listPanel();
    const bool listWasEnabled = listPanel->isEnabled();
    if (entry)
        listPanel->setEnabled(true);
    const ListPlace place = listPlaceOfRecord(n);
    m_window.showPage(place.page);
    QApplication::processEvents();
    QListWidget *list = m_window.logList();
    const int line = std::min(place.row, list->count() - 1);
    if (line >= 0)
        list->setCurrentRow(line);
    m_going = false;
    if (entry) {
        listPanel->setEnabled(listWasEnabled);
        if (m_entryField)
            m_entryField->setFocus(Qt::OtherFocusReason);
    } else if (m_window.recordPanel()->displayedRecord() != n) {
        // The line was already the list's current one: show its record all the same.
        m_window.recordPanel()->displayRecord(n);
    }
}

void ContactsPanel::warn(const QString &text)
{
    m_window.showWarning(text);
}

} // namespace ondelog
