// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fuzz target's own checks: a broken promise aborts, as a crash would, so that
// the driver (or libFuzzer) stops on the input that broke it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

#include "logbook/fileio.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

/**
 * The one file a target feeds its reader, in a scratch folder of its own that
 * goes at exit. In memory where the system has it: the reader is under test,
 * not the disk, which would make each run wait on the writes of every other;
 * for the same reason nothing is synced.
 */
inline const std::filesystem::path &fuzzInputFile(const std::string &target,
                                                  const std::string &fileName)
{
    struct Scratch
    {
        explicit Scratch(const std::filesystem::path &f, const std::string &name)
            : folder(f), file(f / name)
        {
            std::filesystem::create_directories(folder);
            ondelog::fileio::setHook([](ondelog::fileio::Operation op, long) {
                return op == ondelog::fileio::Operation::Sync ? -1 : 0;
            });
        }
        ~Scratch()
        {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
        std::filesystem::path folder;
        std::filesystem::path file;
    };
    static const Scratch scratch((std::filesystem::is_directory("/dev/shm")
                                      ? std::filesystem::path("/dev/shm")
                                      : std::filesystem::temp_directory_path()) /
                                     ("ondelog-fuzz-" + target + "-" + std::to_string(::getpid())),
                                 fileName);
    return scratch.file;
}

/** Writes the input into fuzzInputFile() and returns its path. */
inline const std::filesystem::path &writeFuzzInput(const std::string &target,
                                                   const std::string &fileName,
                                                   const std::uint8_t *data, std::size_t size)
{
    const std::filesystem::path &path = fuzzInputFile(target, fileName);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    return path;
}
