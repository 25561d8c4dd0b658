// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/loglistpanel.h"

#include "logbook/logfile.h"
#include "logbook/loglist.h"
#include "maintenance/search.h"
#include "text/text.h"
#include "ui/controls.h"
#include "ui/qtext.h"
#include "ui/uppercase.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace ondelog {

namespace {

QFont listFont()
{
    // The list lines are columns of blanks: they only line up in a fixed pitch.
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(10.5);
    return font;
}

} // namespace

LogListPanel::LogListPanel(LogFile &log, QWidget *parent) : QFrame(parent), m_log(log)
{
    setObjectName(QStringLiteral("PictListe"));
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(6);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("PictListLab01"));
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    m_title->setFont(titleFont);
    layout->addWidget(m_title);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListeLog"));
    m_list->setFont(listFont());
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // The log scrolls through VScroll1, a page at a time; the list itself never scrolls.
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QFontMetrics metrics(m_list->font());
    const int frame = m_list->frameWidth() * 2;
    // A page always shows whole: the rows share the list's height (see
    // fitRows), never less than a line of text each. The event filter sees
    // the resize before the viewport follows, hence the list's own height.
    m_list->setProperty("rowHeight", metrics.lineSpacing() + 4);
    m_list->setMinimumHeight((metrics.lineSpacing() + 4) * kLinesPerPage + frame);
    m_list->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_list->setMinimumWidth(
        metrics.horizontalAdvance(QString(int(kListLineWidth) + 1, QLatin1Char('0'))) + frame + 12);
    m_list->installEventFilter(this);

    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setObjectName(QStringLiteral("VScroll1"));
    m_scroll->setRange(0, 0);
    m_scroll->setSingleStep(kLinesPerPage);
    m_scroll->setPageStep(kLinesPerPage);

    auto *listRow = new QHBoxLayout;
    listRow->setSpacing(2);
    listRow->addWidget(m_list, 1);
    listRow->addWidget(m_scroll);
    layout->addLayout(listRow);
    layout->addWidget(buildPageControls());

    connect(m_list, &QListWidget::currentRowChanged, this, &LogListPanel::onRowChanged);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        emit recordClicked(item->data(Qt::UserRole).toInt());
    });
    connect(m_scroll, &QScrollBar::actionTriggered, this, [this] { m_pager.setScrollHasFocus(); });
    connect(m_scroll, &QScrollBar::valueChanged, this, &LogListPanel::onScrollValueChanged);
}

QWidget *LogListPanel::buildPageControls()
{
    QFrame *pagePanel = makePanel(QStringLiteral("PictPage"), this);
    pagePanel->setFrameShape(QFrame::NoFrame);
    auto *pageRow = new QHBoxLayout(pagePanel);
    pageRow->setContentsMargins(0, 2, 0, 0);
    pageRow->setSpacing(6);
    m_topButton = makeButton(QStringLiteral(" début"), QStringLiteral("CmdSensHaut"), pagePanel);
    m_minusButton = makeButton(QStringLiteral("-"), QStringLiteral("CmdPageMoins"), pagePanel);
    m_plusButton = makeButton(QStringLiteral("+"), QStringLiteral("CmdPagePlus"), pagePanel);
    m_bottomButton = makeButton(QStringLiteral("fin"), QStringLiteral("CmdSensBas"), pagePanel);
    for (QPushButton *b : {m_minusButton, m_plusButton})
        b->setFixedWidth(36);
    for (QPushButton *b : {m_topButton, m_bottomButton})
        b->setMinimumWidth(64);
    auto *pageLabel = new QLabel(QStringLiteral("Page N°"), pagePanel);
    pageLabel->setObjectName(QStringLiteral("PageNoLab"));
    m_pageBox = new QLineEdit(QStringLiteral("0000"), pagePanel);
    m_pageBox->setObjectName(QStringLiteral("PageText1"));
    m_pageBox->setMaxLength(4);
    m_pageBox->setAlignment(Qt::AlignCenter);
    m_pageBox->setFixedWidth(m_pageBox->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                             16);
    makeUpperCase(m_pageBox);
    m_pageBox->installEventFilter(this);
    pageRow->addWidget(m_topButton);
    pageRow->addWidget(m_minusButton);
    pageRow->addStretch(1);
    pageRow->addWidget(pageLabel);
    pageRow->addWidget(m_pageBox);
    pageRow->addStretch(1);
    pageRow->addWidget(m_plusButton);
    pageRow->addWidget(m_bottomButton);

    connect(m_topButton, &QPushButton::clicked, this, [this] {
        if (!m_inert)
            goToPage(1, LineChoice::First);
    });
    connect(m_bottomButton, &QPushButton::clicked, this, [this] {
        if (!m_inert)
            goToPage(computePageCount(m_pager.recordCount()), LineChoice::Last);
    });
    connect(m_minusButton, &QPushButton::clicked, this, [this] {
        if (m_inert)
            return;
        if (m_pager.currentPage() > 1)
            showPage(m_pager.currentPage() - 1);
        selectLine(LineChoice::First);
    });
    connect(m_plusButton, &QPushButton::clicked, this, [this] {
        if (m_inert)
            return;
        if (m_pager.currentPage() < m_pager.pageCount())
            goToPage(m_pager.currentPage() + 1, LineChoice::Last);
    });
    return pagePanel;
}

void LogListPanel::setTitle(const QString &title)
{
    m_title->setText(title);
}

void LogListPanel::setPagingInert(bool inert)
{
    m_inert = inert;
    setPagingButtons();
}

void LogListPanel::addLine(std::int32_t recordNo, const QString &line)
{
    auto *item = new QListWidgetItem(line, m_list);
    item->setData(Qt::UserRole, recordNo);
    item->setSizeHint(QSize(0, m_list->property("rowHeight").toInt()));
}

void LogListPanel::showPage(std::int32_t page)
{
    const PageRange range = pageRange(page, m_pager.recordCount());
    m_drawing = true;
    m_list->clear();
    for (std::int32_t r = range.first; r <= range.last; ++r) {
        const std::optional<QsoRecord> record = m_log.readRecord(r);
        if (!record || record->isEndMarker())
            break;
        addLine(r, toQString(listLine(r, *record)));
    }
    m_drawing = false;
    m_pageBox->setText(QString::number(page));
    {
        // The scroll box follows the page; its own handler must not draw it again.
        const QSignalBlocker blocker(m_scroll);
        m_scroll->setValue(m_pager.lastShown(page));
    }
    if (isEnabled())
        m_list->setFocus(Qt::OtherFocusReason);
    m_pager.pageShown(page);
    setPagingButtons();
    // A log of one page has nowhere to scroll to.
    m_scroll->setEnabled(m_pager.pageCount() > 1);
}

void LogListPanel::setPagingButtons()
{
    const PagingButtons enabled =
        pagingButtons(m_pager.currentPage(), m_pager.pageCount(), m_pager.recordCount(), m_inert);
    m_topButton->setEnabled(enabled.top);
    m_minusButton->setEnabled(enabled.minus);
    m_plusButton->setEnabled(enabled.plus);
    m_bottomButton->setEnabled(enabled.bottom);
}

void LogListPanel::selectLine(LineChoice line)
{
    const int count = m_list->count();
    if (count == 0)
        return;
    const int row = line == LineChoice::First ? 0 : count - 1;
    if (m_list->currentRow() == row)
        onRowChanged(row);
    else
        m_list->setCurrentRow(row);
}

void LogListPanel::showCountedPage(std::int32_t page)
{
    followCount();
    showPage(std::clamp(page, 1, m_pager.pageCount()));
    selectLine(LineChoice::Last);
}

void LogListPanel::followCount()
{
    m_pager.setRecordCount(m_log.recordCount());
    {
        const QSignalBlocker blocker(m_scroll);
        m_scroll->setRange(0, m_pager.recordCount());
    }
    setPagingButtons();
    m_scroll->setEnabled(m_pager.pageCount() > 1);
}

void LogListPanel::showRecordLine(std::int32_t n)
{
    const ListPlace place = listPlaceOfRecord(n);
    showPage(place.page);
    QApplication::processEvents();
    const int line = std::min(place.row, m_list->count() - 1);
    if (line >= 0)
        m_list->setCurrentRow(line);
}

bool LogListPanel::redrawPage(std::int32_t keep)
{
    const std::int32_t page = m_pager.currentPage();
    showPage(page);
    const PageRange range = pageRange(page, m_log.recordCount());
    if (keep < range.first || keep > range.last)
        return false;
    m_list->setCurrentRow(keep - range.first);
    return true;
}

void LogListPanel::updateLine(std::int32_t n, const QsoRecord &record)
{
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        if (item->data(Qt::UserRole).toInt() == n) {
            item->setText(toQString(listLine(n, record)));
            return;
        }
    }
}

void LogListPanel::clear()
{
    m_list->clear();
    m_pager.setRecordCount(0);
    setPagingButtons();
}

void LogListPanel::focusList()
{
    m_list->setFocus(Qt::OtherFocusReason);
}

void LogListPanel::goToPage(std::int32_t page, LineChoice line)
{
    showPage(page);
    selectLine(line);
}

void LogListPanel::onRowChanged(int row)
{
    if (m_drawing || row < 0)
        return;
    emit recordChosen(m_list->item(row)->data(Qt::UserRole).toInt());
}

void LogListPanel::onScrollValueChanged(int value)
{
    if (const std::optional<LineChoice> line = m_pager.scrollTo(value))
        goToPage(m_pager.currentPage(), *line);
}

bool LogListPanel::handleListKey(int key)
{
    ListKey listKey = ListKey::Other;
    switch (key) {
    case Qt::Key_PageUp:
        listKey = ListKey::PageUp;
        break;
    case Qt::Key_PageDown:
        listKey = ListKey::PageDown;
        break;
    case Qt::Key_Up:
        listKey = ListKey::Up;
        break;
    case Qt::Key_Down:
        listKey = ListKey::Down;
        break;
    default:
        break;
    }
    const std::optional<std::int32_t> page =
        m_pager.pageForListKey(listKey, m_list->currentRow(), m_scroll->value());
    if (!page)
        return false;
    // Through the scroll bar, whose handler draws the page and picks the line.
    m_scroll->setValue(m_pager.lastShown(*page));
    return true;
}

void LogListPanel::takePageBox()
{
    if (m_inert)
        return;
    const std::int32_t page = m_pager.pageForBox(trim(toCp1252(m_pageBox->text())));
    goToPage(page, LineChoice::Last);
}

void LogListPanel::fitRows()
{
    const QFontMetrics metrics(m_list->font());
    const int rowHeight = std::max(metrics.lineSpacing() + 4,
                                   (m_list->height() - m_list->frameWidth() * 2) / kLinesPerPage);
    if (rowHeight == m_list->property("rowHeight").toInt())
        return;
    m_list->setProperty("rowHeight", rowHeight);
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setSizeHint(QSize(0, rowHeight));
}

bool LogListPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::Resize) {
        fitRows();
    } else if (watched == m_list && event->type() == QEvent::KeyPress) {
        if (handleListKey(static_cast<QKeyEvent *>(event)->key()))
            return true;
    } else if (watched == m_pageBox) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_pageBox->clear();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                takePageBox();
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace ondelog
