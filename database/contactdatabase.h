// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two jobs of the export, on top of the database layer: creating the
// contact database (Fabribase) and copying a log into it (Versabase).

#include "database/database.h"

#include <QString>

#include <cstdint>
#include <filesystem>

namespace ondelog {

struct CreationResult
{
    enum class Outcome
    {
        Created,
        NoEngine,      ///< "Ne peut créer la base"
        OpenFailed,    ///< the engine could not create the file
        TableFailed,   ///< the table could not be built
        ReplaceFailed, ///< the new file could not take the old one's place
    };
    Outcome outcome = Outcome::Created;
    DatabaseError error;
};

/** Creates the contact database at `path`: one table, FicheQSO, with its sixteen
 *  text columns. The database is built under a temporary name in the same folder
 *  and takes the name only once complete, so a file already there (which the
 *  operator agreed to replace) is lost only to a finished database. */
CreationResult createContactDatabase(const QString &path);

/** French sentence for a failed creation of the database `fileTitle`. */
QString creationFailureMessage(const CreationResult &result, const QString &fileTitle);

struct ConversionResult
{
    enum class Outcome
    {
        Converted,
        LogUnreadable,
        NoEngine,
        NotContactDatabase, ///< not a database, or no table FicheQSO with its columns
        WriteFailed,        ///< nothing was written
    };
    Outcome outcome = Outcome::Converted;
    std::int32_t rows = 0;
    DatabaseError error;
};

/** Appends contacts 1..count of the log to the table FicheQSO of the database at
 *  `databasePath`, in record order, stopping early at an end marker. All rows go
 *  in one transaction: after a failure the table is as it was. */
ConversionResult convertLog(const std::filesystem::path &logPath, std::int32_t count,
                            const QString &databasePath);

/** French sentence for a failed conversion, to show in a message box. */
QString conversionFailureMessage(const ConversionResult &result, const QString &databaseTitle);

} // namespace ondelog
