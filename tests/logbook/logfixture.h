// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Temporary folders and ready-made logs for the log store tests and benchmarks.

#include "logbook/fileio.h"
#include "logbook/record.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>

namespace ondelog::test {

class TempDir
{
  public:
    TempDir()
    {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() /
                 ("ondelog-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path file(const std::string &name) const { return m_path / name; }

  private:
    std::filesystem::path m_path;
};

/** For tests that write many logs and need not wait for the disk each time:
 *  syncs are skipped while this lives. */
class SkipDiskSyncs
{
  public:
    SkipDiskSyncs()
    {
        fileio::setHook(
            [](fileio::Operation op, long) { return op == fileio::Operation::Sync ? -1 : 0; });
    }
    ~SkipDiskSyncs() { fileio::setHook({}); }
    SkipDiskSyncs(const SkipDiskSyncs &) = delete;
    SkipDiskSyncs &operator=(const SkipDiskSyncs &) = delete;
};

/** A contact that tells its number: call sign "F<i>", and the number again in
 *  the remarks, so any record out of place shows in a comparison. */
inline QsoRecord makeContact(std::int64_t i)
{
    QsoRecord r;
    // Built by appending: "F" + to_string() trips a false -Wrestrict of g++ 12 at
    // -O3, where the benchmarks build this too.
    std::string call = "F";
    call += std::to_string(i);
    std::string remarks = "n";
    remarks += std::to_string(i);
    r.setField(Field::CSGN, call);
    r.setField(Field::DQSO, "01/02/03");
    r.setField(Field::HDEB, "09:05");
    r.setField(Field::HFIN, "09:30");
    r.setField(Field::FREQ, "14.205");
    r.setField(Field::MODE, "SSB");
    r.setField(Field::SRST, "59");
    r.setField(Field::MRST, "57");
    r.setField(Field::SQTH, "Saint-\xC9tienne");
    r.setField(Field::SLOC, "JN25RK");
    r.setField(Field::DEPT, "042");
    r.setField(Field::SNOM, "Fran\xE7ois");
    r.setField(Field::INFO, buildInfo(remarks, "F5XYZ"));
    r.setField(Field::MLOC, "JN18EU");
    return r;
}

inline std::string recordBytes(const QsoRecord &r)
{
    return std::string(r.bytes().begin(), r.bytes().end());
}

/** Writes a log of `count` contacts and its end marker in one go, without the
 *  store, so that big logs cost little to build. */
inline void writeLog(const std::filesystem::path &path, std::int64_t count,
                     const std::string &locator = "JN18EU")
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string chunk;
    for (std::int64_t i = 1; i <= count; ++i) {
        chunk += recordBytes(makeContact(i));
        if (chunk.size() > (1u << 20)) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    chunk += recordBytes(QsoRecord::endMarker(locator));
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

inline std::string fileBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace ondelog::test
