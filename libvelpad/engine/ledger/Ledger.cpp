#include "engine/ledger/Ledger.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

const char kSchema[] =
    "CREATE TABLE IF NOT EXISTS operations("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " started TEXT NOT NULL, ended TEXT,"
    " operation INTEGER NOT NULL, operation_name TEXT,"
    " amount TEXT, currency TEXT, terminal_id TEXT,"
    " card_number TEXT, card_type TEXT,"
    " result_code INTEGER, result_text TEXT,"
    " rrn TEXT, auth_code TEXT, receipt_number TEXT,"
    " outcome TEXT NOT NULL, duration_ms INTEGER, recovery TEXT);"
    "CREATE INDEX IF NOT EXISTS operations_started ON operations(started);"
    // The records a dead run left pending are found without a scan.
    "CREATE INDEX IF NOT EXISTS operations_pending ON operations(outcome)"
    " WHERE outcome = 'pending';"
    "PRAGMA user_version = 1;";
// The schema's version, kept in the database's user version: a ledger that
// has it is in WAL mode with every table and index, and is not set up again.
constexpr int kSchemaVersion = 1;

const char kColumns[] =
    "id, started, ended, operation, operation_name, amount, currency, terminal_id,"
    " card_number, card_type, result_code, result_text, rrn, auth_code, receipt_number,"
    " outcome, duration_ms, recovery";

// A statement of the connection, reset with its bindings cleared when it
// goes out of scope (a statement left stepped would hold its read open).
class Statement {
public:
    Statement(LedgerConnection& connection, const std::string& sql)
        : statement_(connection.Prepared(sql)) {}
    ~Statement() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ready() const { return statement_ != nullptr; }
    sqlite3_stmt* get() const { return statement_; }
    void Text(int index, const std::string& value) {
        sqlite3_bind_text(statement_, index, value.c_str(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    }
    void Number(int index, long long value) { sqlite3_bind_int64(statement_, index, value); }
    void Null(int index) { sqlite3_bind_null(statement_, index); }
    std::string TextAt(int column) const {
        const unsigned char* text = sqlite3_column_text(statement_, column);
        return text == nullptr
                   ? std::string()
                   : std::string(reinterpret_cast<const char*>(text),
                                 static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
    }
    long long NumberAt(int column) const { return sqlite3_column_int64(statement_, column); }
    bool NullAt(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

private:
    sqlite3_stmt* statement_ = nullptr;
};

// Binds the fields of a record from index 1 on, in the order of kColumns
// after the id.
void BindFields(Statement& s, const LedgerRecord& r) {
    s.Text(1, r.started);
    if (r.ended.empty())
        s.Null(2);
    else
        s.Text(2, r.ended);
    s.Number(3, r.operation);
    s.Text(4, r.operationName);
    s.Text(5, r.amount);
    s.Text(6, r.currency);
    s.Text(7, r.terminalId);
    s.Text(8, r.cardNumber);
    s.Text(9, r.cardType);
    if (r.hasResult)
        s.Number(10, r.resultCode);
    else
        s.Null(10);
    s.Text(11, r.resultText);
    s.Text(12, r.rrn);
    s.Text(13, r.authCode);
    s.Text(14, r.receiptNumber);
    s.Text(15, r.outcome);
    if (r.durationMs < 0)
        s.Null(16);
    else
        s.Number(16, r.durationMs);
    s.Text(17, r.recovery);
}

LedgerRecord ReadRecord(const Statement& s) {
    LedgerRecord r;
    r.id = s.NumberAt(0);
    r.started = s.TextAt(1);
    r.ended = s.TextAt(2);
    r.operation = static_cast<int>(s.NumberAt(3));
    r.operationName = s.TextAt(4);
    r.amount = s.TextAt(5);
    r.currency = s.TextAt(6);
    r.terminalId = s.TextAt(7);
    r.cardNumber = s.TextAt(8);
    r.cardType = s.TextAt(9);
    r.hasResult = !s.NullAt(10);
    r.resultCode = static_cast<int>(s.NumberAt(10));
    r.resultText = s.TextAt(11);
    r.rrn = s.TextAt(12);
    r.authCode = s.TextAt(13);
    r.receiptNumber = s.TextAt(14);
    r.outcome = s.TextAt(15);
    r.durationMs = s.NullAt(16) ? -1 : s.NumberAt(16);
    r.recovery = s.TextAt(17);
    return r;
}

}  // namespace

Ledger::~Ledger() {
    if (connection_ && keep_ && sqlite3_get_autocommit(db_) != 0)
        KeptLedgers::Keep(path_, files_, std::move(connection_));
}

bool Ledger::Fail(const char* what) {
    keep_ = false;
    error_ = "ledger [" + path_ + "]: " + what + ": " +
             (db_ != nullptr ? sqlite3_errmsg(db_) : "cannot open");
    return false;
}

bool Ledger::Execute(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK || Fail(sql);
}

bool Ledger::Step(const char* sql) {
    Statement s(*connection_, sql);
    return (s.Ready() && sqlite3_step(s.get()) == SQLITE_DONE) || Fail(sql);
}

// Makes the database file, when it is missing, with no rights for others
// (the write-ahead log and the shared index take the same rights); false
// when a link, a folder or anything but a regular file stands at the name.
bool Ledger::MakeFile() {
    const int fd =
        open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0640);
    if (fd < 0) {
        error_ = "ledger [" + path_ + "]: cannot open: " + std::strerror(errno);
        return false;
    }
    struct stat status {};
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    close(fd);
    if (!regular) error_ = "ledger [" + path_ + "]: not a regular file";
    return regular;
}

int Ledger::SchemaVersion() {
    Statement s(*connection_, "PRAGMA user_version");
    return s.Ready() && sqlite3_step(s.get()) == SQLITE_ROW ? static_cast<int>(s.NumberAt(0)) : -1;
}

bool Ledger::Open(const std::string& path, bool create, long busyMs) {
    path_ = path;
    if (create) connection_ = KeptLedgers::Take(path, &files_);
    if (connection_) {
        db_ = connection_->db();
        sqlite3_busy_timeout(db_, static_cast<int>(busyMs));
        keep_ = true;
        return true;
    }
    if (create && !MakeFile()) return false;
    if (!OpenFile(create, busyMs)) return false;
    keep_ = create && KeptLedgers::Identify(path_, &files_);
    return true;
}

bool Ledger::OpenFile(bool create, long busyMs) {
    const int flags = create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    // A link or a special file at the name is never opened as a database.
    if (sqlite3_open_v2(path_.c_str(), &db_, flags | SQLITE_OPEN_NOFOLLOW, nullptr) != SQLITE_OK) {
        Fail("open");
        sqlite3_close(db_);
        db_ = nullptr;
        return false;
    }
    connection_ = std::make_unique<LedgerConnection>(db_);
    sqlite3_busy_timeout(db_, static_cast<int>(busyMs));
    if (!create) return true;
    // The write-ahead log is kept when the connection closes and folded into
    // the database by SQLite's own checkpoints as it grows, not by a
    // checkpoint with its syncs at every close.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    int persist = 1;
    sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    if (Execute("PRAGMA synchronous=FULL") && Execute("PRAGMA wal_autocheckpoint=32") &&
        (SchemaVersion() == kSchemaVersion ||
         (Execute("PRAGMA journal_mode=WAL") && Execute(kSchema))))
        return true;
    connection_.reset();
    db_ = nullptr;
    return false;
}

bool Ledger::Prune(long days, long maxRecords) {
    if (days > 0) {
        Statement s(*connection_,
                    "DELETE FROM operations WHERE outcome <> 'pending' AND"
                    " started < strftime('%Y-%m-%dT%H:%M:%fZ', 'now', ?1)");
        if (!s.Ready()) return Fail("prune");
        s.Text(1, "-" + std::to_string(days) + " days");
        if (sqlite3_step(s.get()) != SQLITE_DONE) return Fail("prune");
    }
    if (maxRecords > 0) {
        Statement s(*connection_,
                    "DELETE FROM operations WHERE outcome <> 'pending' AND"
                    " id <= (SELECT MAX(id) FROM operations) - ?1 + 1");
        if (!s.Ready()) return Fail("prune");
        s.Number(1, maxRecords);
        if (sqlite3_step(s.get()) != SQLITE_DONE) return Fail("prune");
    }
    return true;
}

bool Ledger::Begin(LedgerRecord* record, bool settle, long days, long maxRecords,
                   std::vector<long long>* interrupted) {
    error_.clear();
    if (!Step("BEGIN IMMEDIATE")) return false;
    bool done = false;
    {
        Statement pending(*connection_, "SELECT id FROM operations WHERE outcome = 'pending'");
        while (settle && pending.Ready() && sqlite3_step(pending.get()) == SQLITE_ROW)
            interrupted->push_back(pending.NumberAt(0));
        Statement mark(*connection_,
                       "UPDATE operations SET outcome = 'interrupted' WHERE outcome = 'pending'");
        Statement insert(*connection_,
                         std::string("INSERT INTO operations(") + (kColumns + 4) +
                             ") VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,"
                             "?16,?17)");
        if (pending.Ready() && mark.Ready() && insert.Ready() &&
            (!settle || sqlite3_step(mark.get()) == SQLITE_DONE) && Prune(days, maxRecords)) {
            BindFields(insert, *record);
            done = sqlite3_step(insert.get()) == SQLITE_DONE;
        }
        if (!done && error_.empty()) Fail("store the pending record");
    }
    if (done && Step("COMMIT")) {
        record->id = sqlite3_last_insert_rowid(db_);
        return true;
    }
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    interrupted->clear();
    return false;
}

bool Ledger::Complete(const LedgerRecord& record) {
    Statement s(*connection_,
                "UPDATE operations SET started=?1, ended=?2, operation=?3, operation_name=?4,"
                " amount=?5, currency=?6, terminal_id=?7, card_number=?8, card_type=?9,"
                " result_code=?10, result_text=?11, rrn=?12, auth_code=?13,"
                " receipt_number=?14, outcome=?15, duration_ms=?16, recovery=?17 WHERE id=?18");
    if (!s.Ready()) return Fail("complete the record");
    BindFields(s, record);
    s.Number(18, record.id);
    if (sqlite3_step(s.get()) != SQLITE_DONE) return Fail("complete the record");
    if (sqlite3_changes(db_) != 1) {
        error_ = "ledger [" + path_ + "]: record " + std::to_string(record.id) + " is gone";
        return false;
    }
    return true;
}

bool Ledger::NoteRecovery(const std::string& recovery) {
    Statement s(*connection_,
                "UPDATE operations SET recovery=?1 WHERE outcome = 'interrupted' AND"
                " (recovery IS NULL OR recovery = '')");
    if (!s.Ready()) return Fail("note the recovery");
    s.Text(1, recovery);
    return sqlite3_step(s.get()) == SQLITE_DONE || Fail("note the recovery");
}

bool Ledger::Last(int count, std::vector<LedgerRecord>* records) {
    Statement s(*connection_, std::string("SELECT * FROM (SELECT ") + kColumns +
                                  " FROM operations ORDER BY id DESC LIMIT ?1) ORDER BY id");
    if (!s.Ready()) return Fail("read");
    s.Number(1, count);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(s.get())) == SQLITE_ROW) records->push_back(ReadRecord(s));
    return step == SQLITE_DONE || Fail("read");
}
