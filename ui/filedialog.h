// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one file dialog of the program, for opening and for saving. It is Qt's own
// dialog rather than the desktop's, so that it behaves the same everywhere and
// tests can drive it; and it speaks French, sizes and dates included, whatever
// the system's language.

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QWidget;

namespace ondelog {

enum class FileDialogMode
{
    Open, ///< the file must exist
    Save, ///< asks before overwriting an existing file
};

struct FileDialogRequest
{
    FileDialogMode mode = FileDialogMode::Open;
    QString title;
    QString initialFolder;   ///< empty: the program folder given to setDefaultFileFolder()
    QString defaultSuffix;   ///< without the dot: "Ham"
    QString filter;          ///< Qt form: "Fichier (*.Ham)"
    QString proposedName;    ///< file name offered in the name box
    QStringList extraPlaces; ///< folders added to the dialog's side bar (removable media)
};

/** The request for a log file (".Ham", the only kind the dialog then lists). */
FileDialogRequest logFileRequest(FileDialogMode mode, const QString &title,
                                 const QString &initialFolder);

/** Shows the dialog modally. The full path chosen, or an empty string when the
 *  operator cancels. The dialog's objectName is "AskFileName". */
QString askFileName(QWidget *parent, const FileDialogRequest &request);

/** A file's size as the dialog shows it: "1 octet", "660 octets", "12,06 ko". */
QString frenchFileSize(qint64 bytes);

/** Folder the dialog opens in when a request names none. */
void setDefaultFileFolder(const QString &folder);

} // namespace ondelog
