// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where Ondelog keeps its files: the data root is "--root DIR" on the command
// line, else $ONDELOG_ROOT, else the home folder; the program folder is the data
// root followed by "Ondelog".

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

inline constexpr const char *kProgramFolderName = "Ondelog";

/** The value of "--root DIR" or "--root=DIR" among the arguments, if given. */
std::optional<std::string> rootOption(int argc, const char *const *argv);

/** Chooses the data root: the option, else the environment value (when not empty),
 *  else the home folder, else the current folder. */
std::filesystem::path resolveDataRoot(const std::optional<std::string> &option,
                                      const std::optional<std::string> &environment,
                                      const std::optional<std::string> &home);

/** The data root for this process (reads ONDELOG_ROOT and HOME/USERPROFILE). */
std::filesystem::path dataRootFromEnvironment(int argc, const char *const *argv);

/** data root / "Ondelog" */
std::filesystem::path programFolder(const std::filesystem::path &dataRoot);

} // namespace ondelog
