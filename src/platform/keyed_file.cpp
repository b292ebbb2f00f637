#include "platform/keyed_file.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace tavir::platform {

namespace {

constexpr const char* kDescriptionSql = "CREATE TABLE description (name TEXT NOT NULL, value TEXT NOT NULL)";

constexpr int kBusyTimeoutMs = 5000;

// --- Who has a file open ----------------------------------------------------
//
// SQLite takes its locks only while a statement or transaction runs, so an
// idle connection leaves no trace. To refuse an exclusive open while someone
// else merely has the file open, every open also holds an advisory lock on
// one byte that SQLite never locks itself (its own lock bytes start at 1 GiB):
// shared opens a read lock, exclusive opens a write lock. Open-file-description
// locks are used so that separate owners in one process exclude each other
// too, and the descriptors are never closed: closing any descriptor of a file
// would drop SQLite's own POSIX locks on it in this process.
constexpr off_t kOpenLockByte = 0x40010000;

struct OpenLocks {
    struct Entry {
        int fd = -1;
        dev_t dev = 0;
        ino_t ino = 0;
        int shared = 0;
        bool exclusive = false;
    };
    std::mutex mutex;
    std::map<std::string, Entry> entries;

    static OpenLocks& instance() {
        static OpenLocks locks;
        return locks;
    }
};

bool setLock(int fd, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = kOpenLockByte;
    fl.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// Takes the open lock of a file; returns a message on refusal, empty on success.
std::string acquireOpenLock(const std::filesystem::path& path, bool exclusive, bool readOnly) {
    auto& locks = OpenLocks::instance();
    std::lock_guard guard(locks.mutex);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::strerror(errno);
    auto& e = locks.entries[path.string()];
    if (e.fd < 0 || e.dev != st.st_dev || e.ino != st.st_ino) {
        // A new file at this path (or the first use): the old descriptor, if
        // any, stays open for the reason above.
        int fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
        if (fd < 0 && !readOnly) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return std::strerror(errno);
        e = OpenLocks::Entry{fd, st.st_dev, st.st_ino, 0, false};
    }
    const std::string busy = "файл открыт другим пользователем";
    if (exclusive) {
        if (e.shared > 0 || e.exclusive) return busy;
        if (!setLock(e.fd, F_WRLCK)) return busy;
        e.exclusive = true;
    } else {
        if (e.exclusive) return busy;
        // A read lock needs a descriptor open for reading, which every entry has.
        if (e.shared == 0 && !setLock(e.fd, F_RDLCK)) return busy;
        ++e.shared;
    }
    return {};
}

void releaseOpenLock(const std::filesystem::path& path, bool exclusive) {
    auto& locks = OpenLocks::instance();
    std::lock_guard guard(locks.mutex);
    auto it = locks.entries.find(path.string());
    if (it == locks.entries.end() || it->second.fd < 0) return;
    auto& e = it->second;
    if (exclusive) {
        e.exclusive = false;
    } else if (e.shared > 0) {
        --e.shared;
    }
    if (!e.exclusive && e.shared == 0) setLock(e.fd, F_UNLCK);
}

// --- Packed arrays ----------------------------------------------------------
//
// An array or group is one BLOB: a bitmap of the non-zero elements followed by
// those elements as zigzag varints. A value record holds about eight non-zero
// values of 35, so a row takes a few dozen bytes and scans stay fast.

void encodeArray(const int64_t* values, int count, std::string& out) {
    out.assign(static_cast<size_t>((count + 7) / 8), '\0');
    for (int i = 0; i < count; ++i) {
        if (values[i] == 0) continue;
        out[i / 8] = static_cast<char>(out[i / 8] | (1 << (i % 8)));
        uint64_t z = (static_cast<uint64_t>(values[i]) << 1) ^ static_cast<uint64_t>(values[i] >> 63);
        while (z >= 0x80) {
            out.push_back(static_cast<char>((z & 0x7F) | 0x80));
            z >>= 7;
        }
        out.push_back(static_cast<char>(z));
    }
}

bool decodeArray(const unsigned char* data, int size, int64_t* values, int count) {
    const int mapBytes = (count + 7) / 8;
    if (!data || size < mapBytes) return false;
    std::fill(values, values + count, 0);
    int pos = mapBytes;
    for (int b = 0; b < mapBytes; ++b) {
        for (unsigned bits = data[b]; bits != 0; bits &= bits - 1) {
            const int i = b * 8 + std::countr_zero(bits);
            if (i >= count) return false;
            uint64_t z = 0;
            for (int shift = 0;; shift += 7) {
                if (pos >= size || shift > 63) return false;
                const unsigned char byte = data[pos++];
                z |= static_cast<uint64_t>(byte & 0x7F) << shift;
                if (!(byte & 0x80)) break;
            }
            values[i] = static_cast<int64_t>(z >> 1) ^ -static_cast<int64_t>(z & 1);
        }
    }
    return pos == size;
}

std::string sqlName(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string columnList(const FileDef& def) {
    std::string cols;
    for (size_t i = 0; i < def.fields.size(); ++i) {
        if (i) cols += ", ";
        cols += sqlName(def.fields[i].column());
    }
    return cols;
}

std::string keyOrder(const FileDef& def, const KeyDef& key, bool desc) {
    std::string order;
    for (int f : key.fields) order += sqlName(def.fields[f].column()) + (desc ? " DESC, " : ", ");
    return order + (desc ? "rowid DESC" : "rowid");
}

std::string tuple(const FileDef& def, const KeyDef& key, size_t n) {
    std::string cols, params;
    for (size_t i = 0; i < n; ++i) {
        if (i) {
            cols += ", ";
            params += ", ";
        }
        cols += sqlName(def.fields[key.fields[i]].column());
        params += "?";
    }
    return "(" + cols + ") %OP% (" + params + ")";
}

std::string systemText(sqlite3* db, int rc) {
    std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    int sys = db ? sqlite3_system_errno(db) : 0;
    if (sys != 0) text += " (" + std::string(std::strerror(sys)) + ")";
    return text;
}

ErrorKind kindOf(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ErrorKind::Locked;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return ErrorKind::Damaged;
    case SQLITE_CANTOPEN: return ErrorKind::NotFound;
    case SQLITE_CONSTRAINT: return ErrorKind::Duplicate;
    default: return ErrorKind::Io;
    }
}

}  // namespace

// --- Statements -------------------------------------------------------------

struct KeyedFile::Statements {
    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* update = nullptr;
    sqlite3_stmt* remove = nullptr;
    sqlite3_stmt* get = nullptr;
    sqlite3_stmt* count = nullptr;
    // Cursor statements by SQL text; a statement in use by a live cursor is
    // not handed out twice.
    std::multimap<std::string, sqlite3_stmt*> idle;
    std::vector<sqlite3_stmt*> all;
    std::string scratch;

    void finalizeAll() {
        for (auto* s : {insert, update, remove, get, count}) sqlite3_finalize(s);
        for (auto* s : all) sqlite3_finalize(s);
        insert = update = remove = get = count = nullptr;
        idle.clear();
        all.clear();
    }
};

// --- Cursor -----------------------------------------------------------------

Cursor::Cursor(KeyedFile* file, sqlite3_stmt* stmt, Status status, std::vector<int> fields)
    : file_(file), stmt_(stmt), status_(std::move(status)), fields_(std::move(fields)) {}

Cursor::Cursor(Cursor&& other) noexcept
    : file_(other.file_), stmt_(other.stmt_), status_(std::move(other.status_)), fields_(std::move(other.fields_)) {
    other.stmt_ = nullptr;
}

Cursor& Cursor::operator=(Cursor&& other) noexcept {
    if (this != &other) {
        this->~Cursor();
        file_ = other.file_;
        stmt_ = other.stmt_;
        status_ = std::move(other.status_);
        fields_ = std::move(other.fields_);
        other.stmt_ = nullptr;
    }
    return *this;
}

Cursor::~Cursor() {
    if (!stmt_ || !file_->stmts_) return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    file_->stmts_->idle.emplace(sqlite3_sql(stmt_), stmt_);
    stmt_ = nullptr;
}

bool Cursor::next(Record& record) {
    if (!stmt_ || !status_.isOk()) return false;
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        file_->readRow(stmt_, record, fields_);
        if (!file_->last_.isOk()) {
            status_ = file_->last_;
            return false;
        }
        return true;
    }
    if (rc != SQLITE_DONE) status_ = file_->sqliteFail("ошибка чтения", rc);
    sqlite3_reset(stmt_);
    return false;
}

// --- KeyedFile --------------------------------------------------------------

KeyedFile::KeyedFile(const FileDef& def, std::filesystem::path path) : def_(&def), path_(std::move(path)) {}

KeyedFile::~KeyedFile() {
    while (openCount_ > 0) close();
}

Status KeyedFile::fail(ErrorKind kind, const std::string& what) {
    last_ = Status::fail(kind, "Файл " + path_.string() + ": " + what);
    return last_;
}

Status KeyedFile::sqliteFail(const std::string& what, int rc) { return fail(kindOf(rc), what + ": " + systemText(db_, rc)); }

namespace {

// SQLite's memory statistics take one process-wide lock on every allocation,
// which files read on threads of their own would queue on. It can only be
// switched off before SQLite starts, so before the program's first open.
void configureSqlite() {
    static const bool configured = [] { return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK; }();
    (void)configured;
}

}  // namespace

Status KeyedFile::create(const FileDef& def, const std::filesystem::path& path) {
    configureSqlite();
    const std::string name = path.string();
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        return Status::fail(ErrorKind::Invalid, "Файл " + name + " уже существует");
    }
    // Built under a temporary name and renamed, so a failure never leaves a
    // half-made file under the real name.
    const std::filesystem::path temp = name + ".new";
    std::filesystem::remove(temp, ec);
    std::filesystem::remove(name + ".new-journal", ec);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::string script = "PRAGMA journal_mode=DELETE; BEGIN;";
    for (const auto& s : def.createStatements()) script += s + ";";
    script += "COMMIT;";
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr);
    std::string error = rc == SQLITE_OK ? "" : systemText(db, rc);
    sqlite3_close(db);
    if (rc == SQLITE_OK) {
        std::filesystem::rename(temp, path, ec);
        if (ec) error = ec.message();
    }
    if (!error.empty()) {
        std::filesystem::remove(temp, ec);
        return Status::fail(kindOf(rc == SQLITE_OK ? SQLITE_IOERR : rc), "Файл " + name + " не создан: " + error);
    }
    return Status::ok();
}

Status KeyedFile::open(OpenMode mode) {
    configureSqlite();
    if (openCount_ > 0) {
        ++openCount_;
        return Status::ok();
    }
    last_ = Status::ok();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_, ec)) {
        return fail(ErrorKind::NotFound, std::string("не открывается: ") +
                                             (std::filesystem::exists(path_, ec) ? "это не файл" : std::strerror(ENOENT)));
    }
    const bool readOnly = mode == OpenMode::Foreign;
    if (mode != OpenMode::Foreign) {
        std::string refusal = acquireOpenLock(path_, mode == OpenMode::Exclusive, readOnly);
        if (!refusal.empty()) return fail(ErrorKind::Locked, "не открывается: " + refusal);
    }
    mode_ = mode;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr);
    auto abandon = [&](Status st) {
        sqlite3_close(db_);
        db_ = nullptr;
        if (mode != OpenMode::Foreign) releaseOpenLock(path_, mode == OpenMode::Exclusive);
        return st;
    };
    if (rc != SQLITE_OK) return abandon(sqliteFail("не открывается", rc));
    sqlite3_extended_result_codes(db_, 1);
    if (readOnly) {
        // A file from outside may carry anything in its schema: no triggers,
        // views or functions of its own are trusted.
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
        sqlite3_exec(db_, "PRAGMA trusted_schema=OFF", nullptr, nullptr, nullptr);
    } else {
        sqlite3_busy_timeout(db_, mode == OpenMode::Exclusive ? 0 : kBusyTimeoutMs);
        rc = sqlite3_exec(db_, "PRAGMA journal_mode=DELETE; PRAGMA cache_size=-32000", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return abandon(sqliteFail("не открывается", rc));
    }
    Status schema = checkSchema();
    if (!schema.isOk()) return abandon(schema);
    if (readOnly) {
        Status integrity = check();
        if (!integrity.isOk()) return abandon(integrity);
    }
    stmts_ = std::make_unique<Statements>();
    const std::string table = sqlName(def_->label);
    const std::string cols = columnList(*def_);
    std::string params, sets;
    for (size_t i = 0; i < def_->fields.size(); ++i) {
        params += i ? ", ?" : "?";
        sets += (i ? ", " : "") + sqlName(def_->fields[i].column()) + " = ?";
    }
    Status st;
    if (!readOnly) {
        if (st = prepare(&stmts_->insert, "INSERT INTO " + table + " (" + cols + ") VALUES (" + params + ")"); !st) {
            return abandon(st);
        }
        if (st = prepare(&stmts_->update, "UPDATE " + table + " SET " + sets + " WHERE rowid = ?"); !st) {
            return abandon(st);
        }
        if (st = prepare(&stmts_->remove, "DELETE FROM " + table + " WHERE rowid = ?"); !st) return abandon(st);
    }
    if (st = prepare(&stmts_->get, "SELECT rowid, " + cols + " FROM " + table + " WHERE rowid = ?"); !st) {
        return abandon(st);
    }
    if (st = prepare(&stmts_->count, "SELECT count(*) FROM " + table); !st) return abandon(st);
    openCount_ = 1;
    return Status::ok();
}

void KeyedFile::close() {
    if (openCount_ == 0) return;
    if (--openCount_ > 0) return;
    while (txDepth_ > 0) rollback();
    stmts_->finalizeAll();
    stmts_.reset();
    sqlite3_close(db_);
    db_ = nullptr;
    if (mode_ != OpenMode::Foreign) releaseOpenLock(path_, mode_ == OpenMode::Exclusive);
}

Status KeyedFile::checkSchema() {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, "SELECT sql FROM sqlite_schema ORDER BY rowid", -1, &stmt, nullptr);
    if (rc != SQLITE_OK) return sqliteFail("не открывается", rc);
    std::vector<std::string> found;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const unsigned char* sql = sqlite3_column_text(stmt, 0);
        found.emplace_back(sql ? reinterpret_cast<const char*>(sql) : "");
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) return sqliteFail("не открывается", rc);
    std::vector<std::string> expected = def_->createStatements();
    hasDescription_ = false;
    if (def_->keys.empty() && found.size() == expected.size() + 1 && found.back() == kDescriptionSql) {
        found.pop_back();
        hasDescription_ = true;
    }
    if (found != expected) {
        return fail(ErrorKind::SchemaMismatch,
                    "структура таблицы не соответствует описанию файла " + def_->label);
    }
    return Status::ok();
}

Status KeyedFile::writeDescription(const Description& lines) {
    if (!isOpen() || mode_ == OpenMode::Foreign || !def_->keys.empty()) {
        return fail(ErrorKind::Invalid, "описание не записывается");
    }
    Status st = begin();
    if (!st) return st;
    std::string sql = hasDescription_ ? "DELETE FROM description;" : std::string(kDescriptionSql) + ";";
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        rollback();
        return sqliteFail("описание не записано", rc);
    }
    hasDescription_ = true;
    sqlite3_stmt* stmt = nullptr;
    rc = sqlite3_prepare_v2(db_, "INSERT INTO description (name, value) VALUES (?, ?)", -1, &stmt, nullptr);
    for (const auto& [name, value] : lines) {
        if (rc != SQLITE_OK) break;
        sqlite3_bind_text(stmt, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK) {
        st = sqliteFail("описание не записано", rc);
        rollback();
        return st;
    }
    return commit();
}

Status KeyedFile::readDescription(Description& lines) {
    lines.clear();
    if (!isOpen()) return fail(ErrorKind::Invalid, "файл не открыт");
    if (!hasDescription_) return Status::ok();
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, "SELECT name, value FROM description ORDER BY rowid", -1, &stmt, nullptr);
    if (rc != SQLITE_OK) return sqliteFail("описание не читается", rc);
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        // Text only: a file from outside may put anything in the table.
        if (sqlite3_column_type(stmt, 0) != SQLITE_TEXT || sqlite3_column_type(stmt, 1) != SQLITE_TEXT) {
            rc = SQLITE_MISMATCH;
            break;
        }
        lines.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                           reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        lines.clear();
        return fail(ErrorKind::Damaged, "описание файла повреждено");
    }
    return Status::ok();
}

Status KeyedFile::prepare(sqlite3_stmt** stmt, const std::string& sql) {
    int rc = sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, stmt, nullptr);
    return rc == SQLITE_OK ? Status::ok() : sqliteFail("ошибка запроса", rc);
}

void KeyedFile::bindRecord(sqlite3_stmt* stmt, const Record& record, int firstParam) {
    std::string& blob = stmts_->scratch;
    for (size_t i = 0; i < def_->fields.size(); ++i) {
        const auto& f = def_->fields[i];
        const int p = firstParam + static_cast<int>(i);
        const int fi = static_cast<int>(i);
        if (f.isText()) {
            const std::string& t = record.text(fi);
            sqlite3_bind_text(stmt, p, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        } else if (f.dim > 1) {
            encodeArray(record.elements(fi), f.dim, blob);
            sqlite3_bind_blob(stmt, p, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
        } else if (f.type == FieldType::Real) {
            sqlite3_bind_double(stmt, p, record.real(fi));
        } else {
            sqlite3_bind_int64(stmt, p, record.num(fi));
        }
    }
}

void KeyedFile::readRow(sqlite3_stmt* stmt, Record& record, const std::vector<int>& fields) {
    record.position = sqlite3_column_int64(stmt, 0);
    const bool strict = mode_ == OpenMode::Foreign;
    const size_t count = fields.empty() ? def_->fields.size() : fields.size();
    if (!fields.empty()) record.clear();
    for (size_t i = 0; i < count; ++i) {
        const int fi = fields.empty() ? static_cast<int>(i) : fields[i];
        const auto& f = def_->fields[fi];
        const int col = static_cast<int>(i) + 1;
        // Our own files hold what we wrote; a file from outside may hold
        // anything SQLite's loose typing lets in.
        const int type = strict ? sqlite3_column_type(stmt, col) : -1;
        bool good = true;
        if (f.isText()) {
            good = !strict || type == SQLITE_TEXT;
            const unsigned char* t = sqlite3_column_text(stmt, col);
            record.setText(fi, t ? std::string_view(reinterpret_cast<const char*>(t),
                                                    static_cast<size_t>(sqlite3_column_bytes(stmt, col)))
                                 : std::string_view());
        } else if (f.dim > 1) {
            const void* data = sqlite3_column_blob(stmt, col);
            int64_t* values = record.elements(fi);
            good = (!strict || type == SQLITE_BLOB) && decodeArray(static_cast<const unsigned char*>(data),
                                                      sqlite3_column_bytes(stmt, col), values, f.dim);
            if (!good) std::fill(values, values + f.dim, 0);
        } else if (f.type == FieldType::Real) {
            good = !strict || type == SQLITE_FLOAT || type == SQLITE_INTEGER;
            record.setReal(fi, sqlite3_column_double(stmt, col));
        } else {
            good = !strict || type == SQLITE_INTEGER;
            record.setNum(fi, sqlite3_column_int64(stmt, col));
        }
        if (!good) {
            fail(ErrorKind::Damaged, "запись " + std::to_string(record.position) + ": поле " + f.name + " повреждено");
            return;
        }
    }
    if (strict) {
        Status valid = record.validate();
        if (!valid.isOk()) {
            fail(ErrorKind::Damaged, "запись " + std::to_string(record.position) + ": " + valid.message());
            return;
        }
    }
    last_ = Status::ok();
}

Status KeyedFile::add(Record& record) {
    if (!isOpen()) return fail(ErrorKind::Io, "файл не открыт");
    if (mode_ == OpenMode::Foreign) return fail(ErrorKind::Invalid, "файл открыт только для чтения");
    if (Status valid = record.validate(); !valid.isOk()) return fail(ErrorKind::Invalid, valid.message());
    sqlite3_stmt* s = stmts_->insert;
    bindRecord(s, record, 1);
    int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) {
        if (rc == SQLITE_CONSTRAINT_UNIQUE) {
            // Name the key whose columns SQLite reports.
            std::string msg = sqlite3_errmsg(db_);
            for (const auto& k : def_->keys) {
                if (!k.unique) continue;
                std::string cols;
                for (size_t i = 0; i < k.fields.size(); ++i) {
                    cols += (i ? ", " : "") + def_->label + "." + std::string(def_->fields[k.fields[i]].column());
                }
                if (msg.size() >= cols.size() && msg.compare(msg.size() - cols.size(), cols.size(), cols) == 0) {
                    return fail(ErrorKind::Duplicate, "запись с таким значением ключа " + k.name + " уже есть");
                }
            }
        }
        return sqliteFail("запись не добавлена", rc);
    }
    record.position = sqlite3_last_insert_rowid(db_);
    last_ = Status::ok();
    return last_;
}

Status KeyedFile::update(const Record& record) {
    if (!isOpen()) return fail(ErrorKind::Io, "файл не открыт");
    if (mode_ == OpenMode::Foreign) return fail(ErrorKind::Invalid, "файл открыт только для чтения");
    if (Status valid = record.validate(); !valid.isOk()) return fail(ErrorKind::Invalid, valid.message());
    sqlite3_stmt* s = stmts_->update;
    bindRecord(s, record, 1);
    sqlite3_bind_int64(s, static_cast<int>(def_->fields.size()) + 1, record.position);
    int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc == SQLITE_CONSTRAINT_UNIQUE) return fail(ErrorKind::Duplicate, "запись с таким значением ключа уже есть");
    if (rc != SQLITE_DONE) return sqliteFail("запись не изменена", rc);
    if (sqlite3_changes(db_) == 0) {
        return fail(ErrorKind::NoRecord, "нет записи " + std::to_string(record.position));
    }
    last_ = Status::ok();
    return last_;
}

Status KeyedFile::remove(int64_t position) {
    if (!isOpen()) return fail(ErrorKind::Io, "файл не открыт");
    if (mode_ == OpenMode::Foreign) return fail(ErrorKind::Invalid, "файл открыт только для чтения");
    sqlite3_stmt* s = stmts_->remove;
    sqlite3_bind_int64(s, 1, position);
    int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return sqliteFail("запись не удалена", rc);
    if (sqlite3_changes(db_) == 0) return fail(ErrorKind::NoRecord, "нет записи " + std::to_string(position));
    last_ = Status::ok();
    return last_;
}

Status KeyedFile::get(int64_t position, Record& record) {
    if (!isOpen()) return fail(ErrorKind::Io, "файл не открыт");
    sqlite3_stmt* s = stmts_->get;
    sqlite3_bind_int64(s, 1, position);
    int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) {
        readRow(s, record, {});
        sqlite3_reset(s);
        return last_;
    }
    sqlite3_reset(s);
    if (rc == SQLITE_DONE) return fail(ErrorKind::NoRecord, "нет записи " + std::to_string(position));
    return sqliteFail("ошибка чтения", rc);
}

int64_t KeyedFile::count() {
    if (!isOpen()) {
        fail(ErrorKind::Io, "файл не открыт");
        return -1;
    }
    sqlite3_stmt* s = stmts_->count;
    int rc = sqlite3_step(s);
    int64_t n = rc == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
    sqlite3_reset(s);
    if (n < 0) sqliteFail("ошибка чтения", rc);
    return n;
}

std::string KeyedFile::selectSql(const std::vector<int>& fields) const {
    std::string cols;
    if (fields.empty()) {
        cols = columnList(*def_);
    } else {
        for (size_t i = 0; i < fields.size(); ++i) cols += (i ? ", " : "") + sqlName(def_->fields[fields[i]].column());
    }
    return "SELECT rowid, " + cols + " FROM " + sqlName(def_->label);
}

Cursor KeyedFile::makeCursor(const std::string& sql, const std::vector<std::string>* textValues,
                             const std::vector<int64_t>* numValues, const KeyDef* key, std::vector<int> fields) {
    if (!isOpen()) return Cursor(this, nullptr, fail(ErrorKind::Io, "файл не открыт"), {});
    sqlite3_stmt* stmt = nullptr;
    auto idle = stmts_->idle.find(sql);
    if (idle != stmts_->idle.end()) {
        stmt = idle->second;
        stmts_->idle.erase(idle);
    } else {
        Status st = prepare(&stmt, sql);
        if (!st.isOk()) return Cursor(this, nullptr, st, {});
        stmts_->all.push_back(stmt);
    }
    size_t n = textValues ? textValues->size() : (numValues ? numValues->size() : 0);
    for (size_t i = 0; i < n; ++i) {
        const int p = static_cast<int>(i) + 1;
        if (numValues) {
            sqlite3_bind_int64(stmt, p, (*numValues)[i]);
            continue;
        }
        const std::string& v = (*textValues)[i];
        const auto& f = def_->fields[key->fields[i]];
        if (f.isText()) {
            sqlite3_bind_text(stmt, p, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        } else {
            char* end = nullptr;
            errno = 0;
            long long value = std::strtoll(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || errno != 0) {
                sqlite3_clear_bindings(stmt);
                stmts_->idle.emplace(sql, stmt);
                return Cursor(this, nullptr, fail(ErrorKind::Invalid, "значение ключа \"" + v + "\" не число"), {});
            }
            sqlite3_bind_int64(stmt, p, value);
        }
    }
    return Cursor(this, stmt, Status::ok(), std::move(fields));
}

Cursor KeyedFile::byPosition(int64_t from, Direction dir, const std::vector<int>& fields) {
    const std::string base = selectSql(fields);
    std::vector<int64_t> values;
    std::string sql;
    if (dir == Direction::Forward) {
        sql = base + " WHERE rowid >= ? ORDER BY rowid";
        values.push_back(from);
    } else if (from > 0) {
        sql = base + " WHERE rowid <= ? ORDER BY rowid DESC";
        values.push_back(from);
    } else {
        sql = base + " ORDER BY rowid DESC";
    }
    return makeCursor(sql, nullptr, &values, nullptr, fields);
}

namespace {
std::string keySql(std::string sql, const FileDef& def, const KeyDef& key, size_t n, Direction dir, const char* op) {
    if (n > 0) {
        std::string cond = tuple(def, key, n);
        cond.replace(cond.find("%OP%"), 4, op);
        sql += " WHERE " + cond;
    }
    return sql + " ORDER BY " + keyOrder(def, key, dir == Direction::Backward);
}
}  // namespace

Cursor KeyedFile::byKey(const KeyDef& key, const std::vector<int64_t>& from, Direction dir,
                         const std::vector<int>& fields) {
    const size_t n = std::min(from.size(), key.fields.size());
    std::vector<int64_t> values(from.begin(), from.begin() + static_cast<long>(n));
    return makeCursor(keySql(selectSql(fields), *def_, key, n, dir, dir == Direction::Forward ? ">=" : "<="), nullptr,
                      &values, &key, fields);
}

Cursor KeyedFile::byKeyText(const KeyDef& key, const std::vector<std::string>& from, Direction dir) {
    const size_t n = std::min(from.size(), key.fields.size());
    std::vector<std::string> values(from.begin(), from.begin() + static_cast<long>(n));
    return makeCursor(keySql(selectSql({}), *def_, key, n, dir, dir == Direction::Forward ? ">=" : "<="), &values,
                      nullptr, &key, {});
}

Cursor KeyedFile::firstOfGroups(const KeyDef& key, int64_t low, int64_t high, const std::vector<int>& fields) {
    if (!key.unique || key.fields.size() < 2) {
        return Cursor(this, nullptr, fail(ErrorKind::Invalid, "ключ " + key.name + " не подходит для групп"), {});
    }
    // A skip scan over the key's index: each step seeks the first entry past
    // the group before, which is the next group's first record, so a month of
    // 300 reports costs 300 seeks however many rows each report has. The
    // seek past (g1, …, gk) is tried level by level (g1 … gk-1 equal and gk
    // greater, …, g1 greater), as each level is a plain range of the index,
    // which a row-value comparison against the recursion's values is not.
    const std::string table = sqlName(def_->label);
    const size_t k = key.fields.size() - 1;
    std::vector<std::string> col;
    for (int f : key.fields) col.push_back(sqlName(def_->fields[f].column()));
    std::string order, carried, firstGroup, nextGroup;
    for (size_t i = 0; i < col.size(); ++i) order += (i ? ", i." : "i.") + col[i];
    for (size_t i = 0; i < k; ++i) {
        carried += ", c" + std::to_string(i + 1);
        firstGroup += ", i." + col[i];
        nextGroup += ", x." + col[i];
    }
    std::string seeks;
    for (size_t level = k; level >= 1; --level) {
        std::string where;
        for (size_t i = 0; i + 1 < level; ++i) where += "i." + col[i] + " = g.c" + std::to_string(i + 1) + " AND ";
        where += "i." + col[level - 1] + " > g.c" + std::to_string(level);
        if (level == 1) where += " AND i." + col[0] + " <= ?2";
        seeks += std::string(seeks.empty() ? "" : ", ") + "(SELECT i.rowid FROM " + table + " i WHERE " + where +
                 " ORDER BY " + order + " LIMIT 1)";
    }
    std::string cols;
    const size_t count = fields.empty() ? def_->fields.size() : fields.size();
    for (size_t i = 0; i < count; ++i) {
        cols += ", t." + sqlName(def_->fields[fields.empty() ? static_cast<int>(i) : fields[i]].column());
    }
    const std::string first = "SELECT * FROM (SELECT i.rowid" + firstGroup + " FROM " + table + " i WHERE i." +
                              col[0] + " BETWEEN ?1 AND ?2 ORDER BY " + order + " LIMIT 1)";
    const std::string next = "SELECT x.rowid" + nextGroup + " FROM g JOIN " + table + " x ON x.rowid = " +
                             (k > 1 ? "coalesce(" + seeks + ")" : seeks);
    const std::string sql = "WITH RECURSIVE g(r" + carried + ") AS (" + first + " UNION ALL " + next +
                            ") SELECT t.rowid" + cols + " FROM g JOIN " + table + " t ON t.rowid = g.r";
    const std::vector<int64_t> values{low, high};
    return makeCursor(sql, nullptr, &values, &key, fields);
}

Cursor KeyedFile::equal(const KeyDef& key, const std::vector<int64_t>& values, const std::vector<int>& fields) {
    const size_t n = std::min(values.size(), key.fields.size());
    std::vector<int64_t> v(values.begin(), values.begin() + static_cast<long>(n));
    return makeCursor(keySql(selectSql(fields), *def_, key, n, Direction::Forward, "="), nullptr, &v, &key, fields);
}

Status KeyedFile::begin() {
    if (!isOpen()) return fail(ErrorKind::Io, "файл не открыт");
    if (txDepth_ == 0) {
        // IMMEDIATE takes the write lock now, so a busy file is found before
        // any change is made rather than at the commit.
        int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return sqliteFail("изменение не начато", rc);
        txFailed_ = false;
    }
    ++txDepth_;
    return Status::ok();
}

Status KeyedFile::commit() {
    if (txDepth_ == 0) return fail(ErrorKind::Io, "нет начатого изменения");
    if (--txDepth_ > 0) return Status::ok();
    if (txFailed_) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return fail(ErrorKind::Io, "изменение отменено");
    }
    int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        Status st = sqliteFail("изменение не записано", rc);
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return st;
    }
    return Status::ok();
}

void KeyedFile::rollback() {
    if (txDepth_ == 0) return;
    if (--txDepth_ > 0) {
        txFailed_ = true;
        return;
    }
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

Status KeyedFile::rebuildKeys() {
    if (!isOpen()) return fail(ErrorKind::Io, "файл не открыт");
    if (mode_ != OpenMode::Exclusive) return fail(ErrorKind::Locked, "ключи перестраиваются только при монопольном доступе");
    int rc = sqlite3_exec(db_, ("REINDEX " + sqlName(def_->label)).c_str(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? Status::ok() : sqliteFail("ключи не перестроены", rc);
}

Status KeyedFile::check() {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &stmt, nullptr);
    if (rc != SQLITE_OK) return sqliteFail("файл поврежден", rc);
    std::string result;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const unsigned char* t = sqlite3_column_text(stmt, 0);
        if (!result.empty()) result += "; ";
        result += t ? reinterpret_cast<const char*>(t) : "";
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) return sqliteFail("файл поврежден", rc);
    if (result != "ok") return fail(ErrorKind::Damaged, "файл поврежден: " + result);
    return Status::ok();
}

}  // namespace tavir::platform
