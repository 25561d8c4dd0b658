// The main window's paper: the printer, the log sheets and the QSL label
// sheet, wired to the items of the "Imprimer" and "Service QSL" menus.

#include "logbook/loglist.h"
#include "printing/logpage.h"
#include "ui/labelsheetpanel.h"
#include "ui/mainwindow.h"
#include "ui/printjob.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"

#include <QAction>
#include <QFrame>
#include <QLayout>
#include <QMessageBox>

namespace ondelog {

void MainWindow::buildPaperCommands()
{
    // The sheet and its print check take the places kept for them beside the list.
    auto *keptSheet = centralWidget()->findChild<QFrame *>(QStringLiteral("PictFeuilleQSL"));
    auto *keptCheck = centralWidget()->findChild<QFrame *>(QStringLiteral("PictCtrlImpression"));
    m_printJob = new PrintJob(this);
    m_labelSheet = new LabelSheetPanel(*this, *m_printJob, centralWidget());
    if (keptSheet) {
        delete centralWidget()->layout()->replaceWidget(keptSheet, m_labelSheet);
        delete keptSheet;
    }
    if (keptCheck) {
        centralWidget()->layout()->removeWidget(keptCheck);
        delete keptCheck;
    }

    auto item = [this](const char *name) {
        return findChild<QAction *>(QString::fromLatin1(name));
    };
    connect(item("MnuConfigImp"), &QAction::triggered, this, [this] {
        if (!m_entrySession)
            m_printJob->configure();
    });
    connect(item("MnuImpPage"), &QAction::triggered, this, [this] { printLogPage(false); });
    connect(item("MnuImpPageVierge"), &QAction::triggered, this, [this] { printLogPage(true); });
    connect(item("MnuVirginTags"), &QAction::triggered, m_labelSheet, &LabelSheetPanel::printBlank);
    connect(item("MnuGestionFeuilleQSL"), &QAction::triggered, m_labelSheet,
            &LabelSheetPanel::openSheet);
    // The sheet is read once the station's log is open with a contact in it.
    connect(this, &MainWindow::logLoaded, m_labelSheet, [this] {
        if (m_ownLog && m_log.recordCount() > 0)
            m_labelSheet->loadSheet();
    });
}

void MainWindow::printLogPage(bool blank)
{
    if (m_entrySession)
        return;
    LogPageRequest request;
    request.stationCall = m_config.callSign;
    if (!blank) {
        if (!m_logOpen || !m_log.isOpen() || m_log.recordCount() < 1)
            return;
        const std::int32_t page = m_pager.currentPage();
        request.firstRecord = pageRange(page, m_log.recordCount()).first;
        request.pageNumber = page;
        request.read = [this](std::int32_t n) { return m_log.readRecord(n); };
    }
    const QString title =
        blank ? QStringLiteral("Page vierge") : QStringLiteral("Page %1").arg(request.pageNumber);
    const PrintOutcome outcome = m_printJob->run(
        title, [&request](PrintSurface &surface) { ondelog::printLogPage(surface, request); });
    if (outcome == PrintOutcome::Failed)
        showWarning(
            QStringLiteral("La page n'a pas été imprimée : %1").arg(m_printJob->lastError()));
}

} // namespace ondelog
