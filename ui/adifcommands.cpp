#include "ui/adifcommands.h"

#include "interchange/adiftransfer.h"
#include "ui/filedialog.h"
#include "ui/mainwindow.h"
#include "ui/recordpanel.h"
#include "ui/waitcursor.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMessageBox>
#include <QProgressDialog>

#include <memory>

namespace ondelog {

namespace {

std::uint64_t g_progressThreshold = 3000;
// An ADI contact of a digital-mode program takes about this many bytes.
constexpr std::uint64_t kBytesPerContact = 200;

QString nativePath(const std::filesystem::path &path)
{
    return QDir::toNativeSeparators(QFile::decodeName(path.string().c_str()));
}

std::filesystem::path toPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

/** A progress dialog when the work is big enough to need one, else nothing:
 *  then the window does not run its events in the middle of the work. */
class Progress
{
  public:
    Progress(QWidget *parent, const QString &label, std::uint64_t size, std::uint64_t threshold)
    {
        if (size <= threshold)
            return;
        m_dialog =
            std::make_unique<QProgressDialog>(label, QStringLiteral("Annuler"), 0, 1000, parent);
        m_dialog->setObjectName(QStringLiteral("ProgressionAdif"));
        m_dialog->setWindowTitle(QStringLiteral("Ondelog"));
        // Modal: nothing may write to the log while it is being rewritten.
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->setValue(0);
    }

    TransferProgress callback()
    {
        if (!m_dialog)
            return {};
        return [this](std::uint64_t done, std::uint64_t total) {
            if (total > 0)
                m_dialog->setValue(
                    static_cast<int>(std::min<std::uint64_t>(done, total) * 1000 / total));
            QApplication::processEvents();
            return !m_dialog->wasCanceled();
        };
    }

  private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace

AdifCommands::AdifCommands(MainWindow *window) : QObject(window), m_window(window) {}

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

void AdifCommands::exportLog()
{
    if (!m_window->isLogOpen() || !m_window->logFile().isOpen())
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

    ExportResult result;
    {
        WaitCursor wait;
        Progress progress(m_window, QStringLiteral("Export ADIF en cours…"),
                          static_cast<std::uint64_t>(m_window->logFile().recordCount()),
                          g_progressThreshold);
        ExportOptions options;
        // The configuration's call sign is this station's: another station's
        // log must not go out under it (an upload would credit the wrong one).
        if (m_window->isOwnLog())
            options.stationCall = m_window->stationCall();
        options.createdTimestamp = QDateTime::currentDateTimeUtc()
                                       .toString(QStringLiteral("yyyyMMdd HHmmss"))
                                       .toStdString();
        options.progress = progress.callback();
        result = exportAdif(logPath, target, adifFormatForPath(target), options);
    }
    const std::string name = QFileInfo(chosen).fileName().toStdString();
    showSummary(result.status != LogStatus::Ok,
                QString::fromStdString(exportSummaryUtf8(result, name)));
}

void AdifCommands::importFile()
{
    if (!m_window->isLogOpen() || !m_window->logFile().isOpen())
        return;
    if (!m_window->isOwnLog() || m_window->isEntrySession() ||
        !m_window->recordPanel()->confirmFrame()->isHidden() || m_window->logFile().isReadOnly()) {
        showSummary(true, QStringLiteral("Un fichier ADIF ne s'importe que dans le log de la "
                                         "station, ouvert en écriture, hors saisie d'un contact."));
        return;
    }

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

    ImportResult result;
    {
        WaitCursor wait;
        Progress progress(m_window, QStringLiteral("Import ADIF en cours…"),
                          static_cast<std::uint64_t>(QFileInfo(chosen).size()) / kBytesPerContact,
                          g_progressThreshold);
        ImportOptions options;
        options.stationLocator = m_window->stationLocator();
        options.progress = progress.callback();
        result = importAdif(m_window->logFile(), source, options);
    }
    // The log file was replaced by a new one: the window must open that one.
    if (result.changedLog())
        m_window->loadLog();
    showSummary(result.status != LogStatus::Ok, QString::fromStdString(importSummaryUtf8(result)));
}

} // namespace ondelog
