// Outcome of an operation that can fail: success, or a kind and a message
// for the user. Core procedures return it instead of throwing.
#pragma once

#include <string>
#include <utility>

namespace tavir::platform {

enum class ErrorKind {
    None,
    NotFound,        // the file does not exist
    Locked,          // held by another user, or busy beyond the timeout
    Damaged,         // not a database, corrupt pages or keys
    SchemaMismatch,  // the table does not match the dictionary
    Duplicate,       // a unique key refused the record
    NoRecord,        // no record at that position
    Invalid,         // a value does not fit its field, bad input
    Io,              // any other failure of the system
    NotShown,        // the file is written, but no program could show it
};

class Status {
public:
    Status() = default;
    static Status ok() { return {}; }
    static Status fail(ErrorKind kind, std::string message) { return Status(kind, std::move(message)); }

    bool isOk() const { return kind_ == ErrorKind::None; }
    explicit operator bool() const { return isOk(); }
    ErrorKind kind() const { return kind_; }
    const std::string& message() const { return message_; }

private:
    Status(ErrorKind kind, std::string message) : kind_(kind), message_(std::move(message)) {}
    ErrorKind kind_ = ErrorKind::None;
    std::string message_;
};

}  // namespace tavir::platform
