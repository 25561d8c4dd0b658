#include "ui/filedialog.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace ondelog {

namespace {
QString g_defaultFolder;
}

void setDefaultFileFolder(const QString &folder)
{
    g_defaultFolder = folder;
}

QString askFileName(QWidget *parent, const FileDialogRequest &request)
{
    QFileDialog dialog(parent, request.title);
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
