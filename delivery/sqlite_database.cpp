#include "delivery/sqlite_database.h"

#include "platform/text_codec.h"

namespace sqlite {

Statement::Statement(sqlite3* db, std::string_view sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                         &statement, nullptr) == SQLITE_OK) {
    statement_.reset(statement);
  }
}

Statement& Statement::reset() {
  sqlite3_reset(statement_.get());
  sqlite3_clear_bindings(statement_.get());
  return *this;
}

Statement& Statement::bind(int index, int64_t value) {
  sqlite3_bind_int64(statement_.get(), index, value);
  return *this;
}

Statement& Statement::bind(int index, std::wstring_view text) {
  const std::string utf8 = encodeUtf8(text, false);
  sqlite3_bind_text(statement_.get(), index, utf8.data(), static_cast<int>(utf8.size()),
                    SQLITE_TRANSIENT);
  return *this;
}

Statement& Statement::bindNull(int index) {
  sqlite3_bind_null(statement_.get(), index);
  return *this;
}

int Statement::step() {
  return statement_ ? sqlite3_step(statement_.get()) : SQLITE_MISUSE;
}

bool Statement::run() {
  int result = step();
  while (result == SQLITE_ROW) result = step();
  return result == SQLITE_DONE;
}

int64_t Statement::integer(int column) const {
  return sqlite3_column_int64(statement_.get(), column);
}

std::wstring Statement::text(int column) const {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_.get(), column));
  if (!bytes) return {};
  return decodeUtf8(
      std::string_view(bytes, static_cast<size_t>(sqlite3_column_bytes(statement_.get(), column))));
}

bool Statement::isNull(int column) const {
  return sqlite3_column_type(statement_.get(), column) == SQLITE_NULL;
}

std::optional<Database> Database::open(const std::wstring& path, std::string& error) {
  sqlite3* db = nullptr;
  const int result =
      sqlite3_open_v2(encodeUtf8(path, false).c_str(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
  Database database(db);  // frees the handle SQLite gives even when the open failed
  if (result != SQLITE_OK) {
    error = db ? sqlite3_errmsg(db) : sqlite3_errstr(result);
    return std::nullopt;
  }
  sqlite3_extended_result_codes(db, 1);
  // Strings in double quotes are refused everywhere, as the Windows build of SQLite refuses
  // them, so that SQL which works in the tests works in the program too.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  return database;
}

bool Database::execute(std::string_view sql) {
  return sqlite3_exec(db_.get(), std::string(sql).c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string Database::lastError() const {
  return sqlite3_errmsg(db_.get());
}

int Database::lastErrorCode() const {
  return sqlite3_errcode(db_.get());
}

int64_t Database::changes() const {
  return sqlite3_changes64(db_.get());
}

Transaction::Transaction(Database& db) : db_(db) {
  // Takes the write lock at once, so two programs on one ledger wait for each other here
  // rather than fail halfway through.
  open_ = db_.execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (open_) db_.execute("ROLLBACK");
}

bool Transaction::commit() {
  if (!open_) return false;
  open_ = false;
  if (db_.execute("COMMIT")) return true;
  db_.execute("ROLLBACK");
  return false;
}

}  // namespace sqlite
