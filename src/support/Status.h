#pragma once

#include <string>
#include <utility>

namespace pictora {

// What went wrong, in terms a front end can put into its user's language: the
// command line prints the English detail, the desktop program a Portuguese
// sentence chosen by the kind.
enum class ErrorKind {
    FileAccess,        // the file system refused to open, read, create or write a file
    DamagedFile,       // a file's contents are damaged, truncated or not of the kind expected
    UnsupportedImage,  // an image this program does not read: not RGB, or too large
    OutOfMemory,       // not enough memory for the job
    NoImage,           // the operation needs a loaded image
    NothingCoded,      // there is no coded result to write yet
    BlockTooLarge,     // a block does not fit a channel's plane
    CodebookMismatch,  // a stored codebook cannot code the loaded image
    InvalidSetting,    // a parameter the engine cannot use
    CodecFailure,      // a library of a reference codec failed
    Busy,              // the worker is still running another command
};

// The outcome of an operation that can fail for a reason the user must read:
// success, or a failure carrying its kind and a one-line English detail.
class [[nodiscard]] Status {
public:
    static Status Ok() { return Status(); }
    static Status Error(ErrorKind kind, std::string detail) { return Status(kind, std::move(detail)); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    ErrorKind kind() const { return kind_; }
    // The English detail, e.g. "photo.png: not an RGB PNG (colour type 6)".
    const std::string& message() const { return message_; }

    // The file the failure concerns, when one does; empty otherwise.
    const std::string& subject() const { return subject_; }

    // The same failure with "context: " before its detail (success stays success).
    Status Prefixed(const std::string& context) const {
        if (!failed_) return *this;
        Status prefixed = *this;
        prefixed.message_ = context + ": " + message_;
        return prefixed;
    }
    // The same failure concerning the file at `path`: named before the detail
    // and kept as the subject (the first file named stays the subject).
    Status About(const std::string& path) const {
        Status about = Prefixed(path);
        if (failed_ && about.subject_.empty()) about.subject_ = path;
        return about;
    }
    // The failure's subject set to `path`, the detail left as it is (for
    // details that already name the file).
    Status Concerning(const std::string& path) const {
        Status concerning = *this;
        if (failed_ && concerning.subject_.empty()) concerning.subject_ = path;
        return concerning;
    }

private:
    Status() = default;
    Status(ErrorKind kind, std::string message) : failed_(true), kind_(kind), message_(std::move(message)) {}

    bool failed_ = false;
    ErrorKind kind_ = ErrorKind::DamagedFile;
    std::string message_;
    std::string subject_;
};

}  // namespace pictora
