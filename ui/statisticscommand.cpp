// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/statisticscommand.h"

#include "ui/controls.h"
#include "ui/mainwindow.h"
#include "ui/statisticswindow.h"

#include <QAction>
#include <QTimer>

namespace ondelog {

StatisticsCommand::StatisticsCommand(MainWindow &window, QAction *menuItem)
    : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("StatisticsCommand"));
    connect(menuItem, &QAction::triggered, this, &StatisticsCommand::open);
    connect(&window, &MainWindow::logChanged, this, &StatisticsCommand::logChanged);
    connect(&window, &MainWindow::busyChanged, this, &StatisticsCommand::setBusy);
    connect(&window, &MainWindow::stationLocatorChanged, this, &StatisticsCommand::followStation);
    connect(&window, &MainWindow::programEnded, this, [this] {
        if (m_statistics)
            m_statistics->close();
    });
}

StatisticsCommand::~StatisticsCommand() = default;

StatisticsWindow *StatisticsCommand::statisticsWindow() const
{
    return m_statistics;
}

void StatisticsCommand::open()
{
    if (m_statistics) {
        m_statistics->showNormal();
        m_statistics->raise();
        m_statistics->activateWindow();
        return;
    }
    m_statistics = new StatisticsWindow(m_window.logFile(), m_window.stationLocator(), &m_window);
    m_statistics->setAttribute(Qt::WA_DeleteOnClose);
    m_outdated = false;
    connect(m_statistics, &StatisticsWindow::recordsChosen, this, &StatisticsCommand::listRecords);
    m_statistics->setEnabled(!m_window.isBusy());
    m_statistics->show();
}

void StatisticsCommand::logChanged()
{
    m_outdated = true;
    // Told in the middle of the command that writes (a deletion has not yet
    // shown its page, a label sheet writes sixteen contacts in a row): counted
    // once, when it is through.
    if (!m_statistics || m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, &StatisticsCommand::countIfOutdated);
}

void StatisticsCommand::setBusy(bool busy)
{
    if (!m_statistics)
        return;
    // A sort or an import replaces the file under the window: a count then, or
    // records listed by their numbers before the sort, would be wrong.
    m_statistics->setEnabled(!busy);
    if (!busy && m_outdated && !m_scheduled) {
        m_scheduled = true;
        // After the import's end has opened the log it wrote.
        QTimer::singleShot(0, this, &StatisticsCommand::countIfOutdated);
    }
}

void StatisticsCommand::countIfOutdated()
{
    m_scheduled = false;
    if (!m_statistics || m_window.isBusy())
        return;
    followStation(); // another log brings its own station locator
    if (m_outdated) {
        m_outdated = false;
        m_statistics->refresh();
    }
}

void StatisticsCommand::followStation()
{
    if (m_statistics)
        m_statistics->setStationLocator(m_window.stationLocator());
}

void StatisticsCommand::listRecords(const std::vector<std::int32_t> &records, const QString &what)
{
    if (m_outdated) {
        // Clicked before the figures followed a change: its numbers may name
        // other contacts now. The operator clicks again on what is shown then.
        countIfOutdated();
        return;
    }
    switch (m_window.mode()) {
    case WindowMode::Confirmation:
        informationBox(m_statistics,
                       QStringLiteral("Répondez d'abord à la question de la fenêtre principale : "
                                      "ces contacts pourront être listés ensuite."));
        return;
    case WindowMode::Held:
        informationBox(m_statistics,
                       QStringLiteral("Fermez d'abord le panneau ouvert dans la fenêtre principale "
                                      "(étiquettes QSL, jumelage) : ces contacts pourront être "
                                      "listés ensuite."));
        return;
    case WindowMode::List:
    case WindowMode::Entry:
        break;
    }
    m_window.listRecords(records, what);
}

} // namespace ondelog
