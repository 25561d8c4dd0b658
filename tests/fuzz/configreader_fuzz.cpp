// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: any bytes as "RozOvo.cfg". Reading never throws or crashes, and a
// configuration accepted is one that can be written and read back unchanged,
// whose log file name stays in the program folder.

#include "fuzzcheck.h"

#include "geo/locator.h"
#include "setup/config.h"

#include <cstdint>
#include <filesystem>
#include <string>

using namespace ondelog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::filesystem::path &path = writeFuzzInput("config", kConfigFileName, data, size);
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
