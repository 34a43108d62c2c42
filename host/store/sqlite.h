// RAII over the SQLite C API: one connection, prepared statements, and the error type.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kavrohost {

// A failure of the project store; the message is UTF-8 and meant for the user.
class EStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One prepared statement. Bind positions are 1-based, column positions 0-based.
class TStatement {
public:
    TStatement() = default;
    TStatement(sqlite3* db, std::string_view sql);
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;
    TStatement(TStatement&& o) noexcept;
    TStatement& operator=(TStatement&& o) noexcept;
    ~TStatement();

    TStatement& Bind(int pos, std::int64_t value);
    TStatement& Bind(int pos, int value) { return Bind(pos, static_cast<std::int64_t>(value)); }
    TStatement& Bind(int pos, double value);
    TStatement& Bind(int pos, std::string_view text);
    TStatement& BindBlob(int pos, std::string_view bytes);
    TStatement& BindNull(int pos);

    // Steps once: true while a row is available, false when done. Throws EStoreError.
    bool Step();
    // Runs a statement that returns no rows, then resets it; the bindings stay, so a statement
    // that leaves a parameter unbound must bind it (BindNull) on every run.
    void Run();
    // Resets the statement and clears its bindings.
    void Reset();

    std::int64_t Int(int col) const { return sqlite3_column_int64(m_stmt, col); }
    double Double(int col) const { return sqlite3_column_double(m_stmt, col); }
    std::string Text(int col) const;
    bool IsNull(int col) const { return sqlite3_column_type(m_stmt, col) == SQLITE_NULL; }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

// One connection to a database file.
class TDatabase {
public:
    // Opens (and with create, creates) the file. Throws EStoreError.
    TDatabase(const std::filesystem::path& file, bool create);
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;
    ~TDatabase();

    void Exec(std::string_view sql);
    TStatement Prepare(std::string_view sql) { return TStatement(m_db, sql); }
    std::int64_t LastInsertId() const { return sqlite3_last_insert_rowid(m_db); }
    sqlite3* Handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

} // namespace kavrohost
