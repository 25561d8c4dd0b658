// SPDX-License-Identifier: GPL-3.0-or-later
#include "dbexport/contacttable.h"

#include "text/text.h"

namespace ondelog {

namespace {

std::array<TableColumn, kFieldCount> makeColumns()
{
    // The record's layout is the one source of the names and widths: a column
    // can never be narrower than the field it receives.
    std::array<TableColumn, kFieldCount> columns{};
    for (int k = 0; k < kFieldCount; ++k) {
        const FieldLayout &f = fieldLayout(k + 1);
        columns[k] = {f.code, static_cast<int>(f.width)};
    }
    return columns;
}

struct Utf8Char
{
    unsigned char size;
    char bytes[3];
};

// UTF-8 of each Windows-1252 byte, worked out once.
std::array<Utf8Char, 256> makeUtf8Table()
{
    std::array<Utf8Char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char32_t c = codePointFromCp1252(static_cast<char>(b));
        Utf8Char &u = table[b];
        if (c < 0x80) {
            u = {1, {static_cast<char>(c), 0, 0}};
        } else if (c < 0x800) {
            u = {2, {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F)), 0}};
        } else {
            u = {3,
                 {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (c & 0x3F))}};
        }
    }
    return table;
}

} // namespace

const std::array<TableColumn, kFieldCount> &contactTableColumns()
{
    static const std::array<TableColumn, kFieldCount> columns = makeColumns();
    return columns;
}

void RowValues::assign(const QsoRecord &record)
{
    static const std::array<Utf8Char, 256> utf8 = makeUtf8Table();
    const char *bytes = record.bytes().data();
    char *out = m_text.data();
    for (int k = 0; k < kFieldCount; ++k) {
        const FieldLayout &f = fieldLayout(k + 1);
        m_offsets[k] = static_cast<std::uint16_t>(out - m_text.data());
        for (std::size_t i = f.offset; i < f.offset + f.width; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (byte < 0x80) {
                *out++ = static_cast<char>(byte);
            } else {
                const Utf8Char &u = utf8[byte];
                for (unsigned j = 0; j < u.size; ++j)
                    *out++ = u.bytes[j];
            }
        }
    }
    m_offsets[kFieldCount] = static_cast<std::uint16_t>(out - m_text.data());
}

std::string logBaseName(std::string_view fileTitleUtf8)
{
    std::size_t end = fileTitleUtf8.size();
    for (int dropped = 0; dropped < 4 && end > 0; ++dropped) {
        --end;
        // Step back over UTF-8 continuation bytes to the start of the character.
        while (end > 0 && (static_cast<unsigned char>(fileTitleUtf8[end]) & 0xC0) == 0x80)
            --end;
    }
    return std::string(fileTitleUtf8.substr(0, end));
}

std::string expectedDatabaseName(std::string_view baseName)
{
    return std::string(baseName) + kDatabaseExtension;
}

bool isExpectedDatabase(std::string_view databaseTitle, std::string_view baseName)
{
    return !baseName.empty() && databaseTitle == expectedDatabaseName(baseName);
}

std::string openErrorMessageUtf8(int number, std::string_view descriptionUtf8)
{
    std::string text = "Erreur à l'ouverture : ";
    text += std::to_string(number);
    text += ')';
    text += descriptionUtf8;
    text += ')';
    return text;
}

std::string engineErrorDescriptionUtf8(int code)
{
    switch (code & 0xFF) {
    case 3:  // SQLITE_PERM
    case 23: // SQLITE_AUTH
        return "accès refusé";
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return "la base est utilisée par un autre programme";
    case 8: // SQLITE_READONLY
        return "la base est en lecture seule";
    case 10: // SQLITE_IOERR
        return "erreur de lecture ou d'écriture du disque";
    case 11: // SQLITE_CORRUPT
        return "la base est endommagée";
    case 13: // SQLITE_FULL
        return "le disque est plein";
    case 14: // SQLITE_CANTOPEN
        return "le fichier ne peut pas être ouvert";
    case 26: // SQLITE_NOTADB
        return "le fichier n'est pas une base de données";
    default:
        return {};
    }
}

} // namespace ondelog
