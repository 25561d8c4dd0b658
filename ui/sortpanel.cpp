// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sortpanel.h"

#include "logbook/logfile.h"
#include "maintenance/sort.h"
#include "ui/controls.h"
#include "ui/mainwindow.h"
#include "ui/pause.h"
#include "ui/qtext.h"
#include "ui/waitcursor.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace ondelog {

SortPanel::SortPanel(MainWindow &window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("SortPanel"));
    m_frame = makePanel(QStringLiteral("PictClasser"), &window);
    auto *layout = new QVBoxLayout(m_frame);
    layout->setContentsMargins(14, 8, 14, 10);
    m_caption = new QLabel(QStringLiteral(" QRX ,Je classe !"), m_frame);
    m_caption->setObjectName(QStringLiteral("ClasserLab"));
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    layout->addWidget(m_caption);
    auto *row = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_states[i] = new QLabel(m_frame);
        m_states[i]->setObjectName(QStringLiteral("LabEtat%1").arg(i + 1));
        m_states[i]->setMinimumWidth(
            m_states[i]->fontMetrics().horizontalAdvance(QStringLiteral("Lecture des dates ")));
        row->addWidget(m_states[i]);
    }
    layout->addLayout(row);
    m_frame->hide();
    window.addPanel(m_frame);
}

void SortPanel::sort()
{
    LogFile &log = m_window.logFile();
    // Nor on a log opened for reading, while a change waits for "&Oui" (it names
    // its contact by a record number, which the sort changes) or while a panel
    // (label sheet, merge) works on the log as it stands.
    if (m_sorting || m_window.mode() != WindowMode::List || m_window.isBusy() || !log.isOpen() ||
        log.isReadOnly() || log.recordCount() <= 1)
        return;
    m_sorting = true;
    QPointer<MainWindow> window(&m_window);

    SortOutcome outcome;
    {
        WaitCursor wait;
        m_window.setBusy(true);
        m_window.resetSearch();
        m_frame->show();
        m_caption->setText(QStringLiteral(" QRX ,Je classe !"));
        m_states[0]->setText(QString::number(log.recordCount()));
        m_states[1]->clear();
        m_states[2]->setText(QStringLiteral("1"));
        QApplication::processEvents();

        SortStage shown = SortStage::Reading;
        bool named = false;
        outcome =
            sortLog(log, m_window.stationLocator(), [&](SortStage stage, std::int32_t position) {
                if (!window)
                    return;
                if (!named || stage != shown) {
                    m_states[1]->setText(QString::fromStdString(sortStageNameUtf8(stage)));
                    shown = stage;
                    named = true;
                }
                m_states[2]->setText(QString::number(position));
                QApplication::processEvents();
            });
        if (!window)
            return; // the window went with the program meanwhile
        QApplication::processEvents();
    }
    if (!window || m_window.hasEnded()) {
        if (window)
            m_sorting = false;
        return;
    }

    if (outcome.status != LogStatus::Ok) {
        m_window.showWarning(
            QStringLiteral("Le log n'a pas été classé : il est resté tel qu'il était.\n%1")
                .arg(QString::fromStdString(statusMessageUtf8(outcome.status))));
    }
    if (!window)
        return;
    if (log.isOpen()) {
        m_window.showLastPage();
    }
    if (outcome.status == LogStatus::Ok) {
        m_caption->setText(QStringLiteral(" Terminé "));
        pauseSeconds(1);
        if (!window)
            return;
    }
    m_frame->hide();
    m_window.setBusy(false);
    m_sorting = false;
    if (!log.isOpen())
        m_window.loadLog(); // says why the log cannot be opened again
}

} // namespace ondelog
