#include "sqlite.h"

namespace kavrohost {

namespace {
[[noreturn]] void Fail(sqlite3* db, std::string_view what) {
    throw EStoreError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}
} // namespace

TStatement::TStatement(sqlite3* db, std::string_view sql) : m_db(db) {
    if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &m_stmt, nullptr) != SQLITE_OK)
        Fail(db, "Ошибка SQL");
}

TStatement::TStatement(TStatement&& o) noexcept : m_db(o.m_db), m_stmt(o.m_stmt) {
    o.m_stmt = nullptr;
}

TStatement& TStatement::operator=(TStatement&& o) noexcept {
    if (this != &o) {
        sqlite3_finalize(m_stmt);
        m_db = o.m_db;
        m_stmt = o.m_stmt;
        o.m_stmt = nullptr;
    }
    return *this;
}

TStatement::~TStatement() {
    sqlite3_finalize(m_stmt);
}

TStatement& TStatement::Bind(int pos, std::int64_t value) {
    sqlite3_bind_int64(m_stmt, pos, value);
    return *this;
}
TStatement& TStatement::Bind(int pos, double value) {
    sqlite3_bind_double(m_stmt, pos, value);
    return *this;
}
TStatement& TStatement::Bind(int pos, std::string_view text) {
    sqlite3_bind_text(m_stmt, pos, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}
TStatement& TStatement::BindBlob(int pos, std::string_view bytes) {
    sqlite3_bind_blob(m_stmt, pos, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}
TStatement& TStatement::BindNull(int pos) {
    sqlite3_bind_null(m_stmt, pos);
    return *this;
}

bool TStatement::Step() {
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    std::string message = sqlite3_errmsg(m_db);
    sqlite3_reset(m_stmt);
    throw EStoreError("Ошибка базы данных проекта: " + message);
}

void TStatement::Run() {
    Step();
    sqlite3_reset(m_stmt);
}

void TStatement::Reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

std::string TStatement::Text(int col) const {
    auto* p = reinterpret_cast<const char*>(sqlite3_column_blob(m_stmt, col));
    int n = sqlite3_column_bytes(m_stmt, col);
    return p ? std::string(p, static_cast<std::size_t>(n)) : std::string();
}

TDatabase::TDatabase(const std::filesystem::path& file, bool create) {
    // One connection per session, used from one thread: no per-call locking.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(file.string().c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        throw EStoreError("Не удалось открыть проект \"" + file.string() + "\": " + message);
    }
    sqlite3_busy_timeout(m_db, 5000);
}

TDatabase::~TDatabase() {
    sqlite3_close_v2(m_db);
}

void TDatabase::Exec(std::string_view sql) {
    char* error = nullptr;
    std::string text(sql);
    if (sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        throw EStoreError("Ошибка базы данных проекта: " + message);
    }
}

} // namespace kavrohost
