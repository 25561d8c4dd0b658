#pragma once
// Where Ondelog finds the companion programs it starts: beside its own
// executable first (where the build and the installation put all four
// programs), then in the program folder.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ondelog {

inline constexpr const char *kHoralinkProgram = "horalink";
inline constexpr const char *kVersabaseProgram = "versabase";

/** The places looked at for `program`, in order: executableFolder/program, then
 *  programFolder/program (each once). */
std::vector<std::filesystem::path>
companionCandidates(const std::string &program, const std::filesystem::path &executableFolder,
                    const std::filesystem::path &programFolder);

/** The first candidate that is a plain file the user may execute. */
std::optional<std::filesystem::path> findCompanion(const std::string &program,
                                                   const std::filesystem::path &executableFolder,
                                                   const std::filesystem::path &programFolder);

} // namespace ondelog
