// SPDX-License-Identifier: GPL-3.0-or-later
#include "interchange/samecontact.h"

#include "interchange/adifmapping.h"
#include "logbook/frequency.h"
#include "text/text.h"

namespace ondelog {

namespace {

// A 64-bit digest keeps an index at a few bytes a contact; two different
// contacts sharing one is a chance of one in 2^64 per pair.
std::uint64_t digest(const QsoRecord &r)
{
    std::uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](std::string_view text) {
        for (char c : text) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ull;
        }
        hash ^= 0x1F;
        hash *= 1099511628211ull;
    };
    mix(toUpperCp1252(r.field(Field::CSGN)));
    mix(r.field(Field::DQSO));
    mix(r.field(Field::HDEB));
    return hash;
}

std::uint8_t band(const QsoRecord &r)
{
    const auto mhz = frequencyMegahertz(r.field(Field::FREQ));
    return static_cast<std::uint8_t>(mhz ? bandNumber(*mhz) : 0);
}

bool bandsAgree(std::uint8_t a, std::uint8_t b)
{
    return a == 0 || b == 0 || a == b;
}

} // namespace

bool isSameContact(const QsoRecord &a, const QsoRecord &b)
{
    return toUpperCp1252(a.field(Field::CSGN)) == toUpperCp1252(b.field(Field::CSGN)) &&
           a.field(Field::DQSO) == b.field(Field::DQSO) &&
           a.field(Field::HDEB) == b.field(Field::HDEB) && bandsAgree(band(a), band(b));
}

void ContactIndex::reserve(std::size_t contacts)
{
    m_last.reserve(contacts);
    m_previous.reserve(contacts);
    m_bands.reserve(contacts);
}

void ContactIndex::add(const QsoRecord &record)
{
    const auto position = static_cast<std::uint32_t>(m_bands.size());
    const auto [it, inserted] = m_last.try_emplace(digest(record), position);
    m_previous.push_back(inserted ? kNone : it->second);
    it->second = position;
    m_bands.push_back(band(record));
}

std::optional<std::uint32_t> ContactIndex::find(const QsoRecord &record) const
{
    const auto it = m_last.find(digest(record));
    if (it == m_last.end())
        return std::nullopt;
    const std::uint8_t wanted = band(record);
    std::optional<std::uint32_t> sameBand, anyBand;
    // Latest first: the last one found of each kind is the first added.
    for (std::uint32_t p = it->second; p != kNone; p = m_previous[p]) {
        if (wanted != 0 && m_bands[p] == wanted)
            sameBand = p;
        else if (bandsAgree(wanted, m_bands[p]))
            anyBand = p;
    }
    return sameBand ? sameBand : anyBand;
}

} // namespace ondelog
