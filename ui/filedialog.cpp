// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/filedialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QStyle>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

namespace ondelog {

namespace {

QString g_defaultFolder;

// Columns of the file list of Qt's dialog.
constexpr int kSizeColumn = 1;
constexpr int kDateColumn = 3;

// Qt's file list writes sizes and dates in the system's language ("660 bytes",
// "8 Dec 2026 11:45:18" under a C locale) whatever the program speaks: they
// are written the French way here, as everything else the operator reads.
class FrenchFileList : public QIdentityProxyModel
{
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files ||
            (index.column() != kSizeColumn && index.column() != kDateColumn))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kSizeColumn)
            return files->isDir(source) ? QString() : frenchFileSize(files->size(source));
        return m_french.toString(files->lastModified(source), QLocale::ShortFormat);
    }

  private:
    QLocale m_french{QLocale::French, QLocale::France};
};

// Room for a header's text, with the style's margins and its sort arrow.
int headerWidth(const QHeaderView *header, const QString &text)
{
    const QStyle *style = header->style();
    return header->fontMetrics().horizontalAdvance(text) +
           2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) +
           style->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + 8;
}

// Qt sizes the list's columns for English headers and American dates; the
// French ones are longer ("Dernière modification"). Each column is widened to
// its header and its longest value, and the dialog to its columns.
void fitColumns(QFileDialog *dialog)
{
    auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!view || !view->model())
        return;
    QHeaderView *header = view->header();
    const QFontMetrics metrics = view->fontMetrics();
    const QLocale french(QLocale::French, QLocale::France);
    // The kinds a log's folder holds: folders, and text files (logs, settings).
    const QString folderKind =
        QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms");
    const QString textKind =
        QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment();
    const QString longest[] = {
        QString(), frenchFileSize(qint64(1023) << 20),
        metrics.horizontalAdvance(textKind) > metrics.horizontalAdvance(folderKind) ? textKind
                                                                                    : folderKind,
        french.toString(QDateTime(QDate(2026, 12, 28), QTime(23, 58)), QLocale::ShortFormat)};
    const int columns = std::min(header->count(), int(std::size(longest)));
    for (int c = 0; c < columns; ++c) {
        const QString title = view->model()->headerData(c, Qt::Horizontal).toString();
        const int needed =
            std::max(headerWidth(header, title), metrics.horizontalAdvance(longest[c]) + 16);
        if (header->sectionSize(c) < needed)
            header->resizeSection(c, needed);
    }
    const int missing = header->length() - view->viewport()->width();
    if (missing > 0)
        dialog->resize(dialog->width() + missing + 4, dialog->height());
}

// Qt's own dialog takes a name typed into a folder that does not exist; the
// caller would only fail later, when writing. Refuse it here and keep the
// dialog open, as it refuses a missing file to open.
class FileDialog : public QFileDialog
{
  public:
    using QFileDialog::QFileDialog;

    void showEvent(QShowEvent *event) override
    {
        QFileDialog::showEvent(event);
        if (!m_fitted) {
            m_fitted = true;
            fitColumns(this);
        }
    }

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

  private:
    bool m_fitted = false;
};

} // namespace

QString frenchFileSize(qint64 bytes)
{
    // Qt writes "1 octets"; and French readers know ko, Mo, Go better than Kio.
    if (bytes < 2)
        return QStringLiteral("%1 octet").arg(bytes);
    return QLocale(QLocale::French, QLocale::France)
        .formattedDataSize(bytes, 2, QLocale::DataSizeTraditionalFormat);
}

void setDefaultFileFolder(const QString &folder)
{
    g_defaultFolder = folder;
}

FileDialogRequest logFileRequest(FileDialogMode mode, const QString &title,
                                 const QString &initialFolder)
{
    FileDialogRequest request;
    request.mode = mode;
    request.title = title;
    request.initialFolder = initialFolder;
    request.defaultSuffix = QStringLiteral("Ham");
    request.filter = QStringLiteral("Fichier (*.Ham)");
    return request;
}

QString askFileName(QWidget *parent, const FileDialogRequest &request)
{
    FileDialog dialog(parent, request.title);
    dialog.setObjectName(QStringLiteral("AskFileName"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setProxyModel(new FrenchFileList(&dialog));
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
