// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The contact table of the database export: its name, its sixteen text columns
// (the record's fields, same names, same order, same widths) and the values of
// one row as taken from a log record. The table is the contract between the
// program that creates the database and the one that fills it.

#include "logbook/record.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ondelog {

inline constexpr const char *kContactTableName = "FicheQSO";
/** Name the creator starts from before the operator chooses one. */
inline constexpr const char *kDefaultDatabaseName = "Indicatif.MDB";
inline constexpr const char *kDatabaseExtension = ".mdb";

struct TableColumn
{
    const char *name; ///< "CSGN" ...
    int size;         ///< characters
};

/** The columns of the contact table, in record order: column k holds field k + 1. */
const std::array<TableColumn, kFieldCount> &contactTableColumns();

/** The sixteen values of one row, UTF-8: each record field as its full
 *  fixed-width text, trailing blanks kept, Windows-1252 decoded. */
class RowValues
{
  public:
    void assign(const QsoRecord &record);
    /** Value of column 0..15; valid until the next assign(). */
    std::string_view value(int column) const
    {
        return std::string_view(m_text.data() + m_offsets[column],
                                m_offsets[column + 1] - m_offsets[column]);
    }

  private:
    // A Windows-1252 character takes at most three bytes in UTF-8.
    std::array<char, kRecordSize * 3> m_text{};
    std::array<std::uint16_t, kFieldCount + 1> m_offsets{};
};

/** The log's base name: its file title (UTF-8) without the last four characters
 *  (".Ham"). */
std::string logBaseName(std::string_view fileTitleUtf8);

/** The only database name a log converts into: base name + ".mdb". */
std::string expectedDatabaseName(std::string_view baseName);

/** True when the chosen database's title is exactly the expected name, letter
 *  case included. */
bool isExpectedDatabase(std::string_view databaseTitle, std::string_view baseName);

/** "Erreur à l'ouverture : " + number + ")" + description + ")", UTF-8. */
std::string openErrorMessageUtf8(int number, std::string_view descriptionUtf8);

/** French description of a database engine result code (SQLite's, extended
 *  codes reduced to their primary code); empty when there is none to give. */
std::string engineErrorDescriptionUtf8(int code);

} // namespace ondelog
