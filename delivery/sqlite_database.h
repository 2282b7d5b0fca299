#pragma once
// A thin owner of one SQLite connection and its prepared statements. Text goes in and out as
// std::wstring through the program's own UTF-8 codec. Not thread-safe by itself: its user
// serialises access.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/unique_resource.h"

namespace sqlite {

inline void closeDatabase(sqlite3* db) {
  sqlite3_close_v2(db);
}
inline void finalizeStatement(sqlite3_stmt* statement) {
  sqlite3_finalize(statement);
}
using UniqueDatabase = UniqueResource<sqlite3*, closeDatabase>;
using UniqueStatement = UniqueResource<sqlite3_stmt*, finalizeStatement>;

// One prepared statement: bind from 1, step, read columns from 0. Reset before each use.
class Statement {
 public:
  Statement() = default;
  Statement(sqlite3* db, std::string_view sql);

  explicit operator bool() const { return static_cast<bool>(statement_); }

  // Clears the previous run's bindings and results; returns *this for chaining binds.
  Statement& reset();
  Statement& bind(int index, int64_t value);
  Statement& bind(int index, std::wstring_view text);
  Statement& bindNull(int index);

  // SQLITE_ROW while rows come, SQLITE_DONE at the end, an error code otherwise.
  int step();
  // Runs it to its end; true when it ran without error.
  bool run();

  int64_t integer(int column) const;
  std::wstring text(int column) const;
  bool isNull(int column) const;

 private:
  UniqueStatement statement_;
};

class Database {
 public:
  // Opens (or makes) the file. Nothing, with `error` set, when SQLite cannot.
  static std::optional<Database> open(const std::wstring& path, std::string& error);

  sqlite3* get() const { return db_.get(); }

  // Runs SQL that returns no rows; false, with lastError() set, on failure.
  bool execute(std::string_view sql);
  std::string lastError() const;
  int lastErrorCode() const;
  int64_t changes() const;

 private:
  explicit Database(sqlite3* db) : db_(db) {}

  UniqueDatabase db_;
};

// One transaction that rolls back unless committed: every change to the ledger is whole or
// not at all, whatever fails or whenever the process is killed.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  explicit operator bool() const { return open_; }
  bool commit();

 private:
  Database& db_;
  bool open_ = false;
};

}  // namespace sqlite
