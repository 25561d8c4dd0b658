// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/commandline.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace ondelog {

namespace {

// Options QGuiApplication and QApplication read and remove themselves. They
// reach us first, so they must not be taken for mistakes.
constexpr std::array<std::string_view, 15> kQtOptionsWithValue = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "name",          "title",  "qmljsdebugger"};
constexpr std::array<std::string_view, 6> kQtFlags = {"reverse", "widgetcount", "nograb",
                                                      "dograb",  "sync",        "qmljsdebugger"};

bool isOneOf(std::string_view name, auto const &names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

CommandLineVerdict mistake(const ProgramDescription &program, const std::string &what)
{
    CommandLineVerdict verdict{};
    verdict.run = false;
    verdict.exitCode = 2;
    verdict.error = program.program + " : " + what + "\nEssayez « " + program.program +
                    " --help » pour la liste des options.\n";
    return verdict;
}

} // namespace

std::string helpText(const ProgramDescription &program)
{
    const bool hasCommands = !program.commands.empty();
    std::string text = "Utilisation : " + program.program + " [OPTIONS]" +
                       (hasCommands ? " [COMMANDE]" : "") + "\n" + program.title + " — " +
                       program.summary + "\n";
    // One column for the help of commands and options alike.
    std::vector<std::pair<std::string, std::string>> commands;
    for (const CommandDescription &command : program.commands) {
        std::string left = "  " + command.name;
        if (!command.arguments.empty())
            left += " " + command.arguments;
        std::string help = command.help;
        if (!command.alias.empty())
            help += " (" + command.alias + ")";
        commands.emplace_back(left, help);
    }
    std::vector<std::pair<std::string, std::string>> options;
    for (const CommandLineOption &option : program.options) {
        std::string left = "  --" + option.name;
        if (!option.valueName.empty())
            left += " " + option.valueName;
        options.emplace_back(left, option.help);
    }
    options.emplace_back("  -h, --help", "affiche cette aide et s'arrête");
    options.emplace_back("  -v, --version", "affiche la version et s'arrête");
    std::size_t width = 0;
    for (const auto *rows : {&commands, &options})
        for (const auto &row : *rows)
            width = std::max(width, row.first.size());
    auto section = [&text, width](const char *title, const auto &rows) {
        if (rows.empty())
            return;
        text += std::string("\n") + title + "\n";
        for (const auto &[left, help] : rows)
            text += left + std::string(width - left.size() + 3, ' ') + help + "\n";
    };
    section("Commandes (sans fenêtre) :", commands);
    section("Options :", options);
    if (!program.exitStatuses.empty())
        text += "\n" + program.exitStatuses;
    return text;
}

std::optional<std::string> CommandLineVerdict::value(std::string_view name) const
{
    const auto found = std::find_if(values.rbegin(), values.rend(),
                                    [name](const auto &value) { return value.first == name; });
    if (found == values.rend())
        return std::nullopt;
    return found->second;
}

bool CommandLineVerdict::hasFlag(std::string_view name) const
{
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

CommandLineVerdict checkCommandLine(const ProgramDescription &program, int argc,
                                    const char *const *argv)
{
    CommandLineVerdict verdict;
    const CommandDescription *command = nullptr;
    bool optionsEnded = false;
    auto takeWord = [&](std::string_view word) -> std::optional<CommandLineVerdict> {
        if (command == nullptr) {
            const auto found = std::find_if(
                program.commands.begin(), program.commands.end(),
                [word](const CommandDescription &c) { return c.name == word || c.alias == word; });
            if (found == program.commands.end())
                return program.commands.empty()
                           ? mistake(program, "argument inattendu « " + std::string(word) + " »")
                           : mistake(program, "commande inconnue « " + std::string(word) + " »");
            command = &*found;
            verdict.command = command->name;
        } else if (static_cast<int>(verdict.arguments.size()) < command->maxArguments) {
            verdict.arguments.emplace_back(word);
        } else {
            return mistake(program, "argument inattendu « " + std::string(word) + " »");
        }
        return std::nullopt;
    };

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (std::optional<CommandLineVerdict> wrong = takeWord(arg))
                return *wrong;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            return {false, 0, helpText(program), {}, {}, {}};
        }
        if (arg == "--version" || arg == "-v") {
            return {false, 0, program.title + " " + program.version + "\n", {}, {}, {}};
        }

        const std::string_view body = arg.substr(arg[1] == '-' ? 2 : 1);
        const std::size_t equals = body.find('=');
        const std::string_view name = body.substr(0, equals);
        const bool hasInlineValue = equals != std::string_view::npos;

        const auto own = std::find_if(program.options.begin(), program.options.end(),
                                      [&](const CommandLineOption &o) { return o.name == name; });
        const bool doubleDash = arg[1] == '-';
        const bool isOwn = own != program.options.end() && doubleDash;
        bool takesValue = false;
        if (isOwn) {
            takesValue = !own->valueName.empty();
            if (!takesValue && hasInlineValue)
                return mistake(program,
                               "l'option « --" + std::string(name) + " » ne prend pas de valeur");
        } else if (isOneOf(name, kQtOptionsWithValue)) {
            takesValue = !isOneOf(name, kQtFlags) || hasInlineValue;
        } else if (!isOneOf(name, kQtFlags)) {
            return mistake(program, "option inconnue « " + std::string(arg) + " »");
        }
        std::string value;
        if (takesValue && !hasInlineValue) {
            if (i + 1 >= argc)
                return mistake(program, "l'option « " + std::string(arg) + " » attend une valeur");
            value = argv[++i];
        } else if (hasInlineValue) {
            value = std::string(body.substr(equals + 1));
        }
        if (isOwn && takesValue)
            verdict.values.emplace_back(std::string(name), value);
        else if (isOwn)
            verdict.flags.emplace_back(name);
    }
    if (command != nullptr && static_cast<int>(verdict.arguments.size()) < command->minArguments)
        return mistake(program,
                       "la commande « " + command->name + " » attend " + command->arguments);
    return verdict;
}

} // namespace ondelog
