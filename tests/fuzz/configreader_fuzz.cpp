// Fuzz target: any bytes as "RozOvo.cfg". Reading never throws or crashes, and a
// configuration accepted is one that can be written and read back unchanged,
// whose log file name stays in the program folder.

#include "fuzzcheck.h"

#include "geo/locator.h"
#include "logbook/fileio.h"
#include "setup/config.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace ondelog;

namespace {

/** The scratch folder of this run, removed at exit. */
struct Scratch
{
    Scratch()
    {
        std::filesystem::create_directories(folder);
        // Nothing here needs to reach the disk.
        fileio::setHook(
            [](fileio::Operation op, long) { return op == fileio::Operation::Sync ? -1 : 0; });
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    // In memory where the system has it: the reader is under test, not the
    // disk, which would make each run wait on the writes of every other.
    // In memory where the system has it: the reader is under test, not the
    // disk, which would make each run wait on the writes of every other.
    const std::filesystem::path folder =
        (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path()) /
        ("ondelog-fuzz-config-" + std::to_string(::getpid()));
    const std::filesystem::path file = folder / kConfigFileName;
};

const std::filesystem::path &configPath()
{
    static const Scratch scratch;
    return scratch.file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::filesystem::path &path = configPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    const ConfigReadResult read = readConfiguration(path);
    FUZZ_CHECK(read.status == ConfigStatus::Ok || read.status == ConfigStatus::Damaged);
    if (read.status != ConfigStatus::Ok)
        return 0;

    const Configuration &config = read.config;
    FUZZ_CHECK(checkConfiguration(config) == ConfigStatus::Ok);
    FUZZ_CHECK(isPlainLogFileName(config.logFileName));
    FUZZ_CHECK(std::filesystem::path(config.logFileName).filename() == config.logFileName);
    FUZZ_CHECK(isLocatorValid(config.stationLocator));
    FUZZ_CHECK(!config.callSign.empty());

    FUZZ_CHECK(writeConfiguration(path, config));
    const ConfigReadResult again = readConfiguration(path);
    FUZZ_CHECK(again.status == ConfigStatus::Ok && again.config == config);
    return 0;
}
