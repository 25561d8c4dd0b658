// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/adifcommands.h"

#include "ui/filedialog.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/waitcursor.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <limits>
#include <thread>

namespace ondelog {

namespace {

std::uint64_t g_progressThreshold = 3000;
// An ADI contact of a digital-mode program takes about this many bytes.
constexpr std::uint64_t kBytesPerContact = 200;
// A transfer below the threshold shows its progress only if it lasts this long
// (a slow disk, a network folder).
constexpr int kShowProgressAfterMs = 700;
constexpr int kProgressTickMs = 100;

} // namespace

/** What the window's thread and the transfer's thread share. The transfer
 *  only writes the counters and reads the cancellation; the window reads the
 *  counters from a timer. */
struct AdifCommands::Transfer
{
    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0};
    std::thread thread;
    std::unique_ptr<QProgressDialog> dialog;
    std::unique_ptr<WaitCursor> wait;
    QTimer tick;
    std::function<void()> whenDone;
};

AdifCommands::AdifCommands(MainWindow *window) : QObject(window), m_window(window)
{
    // The program ends: a transfer still running stops at its next block.
    connect(window, &MainWindow::programEnded, this, [this] {
        if (m_transfer)
            m_transfer->cancel = true;
    });
}

AdifCommands::~AdifCommands()
{
    if (m_transfer) {
        m_transfer->cancel = true;
        m_transfer->thread.join();
    }
}

void AdifCommands::setProgressThreshold(std::uint64_t contacts)
{
    g_progressThreshold = contacts;
}

void AdifCommands::showSummary(bool failed, const QString &text)
{
    NormalCursor normal;
    QMessageBox box(failed ? QMessageBox::Warning : QMessageBox::Information,
                    QStringLiteral("Ondelog"), text, QMessageBox::Ok, m_window);
    box.setObjectName(QStringLiteral("BilanAdif"));
    box.exec();
}

void AdifCommands::run(const QString &label, std::uint64_t size,
                       std::function<void(const TransferProgress &)> work,
                       std::function<void()> done)
{
    m_transfer = std::make_unique<Transfer>();
    Transfer &t = *m_transfer;
    t.whenDone = std::move(done);
    t.wait = std::make_unique<WaitCursor>();
    m_window->setBusy(true);

    t.dialog =
        std::make_unique<QProgressDialog>(label, QStringLiteral("Annuler"), 0, 1000, m_window);
    t.dialog->setObjectName(QStringLiteral("ProgressionAdif"));
    t.dialog->setWindowTitle(QStringLiteral("Ondelog"));
    // Modal to the window: nothing may write to the log while it is rewritten.
    t.dialog->setWindowModality(Qt::WindowModal);
    t.dialog->setAutoReset(false);
    t.dialog->setAutoClose(false);
    // The dialog shows when told to, not from its own estimate.
    t.dialog->setMinimumDuration(std::numeric_limits<int>::max());
    t.dialog->reset();
    connect(t.dialog.get(), &QProgressDialog::canceled, this, [this] {
        if (m_transfer)
            m_transfer->cancel = true;
    });
    QPointer<QProgressDialog> dialog(t.dialog.get());
    QTimer::singleShot(size > g_progressThreshold ? 0 : kShowProgressAfterMs, t.dialog.get(),
                       [dialog] {
                           if (dialog)
                               dialog->show();
                       });
    t.tick.setInterval(kProgressTickMs);
    connect(&t.tick, &QTimer::timeout, this, &AdifCommands::updateProgress);
    t.tick.start();

    t.thread = std::thread([this, &t, work = std::move(work)] {
        work([&t](std::uint64_t done, std::uint64_t total) {
            t.done = done;
            t.total = total;
            return !t.cancel;
        });
        // Queued to the window's thread; dropped if this object is gone by then.
        QMetaObject::invokeMethod(this, &AdifCommands::end, Qt::QueuedConnection);
    });
}

void AdifCommands::updateProgress()
{
    const std::uint64_t total = m_transfer ? m_transfer->total.load() : 0;
    if (total == 0 || m_updating)
        return;
    // A modal progress dialog runs the window's events inside setValue(),
    // where the end of the transfer may arrive: it waits until setValue() returns.
    m_updating = true;
    m_transfer->dialog->setValue(
        static_cast<int>(std::min<std::uint64_t>(m_transfer->done, total) * 1000 / total));
    m_updating = false;
}

void AdifCommands::end()
{
    if (!m_transfer)
        return;
    if (m_updating) {
        QMetaObject::invokeMethod(this, &AdifCommands::end, Qt::QueuedConnection);
        return;
    }
    m_transfer->thread.join();
    const std::unique_ptr<Transfer> t = std::move(m_transfer);
    t->tick.stop();
    t->dialog.reset();
    t->wait.reset();
    m_window->setBusy(false);
    if (t->whenDone && !m_window->hasEnded())
        t->whenDone();
    emit finished();
}

void AdifCommands::exportLog()
{
    if (isRunning() || !m_window->isLogOpen() || !m_window->logFile().isOpen())
        return;
    const std::filesystem::path logPath = m_window->logFile().path();

    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = QStringLiteral("Exporter en ADIF");
    request.initialFolder = nativePath(m_window->dataRoot());
    request.defaultSuffix = QStringLiteral("adi");
    request.filter = QStringLiteral("ADIF texte (*.adi);;ADIF XML (*.adx)");
    request.proposedName =
        QFileInfo(nativePath(logPath)).completeBaseName() + QStringLiteral(".adi");
    const QString chosen = askFileName(m_window, request);
    if (chosen.isEmpty())
        return;
    const std::filesystem::path target = toPath(chosen);
    std::error_code ec;
    if (std::filesystem::equivalent(logPath, target, ec)) {
        showSummary(true, QStringLiteral("Le fichier choisi est le log lui-même : l'export "
                                         "l'effacerait. Choisissez un autre nom."));
        return;
    }

    ExportOptions options;
    // The configuration's call sign is this station's: another station's
    // log must not go out under it (an upload would credit the wrong one).
    if (m_window->isOwnLog())
        options.stationCall = m_window->stationCall();
    options.createdTimestamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd HHmmss")).toStdString();
    auto result = std::make_shared<ExportResult>();
    const std::string name = QFileInfo(chosen).fileName().toStdString();
    run(
        QStringLiteral("Export ADIF en cours…"),
        static_cast<std::uint64_t>(m_window->logFile().recordCount()),
        [=](const TransferProgress &progress) {
            ExportOptions withProgress = options;
            withProgress.progress = progress;
            *result = exportAdif(logPath, target, adifFormatForPath(target), withProgress);
        },
        [this, result, name] {
            showSummary(result->status != LogStatus::Ok,
                        QString::fromStdString(exportSummaryUtf8(*result, name)));
        });
}

void AdifCommands::importFile()
{
    if (isRunning() || !m_window->isLogOpen() || !m_window->logFile().isOpen())
        return;
    if (!m_window->isOwnLog() || m_window->isEntrySession() ||
        m_window->mode() == WindowMode::Confirmation || m_window->logFile().isReadOnly()) {
        showSummary(true, QStringLiteral("Un fichier ADIF ne s'importe que dans le log de la "
                                         "station, ouvert en écriture, hors saisie d'un contact."));
        return;
    }

    const std::filesystem::path logPath = m_window->logFile().path();

    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.title = QStringLiteral("Importer un fichier ADIF");
    request.initialFolder = nativePath(m_window->dataRoot());
    request.filter = QStringLiteral("ADIF (*.adi *.ADI *.adif *.ADIF *.adx *.ADX);;"
                                    "Tous les fichiers (*)");
    const QString chosen = askFileName(m_window, request);
    if (chosen.isEmpty())
        return;
    const std::filesystem::path source = toPath(chosen);

    ImportOptions options;
    options.stationLocator = m_window->stationLocator();
    auto result = std::make_shared<ImportResult>();
    run(
        QStringLiteral("Import ADIF en cours…"),
        static_cast<std::uint64_t>(QFileInfo(chosen).size()) / kBytesPerContact,
        [=](const TransferProgress &progress) {
            ImportOptions withProgress = options;
            withProgress.progress = progress;
            *result = importAdif(logPath, source, withProgress);
        },
        [this, result] {
            // The log file was replaced by a new one: the window must open that one.
            if (result->changedLog())
                m_window->loadLog();
            showSummary(result->status != LogStatus::Ok,
                        QString::fromStdString(importSummaryUtf8(*result)));
        });
}

} // namespace ondelog
