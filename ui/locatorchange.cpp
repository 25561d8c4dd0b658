// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/locatorchange.h"

#include "ui/changelocatorpanel.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace ondelog {

LocatorChange::LocatorChange(MainWindow &window, RecordPanel &record)
    : QObject(&window), m_window(window), m_record(record), m_panel(new ChangeLocatorPanel(&window))
{
    window.addPanel(m_panel);
    connect(m_panel, &ChangeLocatorPanel::locatorChosen, this,
            [this](const std::string &locator, bool keep) {
                m_window.changeStationLocator(locator, keep);
                close();
                emit changed();
            });
    connect(m_panel, &ChangeLocatorPanel::cancelled, this, &LocatorChange::close);
}

void LocatorChange::open()
{
    if (!m_window.isEntrySession())
        return;
    m_window.withdrawContactHistory();
    m_window.closeContactsList();
    m_focusBefore = QApplication::focusWidget();
    m_panel->begin(m_window.stationLocator());
}

void LocatorChange::cancel()
{
    if (m_panel->isVisible())
        m_panel->cancelButton()->click();
}

void LocatorChange::close()
{
    m_panel->hide();
    if (m_window.callSignInHand().isEmpty())
        m_window.withdrawContactHistory();
    else
        m_window.offerContactHistory();
    m_record.field(16)->setText(toQString(m_window.stationLocator()));
    if (m_focusBefore)
        m_focusBefore->setFocus(Qt::OtherFocusReason);
}

} // namespace ondelog
