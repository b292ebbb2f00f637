// Keyed record files on SQLite: one database per file, one table named after
// the label, one column per field (arrays and groups packed in one column),
// one index per key. Record position is the rowid.
//
// A KeyedFile belongs to one owner (a window or procedure); nested users of
// that owner share one open through the open count. Different owners use
// different KeyedFile objects, each with its own connection.
#pragma once

#include "platform/layout.h"
#include "platform/record.h"
#include "platform/status.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tavir::platform {

enum class OpenMode {
    Shared,     // read and write, other users allowed
    Exclusive,  // refused at once while anyone else has the file open
    Foreign,    // a file from outside: read-only, defensive, schema checked
};

enum class Direction { Forward, Backward };

class KeyedFile;

// Reads records in the order of a key (or of record position) from a start
// value. Valid while its file stays open.
class Cursor {
public:
    Cursor(Cursor&&) noexcept;
    Cursor& operator=(Cursor&&) noexcept;
    ~Cursor();

    // Fills `record` with the next record; false at the end or on error
    // (then status() tells which).
    bool next(Record& record);
    const Status& status() const { return status_; }

private:
    friend class KeyedFile;
    Cursor(KeyedFile* file, sqlite3_stmt* stmt, Status status, std::vector<int> fields);
    KeyedFile* file_;
    sqlite3_stmt* stmt_;
    Status status_;
    std::vector<int> fields_;
};

class KeyedFile {
public:
    KeyedFile(const FileDef& def, std::filesystem::path path);
    ~KeyedFile();
    KeyedFile(const KeyedFile&) = delete;
    KeyedFile& operator=(const KeyedFile&) = delete;

    const FileDef& def() const { return *def_; }
    const std::filesystem::path& path() const { return path_; }

    // Writes a new empty file with the dictionary's schema; refuses to
    // overwrite an existing one.
    static Status create(const FileDef& def, const std::filesystem::path& path);

    // Opening never creates the file. The first open connects, further opens
    // only count; the mode of the first open holds until the last close.
    Status open(OpenMode mode = OpenMode::Shared);
    void close();
    bool isOpen() const { return openCount_ > 0; }

    // Adds a record and sets its position; a unique key that already holds
    // the record's values refuses it with ErrorKind::Duplicate.
    Status add(Record& record);
    // Rewrites the record at record.position.
    Status update(const Record& record);
    Status remove(int64_t position);
    Status get(int64_t position, Record& record);
    // Number of records, or -1 on error (see lastStatus()).
    int64_t count();

    // Every cursor reads either whole records or, when `fields` lists some,
    // only those fields (the others read as zero or blank): whole-file scans
    // that need a few fields run markedly faster that way.

    // Records in position order, from position `from` on (or backwards from it).
    Cursor byPosition(int64_t from = 0, Direction dir = Direction::Forward, const std::vector<int>& fields = {});
    // Records in the order of a key, equal entries in position order, from the
    // first record whose leading key components are >= `from` (Backward: <=,
    // in reverse). `from` may give fewer values than the key has components,
    // or none to start at the beginning (or the end).
    Cursor byKey(const KeyDef& key, const std::vector<int64_t>& from = {}, Direction dir = Direction::Forward,
                 const std::vector<int>& fields = {});
    // The same with text components (a key that has string fields); each
    // start value is given as text and compared as the field's type.
    Cursor byKeyText(const KeyDef& key, const std::vector<std::string>& from, Direction dir = Direction::Forward);
    // The first record, in the key's order, of each group of records that
    // share all but the last component of a unique key, for the groups whose
    // first component lies within [low, high]; groups in key order. Only the
    // key's index is read to find the groups, so asking which (period,
    // facility) pairs exist costs about as much as SQLite's own SELECT
    // DISTINCT. Another kind of key is refused.
    Cursor firstOfGroups(const KeyDef& key, int64_t low, int64_t high, const std::vector<int>& fields = {});
    // Records whose leading key components equal `values`, in key order.
    Cursor equal(const KeyDef& key, const std::vector<int64_t>& values, const std::vector<int>& fields = {});

    // Several changes as one: either all of them land or none. Nested calls
    // count; only the outermost commit writes.
    Status begin();
    Status commit();
    void rollback();

    // The description a keyless file (an exchange file) may carry beside its
    // records: name and value texts in a table of their own. Readers take a
    // file with or without it; a file without it gives no lines.
    using Description = std::vector<std::pair<std::string, std::string>>;
    Status writeDescription(const Description& lines);
    Status readDescription(Description& lines);

    // Rebuilds every key (needs the file open exclusively).
    Status rebuildKeys();
    // Quick consistency check of pages and keys.
    Status check();

    const Status& lastStatus() const { return last_; }

private:
    friend class Cursor;
    struct Statements;

    Status fail(ErrorKind kind, const std::string& what);
    Status sqliteFail(const std::string& what, int rc);
    Status checkSchema();
    bool hasDescription_ = false;
    Status prepare(sqlite3_stmt** stmt, const std::string& sql);
    void bindRecord(sqlite3_stmt* stmt, const Record& record, int firstParam);
    void readRow(sqlite3_stmt* stmt, Record& record, const std::vector<int>& fields);
    std::string selectSql(const std::vector<int>& fields) const;
    Cursor makeCursor(const std::string& sql, const std::vector<std::string>* textValues,
                      const std::vector<int64_t>* numValues, const KeyDef* key, std::vector<int> fields);

    const FileDef* def_;
    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
    int lockFd_ = -1;
    int openCount_ = 0;
    int txDepth_ = 0;
    bool txFailed_ = false;
    OpenMode mode_ = OpenMode::Shared;
    std::unique_ptr<Statements> stmts_;
    Status last_;
};

// Begins a transaction on construction and rolls it back unless committed.
class Transaction {
public:
    explicit Transaction(KeyedFile& file) : file_(file), status_(file.begin()) {}
    ~Transaction() {
        if (status_.isOk() && !done_) file_.rollback();
    }
    const Status& status() const { return status_; }
    Status commit() {
        done_ = true;
        return status_.isOk() ? file_.commit() : status_;
    }

private:
    KeyedFile& file_;
    Status status_;
    bool done_ = false;
};

}  // namespace tavir::platform
