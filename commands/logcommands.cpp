// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/logcommands.h"

#include "interchange/adiftransfer.h"
#include "logbook/logfile.h"
#include "logbook/regularfile.h"
#include "maintenance/autobackup.h"
#include "maintenance/logcopy.h"
#include "setup/config.h"
#include "setup/settings.h"

#include <optional>
#include <system_error>

namespace ondelog {

namespace {

struct OwnLog
{
    Configuration config;
    std::filesystem::path path;
};

CommandOutcome failed(const std::string &message)
{
    return {kExitFailed, {}, message + "\n"};
}

CommandOutcome done(bool ok, const std::string &message)
{
    if (ok)
        return {kExitOk, message + "\n", {}};
    return failed(message);
}

/** The station's own log, as the window finds it at start-up; or why not. */
std::optional<OwnLog> findOwnLog(const std::filesystem::path &programFolder, CommandOutcome &why)
{
    const std::optional<std::filesystem::path> file = findConfigurationFile(programFolder);
    const ConfigReadResult read =
        file ? readConfiguration(*file) : ConfigReadResult{ConfigStatus::Missing, {}};
    switch (read.status) {
    case ConfigStatus::Ok:
        return OwnLog{read.config, programFolder / read.config.logFileName};
    case ConfigStatus::Missing:
        why = failed("Aucune station n'est configurée dans " + programFolder.string() +
                     " : lancez d'abord Ondelog avec sa fenêtre pour donner l'indicatif et le "
                     "locator (ou indiquez le bon dossier avec --root).");
        break;
    case ConfigStatus::Damaged:
        why = failed("Le fichier de configuration " + file->string() +
                     " est endommagé : lancez Ondelog avec sa fenêtre pour le refaire.");
        break;
    case ConfigStatus::ReadFailed:
        why = failed("Le fichier de configuration " + file->string() + " ne peut pas être lu.");
        break;
    }
    return std::nullopt;
}

std::filesystem::path fromArgument(const std::string &argument)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(argument, ec);
    return ec ? std::filesystem::path(argument) : absolute.lexically_normal();
}

CommandOutcome exportLog(const OwnLog &own, const std::string &argument,
                         const CommandContext &context)
{
    std::filesystem::path target = fromArgument(argument);
    // As the window's save dialog does with its default suffix.
    if (!target.has_extension())
        target += ".adi";
    std::error_code ec;
    if (std::filesystem::equivalent(own.path, target, ec))
        return failed("Le fichier choisi est le log lui-même : l'export l'effacerait. "
                      "Choisissez un autre nom.");
    ExportOptions options;
    options.stationCall = own.config.callSign;
    options.createdTimestamp = context.createdTimestampUtc;
    const ExportResult result = exportAdif(own.path, target, adifFormatForPath(target), options);
    return done(result.status == LogStatus::Ok && !result.cancelled,
                exportSummaryUtf8(result, target.filename().string()));
}

CommandOutcome importFile(const OwnLog &own, const std::string &argument)
{
    {
        // The window imports only into a log it could write: a rewrite would
        // replace a read-only file all the same.
        LogFile log;
        const LogStatus status = log.open(own.path);
        if (status != LogStatus::Ok)
            return failed("Le log " + own.path.string() +
                          " ne peut pas être ouvert : " + statusMessageUtf8(status));
        if (log.isReadOnly())
            return failed("Le log " + own.path.string() + " est en lecture seule : " +
                          readOnlyCauseUtf8(log.readOnlyCause()) + " Rien n'a été importé.");
    }
    const std::filesystem::path source = fromArgument(argument);
    // A pipe or a device is there all the same: "introuvable" would send the
    // operator looking for a file that exists.
    if (const LogStatus status = regularFileStatus(source); status == LogStatus::NotFound)
        return failed("Le fichier " + source.string() + " est introuvable : rien n'a été importé.");
    else if (status != LogStatus::Ok)
        return failed("Le fichier " + source.string() +
                      " n'a pas été importé : " + statusMessageUtf8(status));
    ImportOptions options;
    options.stationLocator = own.config.stationLocator;
    const ImportResult result = importAdif(own.path, source, options);
    return done(result.status == LogStatus::Ok && !result.cancelled, importSummaryUtf8(result));
}

CommandOutcome backUp(const OwnLog &own, const std::vector<std::string> &arguments,
                      const CommandContext &context)
{
    const std::filesystem::path folder =
        arguments.empty() ? backupFolder(context.programFolder) : fromArgument(arguments.front());
    const BackupPolicy policy =
        readBackupPolicy(Settings::load(settingsPath(context.programFolder)));
    const HistoryBackupResult result =
        backUpKeepingHistory(own.path, folder, own.config.stationLocator, context.now, policy.keep);
    return done(result.ok(), historyBackupSummaryUtf8(result));
}

CommandOutcome check(const OwnLog &own)
{
    LogFile log;
    const LogStatus status = log.openReadOnly(own.path);
    if (status != LogStatus::Ok)
        return failed("Le log " + own.path.string() +
                      " ne peut pas être lu : " + statusMessageUtf8(status));
    const LogDamage damage = log.inspect();
    const std::int32_t n = log.recordCount();
    const std::string contacts = std::to_string(n) + (n <= 1 ? " contact" : " contacts");
    if (!damage.any())
        return done(true, "Le log " + own.path.string() + " est entier : " + contacts + ".");
    std::string text = "Le log " + own.path.string() + " est endommagé (" + contacts +
                       (n <= 1 ? " lisible" : " lisibles") + ") :\n" + damageListUtf8(damage);
    text.pop_back();
    return failed(text);
}

} // namespace

const std::vector<CommandDescription> &logCommands()
{
    static const std::vector<CommandDescription> commands = {
        {"exporter", "export", "FICHIER.adi|.adx", 1, 1,
         "écrit le log dans un fichier ADIF, texte ou XML"},
        {"importer", "import", "FICHIER.adi|.adx", 1, 1,
         "ajoute au log les contacts nouveaux d'un fichier ADIF"},
        {"sauvegarder", "backup", "[DOSSIER]", 0, 1,
         "sauvegarde le log dans DOSSIER, sinon dans RidEzav"},
        {"verifier", "check", "", 0, 0, "dit si le log est entier et compte ses contacts"},
    };
    return commands;
}

std::string logCommandExitStatuses()
{
    return "Codes de sortie :\n"
           "  0   la commande a réussi (verifier : le log est entier)\n"
           "  1   la commande a échoué et rien n'a été changé (verifier : le log est "
           "endommagé ou illisible)\n"
           "  2   erreur dans la ligne de commande\n"
           "  3   un autre Ondelog travaille déjà sur ce dossier (fenêtre ouverte)\n";
}

bool commandWritesLog(const std::string &command)
{
    return command == "importer";
}

CommandOutcome runLogCommand(const std::string &command, const std::vector<std::string> &arguments,
                             const CommandContext &context)
{
    CommandOutcome why;
    const std::optional<OwnLog> own = findOwnLog(context.programFolder, why);
    if (!own)
        return why;
    if (command == "exporter")
        return exportLog(*own, arguments.at(0), context);
    if (command == "importer")
        return importFile(*own, arguments.at(0));
    if (command == "sauvegarder")
        return backUp(*own, arguments, context);
    if (command == "verifier")
        return check(*own);
    return {kExitUsage, {}, "Commande inconnue « " + command + " ».\n"};
}

} // namespace ondelog
