// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Logs and ADIF files for the interchange tests.

#include "interchange/adiftransfer.h"
#include "logbook/record.h"
#include "tests/logbook/logfixture.h"

#include <string>
#include <vector>

namespace ondelog::test {

inline constexpr const char *kStationLocator = "JN18EU";

/** A log of exactly these records and its end marker. */
inline void writeRecords(const std::filesystem::path &path, const std::vector<QsoRecord> &records)
{
    std::string bytes;
    for (const QsoRecord &r : records)
        bytes += recordBytes(r);
    bytes += recordBytes(QsoRecord::endMarker(kStationLocator));
    writeBytes(path, bytes);
}

/** The contacts of a log, up to its end marker. */
inline std::vector<QsoRecord> readRecords(const std::filesystem::path &path)
{
    const std::string bytes = fileBytes(path);
    std::vector<QsoRecord> records;
    for (std::size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
        QsoRecord r;
        std::copy_n(bytes.data() + at, kRecordSize, r.bytes().data());
        if (r.isEndMarker())
            break;
        records.push_back(r);
    }
    return records;
}

/** A record from the texts of its sixteen fields (INFO whole, 30 characters). */
inline QsoRecord makeRecord(const std::vector<std::string> &fields)
{
    QsoRecord r;
    for (std::size_t i = 0; i < fields.size(); ++i)
        r.setField(static_cast<int>(i) + 1, fields[i]);
    return r;
}

inline ImportResult importInto(const std::filesystem::path &log, const std::filesystem::path &file)
{
    return importAdif(log, file, ImportOptions{kStationLocator, {}});
}

} // namespace ondelog::test
