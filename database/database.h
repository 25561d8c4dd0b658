// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small database layer in the terms the export programs think in: create a
// database, define a table of text fields and append it; open a table, add a
// row, set its values, update; close. Underneath is an SQLite 3 file reached
// through Qt SQL, whatever the file's name (".mdb" by custom).
//
// Every failure leaves lastError(): the engine's number and a description, in
// French where the engine's code has one.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ondelog {

struct DatabaseError
{
    int number = 0;
    QString description;
};

/** One text field of a table definition. */
struct FieldDefinition
{
    QString name;
    int size = 0; ///< characters
};

class TableDefinition
{
  public:
    void setName(const QString &name) { m_name = name; }
    const QString &name() const { return m_name; }
    void appendField(const FieldDefinition &field) { m_fields.push_back(field); }
    const std::vector<FieldDefinition> &fields() const { return m_fields; }

  private:
    QString m_name;
    std::vector<FieldDefinition> m_fields;
};

class Database
{
  public:
    enum class Outcome
    {
        Ok,
        NoEngine, ///< the SQLite driver of Qt SQL is not installed
        Failed,   ///< see lastError()
    };

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    /** Creates a database at `path`, which must not exist or be an empty file.
     *  SQLite keeps the text as UTF-8, so that every tool reads the accents right. */
    Outcome create(const QString &path);
    /** Opens an existing database for reading and writing; never creates one. */
    Outcome open(const QString &path);
    bool isOpen() const;
    /** Creates the table: text columns of the given sizes, no key, no index,
     *  empty values allowed. */
    bool appendTable(const TableDefinition &table);
    /** Names of the columns of `table` in order; empty when there is no such table. */
    QStringList columns(const QString &table);

    bool beginTransaction();
    bool commit();
    void rollback();
    void close();

    const DatabaseError &lastError() const { return m_error; }

  private:
    friend class Recordset;
    bool exec(const QString &sql);
    bool fail(int number, const QString &engineText);
    bool failFromEngine();
    Outcome openConnection(const QString &path, bool create);

    QString m_connection;
    QSqlDatabase m_db;
    sqlite3 *m_handle = nullptr;
    DatabaseError m_error;
};

/** Rows appended to one table, column values given in the table's order.
 *  Rows are handed to the engine a group at a time (one statement for many
 *  rows costs far less than one per row), so a failure may show at a later
 *  update() or at flush(); use it inside a transaction and roll back on failure. */
class Recordset
{
  public:
    explicit Recordset(Database &database);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    /** Opens `table` for appending rows to the columns named, in that order. */
    bool open(const QString &table, const QStringList &columns);
    /** Starts a new row with every value empty. */
    void addNew();
    /** Value of column i of the new row (UTF-8, copied). */
    void setValue(int column, std::string_view utf8);
    /** Adds the new row. */
    bool update();
    /** Writes the rows still waiting; call it before committing. */
    bool flush();
    /** Closes the table; rows not flushed are dropped. */
    void close();

  private:
    bool step(sqlite3_stmt *statement, int firstRow, int rowCount);

    Database &m_database;
    sqlite3_stmt *m_insertOne = nullptr;
    sqlite3_stmt *m_insertGroup = nullptr;
    int m_columnCount = 0;
    std::string m_text;                                        ///< values of the waiting rows
    std::vector<std::pair<std::size_t, std::size_t>> m_values; ///< offset, size per value
    int m_rows = 0; ///< waiting rows, the new one excluded
};

} // namespace ondelog
