// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The log list (PictListe): the open log 25 contacts to a page, with its
// title, its scroll bar and its paging controls. Each line carries the number
// of the record it shows, so that picking a line picks that record whatever
// the line says. Which page and which line come next is the core's Pager;
// this panel draws the page it is told to and says which record was picked.

#include "logbook/pager.h"
#include "logbook/record.h"

#include <QFrame>

#include <cstdint>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace ondelog {

class LogFile;

class LogListPanel : public QFrame
{
    Q_OBJECT

  public:
    explicit LogListPanel(LogFile &log, QWidget *parent = nullptr);

    /** PictListLab01: the call sign or the name of the open log. */
    void setTitle(const QString &title);
    /** While contacts are entered the paging controls do nothing, whatever
     *  enables them, and show so. */
    void setPagingInert(bool inert);

    /** Fills the list with page p and sets the paging controls; selects nothing. */
    void showPage(std::int32_t page);
    /** Selects the first or last line of the list (which picks its record). */
    void selectLine(LineChoice line);
    /** The log was just counted: the scroll range and page count follow, then
     *  page `page` (the last page when it lies beyond) is shown with its last
     *  line selected. */
    void showCountedPage(std::int32_t page);
    /** Shows the page of record n and selects its line. */
    void showRecordLine(std::int32_t n);
    /** Draws the page shown again and selects the line of record `keep`;
     *  false when that record is not on the page. */
    bool redrawPage(std::int32_t keep);
    /** The line of record n, when shown, says what `record` holds now. */
    void updateLine(std::int32_t n, const QsoRecord &record);
    /** The log was counted again and nothing on screen may move: the page
     *  count, the scroll range and the paging controls follow, the lines stay. */
    void followCount();
    /** No log: nothing listed, the paging controls off. */
    void clear();
    void focusList();

    std::int32_t currentPage() const { return m_pager.currentPage(); }
    std::int32_t pageCount() const { return m_pager.pageCount(); }

  signals:
    /** The line of record n became the current one. */
    void recordChosen(std::int32_t n);
    /** A click on the line of record n (which may already be the current one). */
    void recordClicked(std::int32_t n);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QWidget *buildPageControls();
    void addLine(std::int32_t recordNo, const QString &line);
    void setPagingButtons();
    void goToPage(std::int32_t page, LineChoice line);
    void onRowChanged(int row);
    void onScrollValueChanged(int value);
    bool handleListKey(int key);
    void takePageBox();
    void fitRows();

    LogFile &m_log;
    Pager m_pager;
    bool m_drawing = false;
    bool m_inert = false;

    QLabel *m_title = nullptr;
    QListWidget *m_list = nullptr; // ListeLog
    QScrollBar *m_scroll = nullptr;
    QPushButton *m_topButton = nullptr;
    QPushButton *m_minusButton = nullptr;
    QPushButton *m_plusButton = nullptr;
    QPushButton *m_bottomButton = nullptr;
    QLineEdit *m_pageBox = nullptr;
};

} // namespace ondelog
