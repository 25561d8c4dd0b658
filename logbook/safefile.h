// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One way for every bulk rewrite of a file (deletion, sort, merge, import) to
// replace it whole without ever leaving it half-written: the new content goes
// to a temporary file in the same folder, is synced, then renamed over the
// target, and the folder is synced so that the rename itself survives a crash.

#include "logbook/logfile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace ondelog {

/** Maps an errno value to the log's failure kinds. */
LogStatus statusFromErrno(int error);

/** Waits until the entries of `folder` (a file created or renamed there) reach
 *  the disk. A file system that cannot sync a folder is no failure. */
LogStatus syncFolder(const std::filesystem::path &folder);

class SafeFileWriter
{
  public:
    /** Prepares to replace `target` (which may not exist yet); a symbolic link is
     *  followed, so that the file it points to is the one replaced. Nothing is
     *  written before open(). */
    explicit SafeFileWriter(std::filesystem::path target);
    /** Removes the temporary file unless commit() succeeded: the target is then
     *  exactly as before. */
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter &) = delete;
    SafeFileWriter &operator=(const SafeFileWriter &) = delete;

    /** Creates the temporary file beside the target, with the target's
     *  permissions when it exists. A target that exists but is no regular file
     *  (a folder, a pipe, a device) is refused: NotRegularFile. */
    LogStatus open();
    /** Appends bytes to the temporary file. */
    LogStatus write(const char *data, std::size_t size);
    /** Writes bytes over what the temporary file holds at `offset`, to change
     *  a part already written before the commit. */
    LogStatus writeAt(std::uint64_t offset, const char *data, std::size_t size);
    /** Syncs the temporary file, renames it over the target and syncs the
     *  folder. After a failure the target is untouched. */
    LogStatus commit();

    const std::filesystem::path &temporaryPath() const { return m_temporary; }

    /** Removes the temporary files that rewrites of `target` stopped by a crash
     *  left beside it (beside the file it points to, for a link); returns how
     *  many. Only for a caller that knows no rewrite of `target` is under way
     *  (one Ondelog per folder, at start-up). */
    static int removeLeftovers(const std::filesystem::path &target);
    /** The same for the rewrites of every file of `folder`: only for a folder that
     *  belongs to this program, where nobody else makes hidden files of that shape. */
    static int removeLeftoversIn(const std::filesystem::path &folder);

  private:
    void discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace ondelog
