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
    CommandLineVerdict verdict;
    verdict.run = false;
    verdict.exitCode = 2;
    verdict.error = program.program + " : " + what + "\nEssayez « " + program.program +
                    " --help » pour la liste des options.\n";
    return verdict;
}

} // namespace

std::string helpText(const ProgramDescription &program)
{
    std::string text = "Utilisation : " + program.program + " [OPTIONS]\n" + program.title + " — " +
                       program.summary + "\n\nOptions :\n";
    std::vector<std::pair<std::string, std::string>> rows;
    for (const CommandLineOption &option : program.options) {
        std::string left = "  --" + option.name;
        if (!option.valueName.empty())
            left += " " + option.valueName;
        rows.emplace_back(left, option.help);
    }
    rows.emplace_back("  -h, --help", "affiche cette aide et s'arrête");
    rows.emplace_back("  -v, --version", "affiche la version et s'arrête");
    std::size_t width = 0;
    for (const auto &row : rows)
        width = std::max(width, row.first.size());
    for (const auto &[left, help] : rows)
        text += left + std::string(width - left.size() + 3, ' ') + help + "\n";
    return text;
}

CommandLineVerdict checkCommandLine(const ProgramDescription &program, int argc,
                                    const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return {false, 0, helpText(program), {}};
        }
        if (arg == "--version" || arg == "-v") {
            return {false, 0, program.title + " " + program.version + "\n", {}};
        }
        if (arg.size() < 2 || arg[0] != '-')
            return mistake(program, "argument inattendu « " + std::string(arg) + " »");

        const std::string_view body = arg.substr(arg[1] == '-' ? 2 : 1);
        const std::size_t equals = body.find('=');
        const std::string_view name = body.substr(0, equals);
        const bool hasInlineValue = equals != std::string_view::npos;

        const auto own = std::find_if(program.options.begin(), program.options.end(),
                                      [&](const CommandLineOption &o) { return o.name == name; });
        const bool doubleDash = arg[1] == '-';
        bool takesValue = false;
        if (own != program.options.end() && doubleDash) {
            takesValue = !own->valueName.empty();
            if (!takesValue && hasInlineValue)
                return mistake(program,
                               "l'option « --" + std::string(name) + " » ne prend pas de valeur");
        } else if (isOneOf(name, kQtOptionsWithValue)) {
            takesValue = !isOneOf(name, kQtFlags) || hasInlineValue;
        } else if (!isOneOf(name, kQtFlags)) {
            return mistake(program, "option inconnue « " + std::string(arg) + " »");
        }
        if (takesValue && !hasInlineValue) {
            if (i + 1 >= argc)
                return mistake(program, "l'option « " + std::string(arg) + " » attend une valeur");
            ++i;
        }
    }
    return {};
}

} // namespace ondelog
