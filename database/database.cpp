// SPDX-License-Identifier: GPL-3.0-or-later
#include "database/database.h"

#include "dbexport/contacttable.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <QVariant>

#include <sqlite3.h>

#include <atomic>
#include <cerrno>

namespace ondelog {

namespace {

const QString kDriver = QStringLiteral("QSQLITE");

// Rows per INSERT statement: 32 rows of 16 values stay far below SQLite's
// limit on parameters (999 in its oldest versions).
constexpr int kGroupRows = 32;

QString quoted(const QString &name)
{
    QString text = name;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

Database::Database()
{
    static std::atomic<int> counter{0};
    m_connection = QStringLiteral("ondelog-database-%1").arg(++counter);
}

Database::~Database()
{
    close();
}

bool Database::fail(int number, const QString &engineText)
{
    const std::string french = engineErrorDescriptionUtf8(number);
    m_error.number = number;
    m_error.description = french.empty() ? engineText : QString::fromStdString(french);
    return false;
}

bool Database::failFromEngine()
{
    if (!m_handle)
        return fail(SQLITE_MISUSE, QStringLiteral("aucune base n'est ouverte"));
    return fail(sqlite3_extended_errcode(m_handle) & 0xFF,
                QString::fromUtf8(sqlite3_errmsg(m_handle)));
}

Database::Outcome Database::openConnection(const QString &path, bool create)
{
    close();
    m_error = {};
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        return Outcome::NoEngine;
    m_db = QSqlDatabase::addDatabase(kDriver, m_connection);
    if (!m_db.isValid())
        return Outcome::NoEngine;

    if (create) {
        m_db.setDatabaseName(path);
    } else {
        // A plain name would make SQLite create a missing file; the URI form with
        // mode=rw opens only what exists.
        QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        url.setQuery(QStringLiteral("mode=rw"));
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        m_db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    }
    if (!m_db.open()) {
        const QSqlError error = m_db.lastError();
        fail(error.nativeErrorCode().toInt() & 0xFF, error.databaseText());
        close();
        return Outcome::Failed;
    }
    const QVariant handle = m_db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_handle = *static_cast<sqlite3 *const *>(handle.constData());
    if (!m_handle) {
        close();
        return Outcome::NoEngine;
    }
    // SQLite reads the file only at the first statement: a file that is not a
    // database shows here rather than at the first row.
    if (!exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        close();
        return Outcome::Failed;
    }
    return Outcome::Ok;
}

Database::Outcome Database::create(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || info.size() != 0)) {
        close();
        m_error = {};
        fail(EEXIST, QStringLiteral("le fichier existe déjà"));
        return Outcome::Failed;
    }
    return openConnection(path, true);
}

Database::Outcome Database::open(const QString &path)
{
    return openConnection(path, false);
}

bool Database::isOpen() const
{
    return m_handle != nullptr;
}

bool Database::exec(const QString &sql)
{
    if (!m_handle)
        return failFromEngine();
    if (sqlite3_exec(m_handle, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return failFromEngine();
    return true;
}

bool Database::appendTable(const TableDefinition &table)
{
    QStringList fields;
    for (const FieldDefinition &field : table.fields())
        fields << QStringLiteral("%1 VARCHAR(%2)").arg(quoted(field.name)).arg(field.size);
    return exec(QStringLiteral("CREATE TABLE %1 (%2)")
                    .arg(quoted(table.name()), fields.join(QStringLiteral(", "))));
}

QStringList Database::columns(const QString &table)
{
    QStringList names;
    if (!m_handle)
        return names;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_handle, "SELECT name FROM pragma_table_info(?1)", -1, &statement,
                           nullptr) != SQLITE_OK) {
        failFromEngine();
        return names;
    }
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(statement, 1, name.constData(), int(name.size()), SQLITE_STATIC);
    while (sqlite3_step(statement) == SQLITE_ROW)
        names << QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    return names;
}

bool Database::beginTransaction()
{
    return exec(QStringLiteral("BEGIN"));
}

bool Database::commit()
{
    return exec(QStringLiteral("COMMIT"));
}

void Database::rollback()
{
    if (m_handle && !sqlite3_get_autocommit(m_handle))
        sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Database::close()
{
    m_handle = nullptr;
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

Recordset::Recordset(Database &database) : m_database(database) {}

Recordset::~Recordset()
{
    close();
}

bool Recordset::open(const QString &table, const QStringList &columns)
{
    close();
    if (!m_database.m_handle)
        return m_database.failFromEngine();
    QStringList names;
    QStringList places;
    for (const QString &column : columns) {
        names << quoted(column);
        places << QStringLiteral("?");
    }
    const QString row = QLatin1Char('(') + places.join(QLatin1Char(',')) + QLatin1Char(')');
    auto prepare = [&](int rows, sqlite3_stmt **statement) {
        QStringList values;
        for (int i = 0; i < rows; ++i)
            values << row;
        const QByteArray sql =
            QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                .arg(quoted(table), names.join(QLatin1Char(',')), values.join(QLatin1Char(',')))
                .toUtf8();
        if (sqlite3_prepare_v2(m_database.m_handle, sql.constData(), int(sql.size()), statement,
                               nullptr) == SQLITE_OK)
            return true;
        *statement = nullptr;
        return false;
    };
    m_columnCount = int(columns.size());
    if (!prepare(1, &m_insertOne) || !prepare(kGroupRows, &m_insertGroup)) {
        m_database.failFromEngine();
        close();
        return false;
    }
    return true;
}

void Recordset::addNew()
{
    const std::size_t first = std::size_t(m_rows) * std::size_t(m_columnCount);
    m_values.resize(first + std::size_t(m_columnCount));
    for (std::size_t i = first; i < m_values.size(); ++i)
        m_values[i] = {0, 0};
}

void Recordset::setValue(int column, std::string_view utf8)
{
    const std::size_t i = std::size_t(m_rows) * std::size_t(m_columnCount) + std::size_t(column);
    if (column < 0 || column >= m_columnCount || i >= m_values.size())
        return;
    m_values[i] = {m_text.size(), utf8.size()};
    m_text.append(utf8);
}

bool Recordset::update()
{
    if (!m_insertOne)
        return m_database.failFromEngine();
    if (m_values.size() < std::size_t(m_rows + 1) * std::size_t(m_columnCount))
        addNew();
    ++m_rows;
    return m_rows < kGroupRows || flush();
}

bool Recordset::step(sqlite3_stmt *statement, int firstRow, int rowCount)
{
    // The values are bound where they lie: nothing moves m_text before the step.
    int parameter = 1;
    const std::size_t first = std::size_t(firstRow) * std::size_t(m_columnCount);
    const std::size_t end = first + std::size_t(rowCount) * std::size_t(m_columnCount);
    for (std::size_t i = first; i < end; ++i) {
        const auto [offset, size] = m_values[i];
        sqlite3_bind_text(statement, parameter++, m_text.data() + offset, int(size), SQLITE_STATIC);
    }
    const int result = sqlite3_step(statement);
    if (result != SQLITE_DONE) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(m_database.m_handle));
        sqlite3_reset(statement);
        return m_database.fail(result & 0xFF, text);
    }
    sqlite3_reset(statement);
    return true;
}

bool Recordset::flush()
{
    if (!m_insertOne)
        return m_database.failFromEngine();
    bool ok = true;
    if (m_rows == kGroupRows) {
        ok = step(m_insertGroup, 0, kGroupRows);
    } else {
        for (int r = 0; r < m_rows && ok; ++r)
            ok = step(m_insertOne, r, 1);
    }
    m_rows = 0;
    m_values.clear();
    m_text.clear();
    return ok;
}

void Recordset::close()
{
    for (sqlite3_stmt **statement : {&m_insertOne, &m_insertGroup}) {
        if (*statement)
            sqlite3_finalize(*statement);
        *statement = nullptr;
    }
    m_columnCount = 0;
    m_rows = 0;
    m_values.clear();
    m_text.clear();
}

} // namespace ondelog
