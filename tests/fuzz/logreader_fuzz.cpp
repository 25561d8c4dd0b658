// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: any bytes as a log. Opening, counting, reading, inspecting and
// listing never fail in a way the operator could not recover from, and a
// deletion then an entry always leave a sound log.

#include "fuzzcheck.h"

#include "logbook/logfile.h"
#include "logbook/loglist.h"

#include <cstdint>
#include <filesystem>
#include <string>

using namespace ondelog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::filesystem::path &path = writeFuzzInput("log", "F6FUZ.Ham", data, size);
    LogFile log;
    FUZZ_CHECK(log.open(path) == LogStatus::Ok);
    const std::int32_t n = log.recordCount();
    FUZZ_CHECK(n >= 0 && static_cast<std::size_t>(n) <= size / kRecordSize);

    const LogDamage damage = log.inspect();
    FUZZ_CHECK(damage.missingEndMarker == (!log.endMarkerLocator().has_value() && size > 0));
    FUZZ_CHECK(damage.partialBytes == static_cast<std::int64_t>(size % kRecordSize));
    FUZZ_CHECK(damage.controlRecords <= n);
    FUZZ_CHECK(damageMessageUtf8(damage).empty() == !damage.any());

    for (std::int32_t r = 1; r <= n; ++r) {
        const std::optional<QsoRecord> record = log.readRecord(r);
        FUZZ_CHECK(record.has_value() && !record->isEndMarker());
        const std::string line = listLine(r, *record);
        const std::string number = std::to_string(r) + " ";
        FUZZ_CHECK(line.size() == kListLineWidth && line.compare(0, number.size(), number) == 0);
        for (const char c : line)
            FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    }

    // Whatever the file held, the store leaves it a sound log, and the same size
    // or longer: nothing past the end marker is lost.
    if (n > 0) {
        FUZZ_CHECK(log.deleteRecord(1, "JN18EU") == LogStatus::Ok);
        FUZZ_CHECK(log.recordCount() == n - 1);
        FUZZ_CHECK(std::filesystem::file_size(path) >= size);
    }
    QsoRecord contact;
    contact.setField(Field::CSGN, "F6ABC");
    FUZZ_CHECK(log.appendContact(contact, "JN18EU") == LogStatus::Ok);
    FUZZ_CHECK(log.recordCount() == (n > 0 ? n : 1));
    FUZZ_CHECK(log.readRecord(log.recordCount() + 1)->isEndMarker());
    FUZZ_CHECK(!log.inspect().missingEndMarker);
    return 0;
}
