// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/contactspanel.h"

#include "maintenance/duplicates.h"
#include "text/text.h"
#include "ui/controls.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"
#include "ui/uppercase.h"
#include "ui/waitcursor.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ondelog {

ContactsPanel::ContactsPanel(MainWindow &window, RecordPanel &record)
    : QObject(&window), m_window(window), m_record(record), m_history(record.searchButton())
{
    setObjectName(QStringLiteral("ContactsPanel"));
    window.addPanel(buildSearchField());
    window.addPanel(buildList());

    connect(m_close, &QPushButton::clicked, this, &ContactsPanel::closePanel);
    connect(m_history, &QPushButton::clicked, this, &ContactsPanel::showContactHistory);
    connect(m_list, &QListWidget::currentRowChanged, this, &ContactsPanel::goToLine);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { goToLine(m_list->row(item)); });

    // The entry field to give the focus back to after "Voir contacts réalisés":
    // the button takes the focus when clicked, so it is known only from before.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        for (int i = 1; i <= RecordPanel::kFieldCount; ++i) {
            if (now && now == m_record.field(i))
                m_entryField = now;
        }
    });
}

QFrame *ContactsPanel::buildSearchField()
{
    m_searchFrame = makePanel(QStringLiteral("PictRech"), &m_window);
    auto *row = new QHBoxLayout(m_searchFrame);
    row->setContentsMargins(14, 8, 14, 8);
    auto *label = new QLabel(QStringLiteral("Rechercher"), m_searchFrame);
    label->setObjectName(QStringLiteral("PictRechLab"));
    m_searchText = new QLineEdit(m_searchFrame);
    m_searchText->setObjectName(QStringLiteral("RechText"));
    m_searchText->setMaxLength(static_cast<int>(fieldLayout(Field::CSGN).width));
    m_searchText->setPlaceholderText(QStringLiteral("indicatif ou date jj/mm/aa"));
    row->addWidget(label);
    row->addWidget(m_searchText, 1);
    makeUpperCase(m_searchText);
    m_searchText->installEventFilter(this);
    return m_searchFrame;
}

QFrame *ContactsPanel::buildList()
{
    m_frame = makePanel(QStringLiteral("PictContacts"), &m_window);
    auto *layout = new QVBoxLayout(m_frame);
    layout->setContentsMargins(14, 8, 14, 10);

    auto *heading = new QHBoxLayout;
    m_count = new QLabel(m_frame);
    m_count->setObjectName(QStringLiteral("NbreContacts"));
    m_caption = new QLabel(QStringLiteral("Contact"), m_frame);
    m_caption->setObjectName(QStringLiteral("ContactsLab"));
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_count->setFont(bold);
    m_caption->setFont(bold);
    m_close = makeButton(QStringLiteral("Fermer"), QStringLiteral("BtContactsFermer"), m_frame);
    heading->addWidget(m_count);
    heading->addWidget(m_caption, 1);
    heading->addWidget(m_close);
    layout->addLayout(heading);

    m_list = new QListWidget(m_frame);
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
    m_frame->hide();
    return m_frame;
}

bool ContactsPanel::isBusy() const
{
    // While a change or a deletion waits for "&Oui", showing another record
    // would make the answer act on that one; while the label sheet holds the
    // record view's place, a record shown or deleted would change under it.
    const WindowMode mode = m_window.mode();
    return mode == WindowMode::Confirmation || mode == WindowMode::Held;
}

bool ContactsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_searchText)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn: {
        // Coming back from another window or a context menu is no new search.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            break;
        m_searchText->clear();
        closeList();
        break;
    }
    case QEvent::MouseButtonPress:
        m_searchText->clear();
        closeList();
        withdrawHistory();
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
    return QObject::eventFilter(watched, event);
}

// --- What the window asks for ----------------------------------------------------

void ContactsPanel::offerHistory()
{
    if (!m_window.callSignInHand().isEmpty())
        m_history->setVisible(m_frame->isHidden());
}

void ContactsPanel::withdrawHistory()
{
    m_history->hide();
}

void ContactsPanel::showList()
{
    m_frame->show();
}

void ContactsPanel::closeList()
{
    m_frame->hide();
    // The buttons a list took away come back with the list gone, whatever
    // closed it (a sort, a new entry, the end of one), not only "Fermer".
    if (m_entryHeld)
        holdEntry(false);
}

void ContactsPanel::showSearchField(bool shown)
{
    m_searchFrame->setVisible(shown);
}

void ContactsPanel::clearSearch()
{
    m_searchText->clear();
}

void ContactsPanel::reset()
{
    closeList();
    if (!m_window.callSignInHand().isEmpty())
        m_history->show();
    showSearchField(true);
}

void ContactsPanel::holdEntry(bool held)
{
    m_entryHeld = held;
    emit entryHeld(held);
}

// --- Commands ----------------------------------------------------------------------

void ContactsPanel::takeSearchText()
{
    const QString text = m_searchText->text().trimmed();
    if (text.isEmpty()) {
        m_searchText->clear();
        if (!m_window.callSignInHand().isEmpty())
            m_history->show();
        m_window.focusList();
        return;
    }
    if (isBusy() || !m_window.logFile().isOpen())
        return;
    search(text);
    showSearchField(false);
    showList();
    // The record shown by the first line is already listed.
    withdrawHistory();
}

void ContactsPanel::showContactHistory()
{
    if (isBusy())
        return;
    QWidget *entryField = m_entryField;
    {
        WaitCursor wait;
        withdrawHistory();
        showSearchField(false);
        QApplication::processEvents();
        m_entryField = entryField;
        const QString call = m_window.callSignInHand();
        if (!call.isEmpty() && m_window.logFile().isOpen())
            search(call);
        else
            fill(ContactsListKind::CallSign, {}); // no list of an earlier search
        showList();
        holdEntry(true);
    }
    if (m_window.isEntrySession() && m_entryField)
        m_entryField->setFocus(Qt::OtherFocusReason);
}

void ContactsPanel::closePanel()
{
    closeList();
    showSearchField(true);
    if (!m_window.callSignInHand().isEmpty())
        m_history->show();
    if (!m_window.isEntrySession()) {
        m_searchText->clear();
        m_window.updateRecordButtons();
        m_window.focusList();
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
        m_givenRecords = false;
        m_countAtList = m_window.logFile().recordCount();
        result = searchLog(m_window.logFile(), toCp1252(text));
    }
    if (result.kind == ContactsListKind::Date) {
        showList();
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
        withdrawHistory();
        // As for a search: the search field goes while its list shows, or the
        // focus could land in it (when the confirmation frame disables the
        // list) and its emptying would close the duplicates.
        showSearchField(false);
        showList();
        QApplication::processEvents();
        m_list->hide();
        m_list->clear();
        m_givenRecords = false;
        m_countAtList = m_window.logFile().recordCount();
        result = findDuplicates(m_window.logFile());
    }
    m_list->show();
    fill(ContactsListKind::Duplicates, result.lines);
    holdEntry(true);
    if (result.status != LogStatus::Ok)
        warn(QStringLiteral("La recherche des doublons n'a pas pu lire tout le log :\n%1")
                 .arg(QString::fromStdString(statusMessageUtf8(result.status))));
}

void ContactsPanel::listRecords(const std::vector<std::int32_t> &recordNos, const QString &caption)
{
    LogFile &log = m_window.logFile();
    // Numbers given before a sort or an import ends would name other contacts after it.
    if (isBusy() || m_window.isBusy() || !log.isOpen())
        return;
    std::vector<ContactsLine> lines;
    {
        WaitCursor wait;
        for (const std::int32_t n : recordNos) {
            if (n < 1 || n > log.recordCount())
                continue;
            if (const std::optional<QsoRecord> record = log.readRecord(n))
                lines.push_back({n, contactsLineWithCallSign(n, *record)});
        }
    }
    m_lastSearch = caption;
    m_givenRecords = true;
    m_countAtList = log.recordCount();
    withdrawHistory();
    showSearchField(false);
    showList();
    fill(ContactsListKind::CallSign, lines);
    m_caption->setText(caption);
}

void ContactsPanel::relistIfShrunk()
{
    if (m_frame->isHidden() || m_window.logFile().recordCount() >= m_countAtList)
        return;
    if (m_givenRecords)
        closePanel(); // who gave the numbers must give them again
    else if (m_kind == ContactsListKind::Duplicates)
        runDuplicates();
    else
        search(m_lastSearch);
}

// --- The list ----------------------------------------------------------------------

void ContactsPanel::fill(ContactsListKind kind, const std::vector<ContactsLine> &lines)
{
    m_kind = kind;
    m_going = true; // the list is being drawn: no line is chosen yet
    m_list->clear();
    for (const ContactsLine &line : lines) {
        auto *item = new QListWidgetItem(toQString(line.text), m_list);
        item->setData(Qt::UserRole, line.recordNo);
    }
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
    const std::int32_t n = m_list->item(row)->data(Qt::UserRole).toInt();
    if (n < 1 || n > m_window.logFile().recordCount())
        return;
    m_going = true;
    m_window.showRecord(n);
    m_going = false;
    if (m_window.isEntrySession() && m_entryField)
        m_entryField->setFocus(Qt::OtherFocusReason);
}

void ContactsPanel::warn(const QString &text)
{
    m_window.showWarning(text);
}

} // namespace ondelog
