// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/duplicates.h"

#include "logbook/record.h"
#include "logbook/recordreader.h"
#include "maintenance/search.h"
#include "text/text.h"

#include <array>
#include <cstring>

namespace ondelog {

namespace {

std::string_view rawField(const char *record, Field f, std::size_t width)
{
    return {record + fieldLayout(f).offset, width};
}

} // namespace

bool isDuplicatePair(const char *first, const char *second)
{
    for (Field f : {Field::CSGN, Field::DQSO, Field::HDEB, Field::HFIN, Field::FREQ}) {
        const FieldLayout &layout = fieldLayout(f);
        if (std::memcmp(first + layout.offset, second + layout.offset, layout.width) != 0)
            return false;
    }
    return true;
}

std::string duplicateLine(std::int32_t first, const char *secondBytes)
{
    std::string description = " ";
    description += rawField(secondBytes, Field::CSGN, 10);
    description += "Le ";
    description += rawField(secondBytes, Field::DQSO, fieldLayout(Field::DQSO).width);
    description += " \xE0 ";
    description += rawField(secondBytes, Field::HDEB, fieldLayout(Field::HDEB).width);
    return contactsNumberField(first) + fixedWidth(description, kContactsDescriptionWidth);
}

DuplicateSearch findDuplicates(const LogFile &log)
{
    DuplicateSearch result;
    if (!log.isOpen()) {
        result.status = LogStatus::NotOpen;
        return result;
    }
    const std::int32_t n = log.recordCount();
    if (n < 2)
        return result;
    RecordReader reader;
    if (const LogStatus s = reader.open(log.path()); s != LogStatus::Ok) {
        result.status = s;
        return result;
    }
    // The previous record is kept across reads: a pair may straddle two of them.
    std::array<char, kRecordSize> previous{};
    result.status = reader.forEach(1, n, [&](std::int32_t r, const char *bytes) {
        if (r > 1 && isDuplicatePair(previous.data(), bytes))
            result.lines.push_back({r - 1, duplicateLine(r - 1, bytes)});
        std::memcpy(previous.data(), bytes, kRecordSize);
    });
    return result;
}

} // namespace ondelog
