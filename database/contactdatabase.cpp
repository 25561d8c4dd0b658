// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/contactdatabase.h"

#include "dbexport/contacttable.h"
#include "logbook/recordreader.h"
#include "logbook/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace ondelog {

namespace {

std::filesystem::path toPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QStringList contactColumnNames()
{
    QStringList names;
    for (const TableColumn &column : contactTableColumns())
        names << QString::fromLatin1(column.name);
    return names;
}

DatabaseError errnoError(int error)
{
    return {error, QString::fromStdString(statusMessageUtf8(statusFromErrno(error)))};
}

} // namespace

CreationResult createContactDatabase(const QString &path)
{
    CreationResult result;
    const QFileInfo target(path);
    // An empty reserved file: SQLite takes a file of no bytes as an empty database.
    QTemporaryFile reserved(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                            QStringLiteral(".XXXXXX"));
    if (!reserved.open()) {
        result.outcome = CreationResult::Outcome::OpenFailed;
        result.error = errnoError(errno ? errno : EIO);
        return result;
    }
    reserved.close();
    const QString building = reserved.fileName();

    {
        Database database;
        switch (database.create(building)) {
        case Database::Outcome::Ok:
            break;
        case Database::Outcome::NoEngine:
            result.outcome = CreationResult::Outcome::NoEngine;
            return result;
        case Database::Outcome::Failed:
            result.outcome = CreationResult::Outcome::OpenFailed;
            result.error = database.lastError();
            return result;
        }
        TableDefinition table;
        for (const TableColumn &column : contactTableColumns())
            table.appendField({QString::fromLatin1(column.name), column.size});
        table.setName(QString::fromLatin1(kContactTableName));
        if (!database.appendTable(table)) {
            result.outcome = CreationResult::Outcome::TableFailed;
            result.error = database.lastError();
            return result;
        }
        database.close();
    }

    // A journal left beside the old file by a crash would be played back into
    // the new database at its first opening.
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(target.absoluteFilePath() + QLatin1String(suffix));
    // The reserved file was made private to its owner; the database gets the
    // permissions of the file it replaces, or those of any new file.
    std::error_code ec;
    namespace fs = std::filesystem;
    fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                      fs::perms::group_write | fs::perms::others_read | fs::perms::others_write;
    if (target.exists()) {
        perms = fs::status(toPath(target.absoluteFilePath()), ec).permissions();
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        perms &= ~static_cast<fs::perms>(mask);
    }
    fs::permissions(toPath(building), perms, ec);
    std::filesystem::rename(toPath(building), toPath(target.absoluteFilePath()), ec);
    if (ec) {
        result.outcome = CreationResult::Outcome::ReplaceFailed;
        result.error = errnoError(ec.value());
        return result;
    }
    reserved.setAutoRemove(false);
    return result;
}

QString creationFailureMessage(const CreationResult &result, const QString &fileTitle)
{
    switch (result.outcome) {
    case CreationResult::Outcome::Created:
        return {};
    case CreationResult::Outcome::NoEngine:
        return QStringLiteral("Ne peut créer la base");
    case CreationResult::Outcome::OpenFailed:
        return QString::fromStdString(
            openErrorMessageUtf8(result.error.number, result.error.description.toStdString()));
    case CreationResult::Outcome::TableFailed:
        return QStringLiteral("Erreur à la création de la table %1 : %2)%3)")
            .arg(QLatin1String(kContactTableName))
            .arg(result.error.number)
            .arg(result.error.description);
    case CreationResult::Outcome::ReplaceFailed:
        return QStringLiteral("Le fichier %1 ne peut pas être remplacé : %2")
            .arg(fileTitle, result.error.description);
    }
    return {};
}

ConversionResult convertLog(const std::filesystem::path &logPath, std::int32_t count,
                            const QString &databasePath)
{
    ConversionResult result;
    RecordReader reader;
    if (const LogStatus status = reader.open(logPath); status != LogStatus::Ok) {
        result.outcome = ConversionResult::Outcome::LogUnreadable;
        result.error = {0, QString::fromStdString(statusMessageUtf8(status))};
        return result;
    }

    Database database;
    switch (database.open(databasePath)) {
    case Database::Outcome::Ok:
        break;
    case Database::Outcome::NoEngine:
        result.outcome = ConversionResult::Outcome::NoEngine;
        return result;
    case Database::Outcome::Failed:
        result.outcome = ConversionResult::Outcome::NotContactDatabase;
        result.error = database.lastError();
        return result;
    }
    const QStringList names = contactColumnNames();
    const QStringList present = database.columns(QString::fromLatin1(kContactTableName));
    for (const QString &name : names) {
        if (!present.contains(name)) {
            result.outcome = ConversionResult::Outcome::NotContactDatabase;
            return result;
        }
    }

    auto writeFailed = [&] {
        result.outcome = ConversionResult::Outcome::WriteFailed;
        result.error = database.lastError();
        result.rows = 0;
        return result;
    };
    Recordset rows(database);
    if (!rows.open(QString::fromLatin1(kContactTableName), names) || !database.beginTransaction())
        return writeFailed();

    QsoRecord record;
    RowValues values;
    bool written = true;
    std::int32_t left = count;
    const LogStatus read = count < 1 ? LogStatus::Ok : reader.scan([&](const char *bytes) {
        if (left-- == 0)
            return false;
        std::copy_n(bytes, kRecordSize, record.bytes().data());
        if (record.isEndMarker())
            return false;
        values.assign(record);
        rows.addNew();
        for (int k = 0; k < kFieldCount; ++k)
            rows.setValue(k, values.value(k));
        if (!rows.update()) {
            written = false;
            return false;
        }
        ++result.rows;
        return true;
    });
    if (!written) {
        rows.close();
        database.rollback();
        return writeFailed();
    }
    if (read != LogStatus::Ok) {
        rows.close();
        database.rollback();
        result.outcome = ConversionResult::Outcome::LogUnreadable;
        result.error = {0, QString::fromStdString(statusMessageUtf8(read))};
        result.rows = 0;
        return result;
    }
    if (!rows.flush()) {
        rows.close();
        database.rollback();
        return writeFailed();
    }
    rows.close();
    if (!database.commit()) {
        database.rollback();
        return writeFailed();
    }
    return result;
}

QString conversionFailureMessage(const ConversionResult &result, const QString &databaseTitle)
{
    const QString cause =
        result.error.description.isEmpty()
            ? QString()
            : QStringLiteral(" (%1 : %2)").arg(result.error.number).arg(result.error.description);
    switch (result.outcome) {
    case ConversionResult::Outcome::Converted:
        return {};
    case ConversionResult::Outcome::LogUnreadable:
        return QStringLiteral("Le log ne peut pas être lu : %1").arg(result.error.description);
    case ConversionResult::Outcome::NoEngine:
        return QStringLiteral("Le moteur de base de données (pilote SQLite de Qt) n'est pas "
                              "installé : rien n'a été converti.");
    case ConversionResult::Outcome::NotContactDatabase:
        return QStringLiteral("Le fichier %1 n'est pas une base créée par Fabribase (table "
                              "FicheQSO)%2. Rien n'a été converti.")
            .arg(databaseTitle, cause);
    case ConversionResult::Outcome::WriteFailed:
        return QStringLiteral("L'écriture dans %1 a échoué%2. Aucune fiche n'a été ajoutée.")
            .arg(databaseTitle, cause);
    }
    return {};
}

} // namespace ondelog
