#include "engine/ledger/LedgerConnection.h"

#include <sqlite3.h>

LedgerConnection::~LedgerConnection() {
    for (const auto& entry : statements_) sqlite3_finalize(entry.second);
    sqlite3_close(db_);
}

sqlite3_stmt* LedgerConnection::Prepared(const std::string& sql) {
    const auto known = statements_.find(sql);
    if (known != statements_.end()) return known->second;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()),
                           SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK ||
        statement == nullptr) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    statements_.emplace(sql, statement);
    return statement;
}
