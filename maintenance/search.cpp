// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/search.h"

#include "geo/calendar.h"
#include "logbook/recordreader.h"
#include "text/text.h"

#include <limits>

namespace ondelog {

namespace {

bool isDateSeparator(char c)
{
    return c == '/' || c == '.' || c == ':' || c == ' ';
}

std::string_view fieldOf(const char *record, Field f)
{
    const FieldLayout &layout = fieldLayout(f);
    return {record + layout.offset, layout.width};
}

} // namespace

std::optional<std::string> searchDate(std::string_view text)
{
    if (text.size() < 6 || !isDateSeparator(text[2]) || !isDateSeparator(text[5]))
        return std::nullopt;
    return checkDate(text);
}

bool callSignMatches(std::string_view storedCallSign, std::string_view searched)
{
    // Byte by byte, without building a string: this runs on every record.
    const std::string_view c = trimmedView(storedCallSign);
    const std::size_t len = searched.size();
    if (len == 0 || c.size() < len)
        return false;
    if (c.size() > len && c[len] != '/')
        return false;
    for (std::size_t at = 0; at + len <= c.size(); ++at) {
        std::size_t i = 0;
        while (i < len && toUpperCp1252(c[at + i]) == toUpperCp1252(searched[i]))
            ++i;
        if (i == len)
            return true;
    }
    return false;
}

std::string contactsNumberField(std::int32_t recordNo)
{
    // Appended rather than " " + to_string(): g++ 12 warns falsely on that at -O3.
    std::string number = " ";
    number += std::to_string(recordNo);
    if (number.size() < kContactsNumberWidth)
        number.resize(kContactsNumberWidth, ' ');
    return number;
}

namespace {

std::string contactsDescription(const QsoRecord &record)
{
    const std::string description = "Le " + record.field(Field::DQSO) + " \xE0 " +
                                    record.field(Field::HDEB) + " sur " +
                                    record.field(Field::FREQ) + " Mhz";
    return fixedWidth(description, kContactsDescriptionWidth);
}

} // namespace

std::string contactsLine(std::int32_t recordNo, const QsoRecord &record)
{
    return contactsNumberField(recordNo) + contactsDescription(record);
}

std::string contactsLineWithCallSign(std::int32_t recordNo, const QsoRecord &record)
{
    return contactsNumberField(recordNo) +
           fixedWidth(record.field(Field::CSGN), fieldLayout(Field::CSGN).width) + " " +
           contactsDescription(record);
}

ListPlace listPlaceOfRecord(std::int32_t recordNo)
{
    if (recordNo < 1)
        return {};
    ListPlace place;
    place.page = (recordNo - 1) / 25 + 1;
    place.row = (recordNo - 1) % 25;
    return place;
}

std::string contactsCaptionUtf8(ContactsListKind kind, std::int64_t count)
{
    const bool one = count < 2;
    switch (kind) {
    case ContactsListKind::CallSign:
        return one ? "Contact réalisé" : "Contacts réalisés";
    case ContactsListKind::Date:
        return one ? "Contact" : "Contacts";
    case ContactsListKind::Duplicates:
        return one ? "Doublon trouvé" : "Doublons trouvés";
    }
    return {};
}

SearchResult searchLog(const LogFile &log, std::string_view text)
{
    SearchResult result;
    const std::string searched = trim(text);
    if (searched.empty())
        return result;
    if (!log.isOpen()) {
        result.status = LogStatus::NotOpen;
        return result;
    }
    const std::int32_t n = log.recordCount();
    if (n < 1)
        return result;

    RecordReader reader;
    if (const LogStatus s = reader.open(log.path()); s != LogStatus::Ok) {
        result.status = s;
        return result;
    }

    auto addLine = [&](std::int32_t r, const char *bytes) {
        QsoRecord record;
        std::copy(bytes, bytes + kRecordSize, record.bytes().begin());
        result.lines.push_back({r, contactsLine(r, record)});
    };

    if (const std::optional<std::string> date = searchDate(searched)) {
        result.kind = ContactsListKind::Date;
        // Dates hold no letters: the stored date is compared as it stands.
        result.status = reader.forEach(1, n, [&](std::int32_t r, const char *bytes) {
            if (trimmedView(fieldOf(bytes, Field::DQSO)) == *date)
                addLine(r, bytes);
        });
    } else {
        result.kind = ContactsListKind::CallSign;
        const std::string upper = toUpperCp1252(searched);
        result.status = reader.forEach(1, n, [&](std::int32_t r, const char *bytes) {
            if (callSignMatches(fieldOf(bytes, Field::CSGN), upper))
                addLine(r, bytes);
        });
    }
    return result;
}

} // namespace ondelog
