#include "maintenance/companions.h"

#include <sys/stat.h>
#include <unistd.h>

namespace ondelog {

std::vector<std::filesystem::path>
companionCandidates(const std::string &program, const std::filesystem::path &executableFolder,
                    const std::filesystem::path &programFolder)
{
    std::vector<std::filesystem::path> candidates;
    for (const std::filesystem::path &folder : {executableFolder, programFolder}) {
        if (folder.empty())
            continue;
        const std::filesystem::path candidate = folder / program;
        if (candidates.empty() || candidates.front() != candidate)
            candidates.push_back(candidate);
    }
    return candidates;
}

std::optional<std::filesystem::path> findCompanion(const std::string &program,
                                                   const std::filesystem::path &executableFolder,
                                                   const std::filesystem::path &programFolder)
{
    for (const std::filesystem::path &candidate :
         companionCandidates(program, executableFolder, programFolder)) {
        struct stat st
        {
        };
        // access() says yes to root for any file with one execute bit; a file
        // without any (a stray data file of that name) could never start.
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            (st.st_mode & 0111) != 0 && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

} // namespace ondelog
