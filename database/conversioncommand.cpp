// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/conversioncommand.h"

#include "database/contactdatabase.h"
#include "dbexport/contacttable.h"
#include "logbook/logfile.h"
#include "logbook/safefile.h"

#include <QCoreApplication>
#include <QFile>

#include <system_error>

namespace ondelog {

namespace {

std::filesystem::path absolutePath(const std::filesystem::path &path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal();
}

CommandOutcome failed(int status, const QString &message)
{
    return {status, {}, message.toStdString() + "\n"};
}

} // namespace

CommandOutcome convertLogCommand(const std::filesystem::path &logArgument,
                                 const std::filesystem::path &baseArgument, bool fresh)
{
    const std::filesystem::path log = absolutePath(logArgument);
    const std::filesystem::path base = absolutePath(baseArgument);
    const QString logName = QFile::decodeName(log.c_str());
    const QString baseName = QFile::decodeName(base.c_str());
    const std::string logTitle = log.filename().string();
    const std::string databaseTitle = base.filename().string();

    const std::string stem = logBaseName(logTitle);
    if (!isExpectedDatabase(databaseTitle, stem))
        return failed(
            kExitUsage,
            QStringLiteral("La base doit porter le nom du log : %1 (majuscules comprises).")
                .arg(QString::fromStdString(expectedDatabaseName(stem))));

    LogFile reader;
    if (const LogStatus status = reader.openReadOnly(log); status != LogStatus::Ok)
        return failed(kExitFailed,
                      QStringLiteral("Le log %1 ne peut pas être lu : %2")
                          .arg(logName, QString::fromStdString(statusMessageUtf8(status))));
    // The window converts nothing of a log without its end marker: it may be cut short.
    if (!reader.endMarkerLocator())
        return failed(kExitFailed,
                      QStringLiteral("Le log %1 n'a pas de fiche de fin : il est peut-être "
                                     "incomplet, il n'est pas converti.")
                          .arg(logName));
    const std::int32_t count = reader.recordCount();
    reader.close();

    // A base made here is built under a name of its own and takes its place
    // only once filled: a failure leaves the folder as it was.
    std::error_code ec;
    const bool create = fresh || !std::filesystem::exists(base, ec);
    const std::filesystem::path target =
        create ? base.parent_path() / ("." + databaseTitle + ".versabase-" +
                                       std::to_string(QCoreApplication::applicationPid()))
               : base;
    const QString targetName = QFile::decodeName(target.c_str());
    auto discard = [&] {
        if (create)
            std::filesystem::remove(target, ec);
    };
    if (create) {
        const CreationResult created = createContactDatabase(targetName);
        if (created.outcome != CreationResult::Outcome::Created) {
            discard();
            return failed(kExitFailed,
                          creationFailureMessage(created, QString::fromStdString(databaseTitle)));
        }
    }
    const ConversionResult result = convertLog(log, count, targetName);
    if (result.outcome != ConversionResult::Outcome::Converted) {
        discard();
        return failed(kExitFailed,
                      conversionFailureMessage(result, QString::fromStdString(databaseTitle)));
    }
    if (create) {
        std::filesystem::rename(target, base, ec);
        if (ec) {
            discard();
            return failed(kExitFailed, QStringLiteral("Le fichier %1 ne peut pas être écrit : %2")
                                           .arg(baseName, QString::fromStdString(statusMessageUtf8(
                                                              statusFromErrno(ec.value())))));
        }
    }
    const QString rows = result.rows <= 1 ? QStringLiteral("%1 contact ajouté").arg(result.rows)
                                          : QStringLiteral("%1 contacts ajoutés").arg(result.rows);
    return {kExitOk,
            QStringLiteral("%1 à la table FicheQSO de %2%3.\n")
                .arg(rows, baseName, create ? QStringLiteral(" (base créée)") : QString())
                .toStdString(),
            {}};
}

std::string conversionExitStatuses()
{
    return "Codes de sortie (avec --log et --base) :\n"
           "  0   le log est converti\n"
           "  1   la conversion a échoué : la base est restée telle qu'elle était\n"
           "  2   erreur dans la ligne de commande (la base doit porter le nom du log)\n"
           "  3   Ondelog est ouvert sur le dossier de données : fermez-le d'abord\n";
}

} // namespace ondelog
