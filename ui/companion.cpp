// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/companion.h"

#include "setup/dataroot.h"
#include "ui/qtext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

namespace ondelog {

namespace {

CompanionStarter g_starter;

QString executableName(const QString &name)
{
#ifdef Q_OS_WIN
    return name + QStringLiteral(".exe");
#else
    return name;
#endif
}

} // namespace

QString companionPath(const QString &name, const std::filesystem::path &programFolder)
{
    const QStringList folders = {QCoreApplication::applicationDirPath(), nativePath(programFolder)};
    for (const QString &folder : folders) {
        const QFileInfo candidate(QDir(folder), executableName(name));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return {};
}

bool startCompanion(QWidget *parent, const QString &name, const std::filesystem::path &dataRoot)
{
    return startProgram(parent, name, programFolder(dataRoot),
                        {QStringLiteral("--root"), nativePath(dataRoot)});
}

bool startProgram(QWidget *parent, const QString &name, const std::filesystem::path &folder,
                  const QStringList &arguments)
{
    const QString program = companionPath(name, folder);
    const QString title = QCoreApplication::applicationName();
    if (program.isEmpty()) {
        QMessageBox::warning(
            parent, title,
            QStringLiteral("Le programme %1 est introuvable, ni à côté de %2 ni "
                           "dans le dossier %3.")
                .arg(executableName(name),
                     QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
                     nativePath(folder)));
        return false;
    }
    const bool started =
        g_starter ? g_starter(program, arguments) : QProcess::startDetached(program, arguments);
    if (!started) {
        QMessageBox::warning(parent, title,
                             QStringLiteral("Le programme %1 n'a pas pu être lancé.")
                                 .arg(QDir::toNativeSeparators(program)));
    }
    return started;
}

void setCompanionStarter(CompanionStarter starter)
{
    g_starter = std::move(starter);
}

} // namespace ondelog
