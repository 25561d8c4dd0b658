// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a file that someone else named: a file chosen in a dialog (another
// log, a merge source, an ADIF file, a copy's destination) or one of the
// program's own files that anybody may have replaced (the label sheet, the
// configuration). Only a regular file is ever opened. A named pipe would
// block the program in open() or read() for good, and a device may act on
// being opened; both are refused before they are opened, and the opening
// itself never blocks, should one take the file's place in between.

#include "logbook/logfile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <streambuf>
#include <sys/types.h>

namespace ondelog {

struct OpenedFile
{
    int fd = -1;   ///< open on a regular file, or -1
    int error = 0; ///< errno of a failed open(); 0 with fd -1: not a regular file

    LogStatus status() const;
};

/** Opens `path` (symbolic links followed) with `flags` when it is a regular
 *  file, or when it does not exist and O_CREAT asks for it. A folder, a named
 *  pipe, a device or a socket gives NotRegularFile without being opened. Opens
 *  that may write go through fileio::openFile(), so that tests can refuse them.
 *  The caller closes the descriptor. */
OpenedFile openRegularFile(const std::filesystem::path &path, int flags, mode_t mode = 0);

/** NotFound, NotRegularFile or Ok, from what the path names now; for code
 *  that hands the path to a library that opens it (the database driver). */
LogStatus regularFileStatus(const std::filesystem::path &path);

/** A regular file read from start to end as a std::istream, in blocks. */
class RegularFileStream : public std::istream
{
  public:
    /** Called before each block is read with the bytes read so far; returning
     *  false ends the stream there, as if the file ended (a cancelled import). */
    using BlockHook = std::function<bool(std::uint64_t bytesRead)>;

    explicit RegularFileStream(const std::filesystem::path &path, BlockHook hook = {});
    ~RegularFileStream() override;

    /** Ok once open; a read that failed afterwards sets badbit and readError(). */
    LogStatus openStatus() const { return m_openStatus; }
    LogStatus readError() const;
    /** True when the hook ended the stream. */
    bool stopped() const;

  private:
    class Buffer;
    std::unique_ptr<Buffer> m_buffer;
    LogStatus m_openStatus = LogStatus::Ok;
};

/** Test seam: called before every block any RegularFileStream reads, in the
 *  reading thread (a window test makes a file slow with it). An empty function
 *  removes it. Set it only while no stream reads. */
void setFileReadHook(std::function<void()> hook);

} // namespace ondelog
