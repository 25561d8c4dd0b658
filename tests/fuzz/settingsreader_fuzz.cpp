// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: any bytes as "Reglages.ini". Reading never throws or crashes; a
// file rewritten untouched is the same bytes; a value set reads back as set,
// and every other key keeps its value.

#include "fuzzcheck.h"

#include "setup/settings.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace ondelog;

namespace {

std::vector<std::string> keysOf(const std::string &text)
{
    std::vector<std::string> keys;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            keys.push_back(line.substr(0, equals));
        start = end + 1;
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::filesystem::path &path = writeFuzzInput("settings", kSettingsFileName, data, size);
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const Settings read = Settings::load(path);
    FUZZ_CHECK(read.source() == Settings::Source::File);
    FUZZ_CHECK(read.text() == bytes);

    // Every key the file seems to hold (however damaged) and one new one.
    std::vector<std::string> keys = keysOf(bytes);
    keys.push_back("sauvegarde.jours");
    for (const std::string &key : keys) {
        Settings changed = read;
        if (!changed.setValue(key, "12"))
            continue;
        const Settings again = Settings::parse(changed.text());
        FUZZ_CHECK(again.value(key) == std::optional<std::string>("12"));
        FUZZ_CHECK(again.intValue(key, 0, 1, 365) == 12);
        for (const std::string &other : keys)
            if (other != key)
                FUZZ_CHECK(again.value(other) == read.value(other));
    }
    return 0;
}
