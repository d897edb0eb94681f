#pragma once

#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

// An open SQLite connection to a ledger file with the statements prepared on
// it. A statement is prepared on its first use and kept for the connection's
// life, so a run that uses a connection already open parses no SQL again.
class LedgerConnection {
public:
    // Takes db over; it is closed with the connection.
    explicit LedgerConnection(sqlite3* db) : db_(db) {}
    ~LedgerConnection();
    LedgerConnection(const LedgerConnection&) = delete;
    LedgerConnection& operator=(const LedgerConnection&) = delete;

    sqlite3* db() const { return db_; }
    // The statement of sql, ready to bind and step (reset, no bindings);
    // nullptr when it cannot be prepared.
    sqlite3_stmt* Prepared(const std::string& sql);

private:
    sqlite3* db_;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
};
