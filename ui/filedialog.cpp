#include "ui/filedialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace ondelog {

namespace {

QString g_defaultFolder;

// Qt's own dialog takes a name typed into a folder that does not exist; the
// caller would only fail later, when writing. Refuse it here and keep the
// dialog open, as it refuses a missing file to open.
class FileDialog : public QFileDialog
{
  public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        if (acceptMode() == QFileDialog::AcceptSave) {
            const QStringList files = selectedFiles();
            if (!files.isEmpty()) {
                const QFileInfo info(files.first());
                if (!info.isDir() && !info.absoluteDir().exists()) {
                    QMessageBox::warning(this, windowTitle(),
                                         QStringLiteral("Le dossier %1 n'existe pas.")
                                             .arg(QDir::toNativeSeparators(info.absolutePath())));
                    return;
                }
            }
        }
        QFileDialog::accept();
    }
};

} // namespace

void setDefaultFileFolder(const QString &folder)
{
    g_defaultFolder = folder;
}

QString askFileName(QWidget *parent, const FileDialogRequest &request)
{
    FileDialog dialog(parent, request.title);
    dialog.setObjectName(QStringLiteral("AskFileName"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setDirectory(request.initialFolder.isEmpty() ? g_defaultFolder : request.initialFolder);
    if (!request.filter.isEmpty())
        dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.mode == FileDialogMode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.extraPlaces.isEmpty()) {
        QList<QUrl> places = dialog.sidebarUrls();
        for (const QString &place : request.extraPlaces)
            places << QUrl::fromLocalFile(place);
        dialog.setSidebarUrls(places);
    }
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);

    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    // Let the window repaint where the dialog was before the caller starts work.
    QCoreApplication::processEvents();
    return files.isEmpty() ? QString() : files.first();
}

} // namespace ondelog
