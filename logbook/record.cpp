// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/record.h"

#include "text/text.h"

#include <algorithm>

namespace ondelog {

namespace {

constexpr std::array<FieldLayout, kFieldCount + 1> kLayout = {{
    {"", 0, 0}, // no field 0: a wrong field number reads and writes nothing
    {"CSGN", 15, 0},
    {"DQSO", 8, 15},
    {"HDEB", 5, 23},
    {"HFIN", 5, 28},
    {"FREQ", 10, 33},
    {"MODE", 5, 43},
    {"SRST", 8, 48},
    {"MRST", 8, 56},
    {"SQTH", 25, 64},
    {"SLOC", 6, 89},
    {"DEPT", 3, 95},
    {"SNOM", 15, 98},
    {"INFO", 30, 113},
    {"MQSL", 8, 143},
    {"SQSL", 8, 151},
    {"MLOC", 6, 159},
}};

static_assert(kLayout[kFieldCount].offset + kLayout[kFieldCount].width == kRecordSize);

constexpr bool layoutIsContiguous()
{
    for (int i = 2; i <= kFieldCount; ++i) {
        if (kLayout[i].offset != kLayout[i - 1].offset + kLayout[i - 1].width)
            return false;
    }
    return true;
}
static_assert(layoutIsContiguous());
static_assert(kLayout[static_cast<int>(Field::INFO)].width == 2 * kInfoPartWidth);

constexpr int kInfo = static_cast<int>(Field::INFO);
constexpr int kRemarksText = 13;
constexpr int kManagerText = 17;

} // namespace

const FieldLayout &fieldLayout(int field)
{
    if (field < 1 || field > kFieldCount)
        return kLayout[0];
    return kLayout[static_cast<std::size_t>(field)];
}

QsoRecord::QsoRecord()
{
    m_bytes.fill(' ');
}

std::string QsoRecord::rawField(int field) const
{
    const FieldLayout &f = fieldLayout(field);
    return std::string(m_bytes.data() + f.offset, f.width);
}

std::string QsoRecord::field(int field) const
{
    const FieldLayout &f = fieldLayout(field);
    return trim(std::string_view(m_bytes.data() + f.offset, f.width));
}

void QsoRecord::setField(int field, std::string_view value)
{
    const FieldLayout &f = fieldLayout(field);
    const std::string stored = fixedWidth(value, f.width);
    std::copy(stored.begin(), stored.end(),
              m_bytes.begin() + static_cast<std::ptrdiff_t>(f.offset));
}

int QsoRecord::blankControlCharacters()
{
    int changed = 0;
    for (char &c : m_bytes) {
        if (isControlByte(c)) {
            c = ' ';
            ++changed;
        }
    }
    return changed;
}

bool QsoRecord::isEndMarker() const
{
    const FieldLayout &f = fieldLayout(Field::CSGN);
    return trim(std::string_view(m_bytes.data() + f.offset, f.width)) == "\\";
}

QsoRecord QsoRecord::endMarker(std::string_view stationLocator)
{
    QsoRecord r;
    r.setField(Field::CSGN, "\\");
    r.setField(Field::MLOC, stationLocator);
    return r;
}

FieldTexts fieldTextsFromRecord(const QsoRecord &record)
{
    FieldTexts texts;
    for (int i = 1; i <= kFieldCount; ++i) {
        if (i != kInfo)
            texts[static_cast<std::size_t>(i)] = record.field(i);
    }
    const std::string info = record.rawField(kInfo);
    texts[0] = info;
    texts[kRemarksText] = trim(std::string_view(info).substr(0, kInfoPartWidth));
    texts[kManagerText] = trim(std::string_view(info).substr(kInfoPartWidth, kInfoPartWidth));
    return texts;
}

QsoRecord recordFromFieldTexts(const FieldTexts &texts)
{
    QsoRecord record;
    for (int i = 1; i <= kFieldCount; ++i)
        record.setField(i, texts[static_cast<std::size_t>(i == kInfo ? 0 : i)]);
    return record;
}

std::string buildInfo(std::string_view remarks, std::string_view manager)
{
    return fixedWidth(remarks, kInfoPartWidth) + fixedWidth(manager, kInfoPartWidth);
}

bool isCallSignStorable(std::string_view callSign)
{
    const std::string trimmed = trim(callSign);
    return trimmed.empty() || trimmed.front() != '\\';
}

} // namespace ondelog
