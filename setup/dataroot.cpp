// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/dataroot.h"

#include <cstdlib>
#include <system_error>

namespace ondelog {

namespace {

std::optional<std::string> environmentValue(const char *name)
{
    const char *value = std::getenv(name);
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

bool isGiven(const std::optional<std::string> &value)
{
    return value && !value->empty();
}

} // namespace

std::optional<std::string> rootOption(int argc, const char *const *argv)
{
    constexpr std::string_view option = "--root";
    std::optional<std::string> root;
    // The last one wins, as with most command lines, so a wrapper script can
    // prepend a default that the operator's own option still overrides.
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == nullptr)
            continue;
        const std::string_view arg = argv[i];
        if (arg == option) {
            if (i + 1 < argc && argv[i + 1] != nullptr) {
                root = argv[i + 1];
                ++i;
            }
        } else if (arg.size() > option.size() && arg.substr(0, option.size()) == option &&
                   arg[option.size()] == '=') {
            root = std::string(arg.substr(option.size() + 1));
        }
    }
    return root;
}

std::filesystem::path resolveDataRoot(const std::optional<std::string> &option,
                                      const std::optional<std::string> &environment,
                                      const std::optional<std::string> &home)
{
    // An empty value (ONDELOG_ROOT= in a shell) means "not set" rather than the
    // current folder, which would scatter logs wherever the program was started.
    if (isGiven(option))
        return std::filesystem::path(*option);
    if (isGiven(environment))
        return std::filesystem::path(*environment);
    if (isGiven(home))
        return std::filesystem::path(*home);
    return std::filesystem::path(".");
}

std::filesystem::path dataRootFromEnvironment(int argc, const char *const *argv)
{
    std::optional<std::string> home = environmentValue("HOME");
    if (!isGiven(home))
        home = environmentValue("USERPROFILE");
    std::filesystem::path root =
        resolveDataRoot(rootOption(argc, argv), environmentValue("ONDELOG_ROOT"), home);
    // Paths are shown to the operator and kept for later rewrites: make them
    // absolute once, here, so they do not depend on the current folder.
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(root, ec);
    return ec ? root : absolute.lexically_normal();
}

std::filesystem::path programFolder(const std::filesystem::path &dataRoot)
{
    return dataRoot / kProgramFolderName;
}

} // namespace ondelog
