// The outcome of a core operation that can fail in an expected way.
//
// A failure carries the system's own message and the title of the box it is
// shown in ("Problem", "Fatal error", ...). The core never shows it; the
// caller hands it to the Ui port once the DataMutex has been released.
#pragma once

#include <string>
#include <utility>

namespace kassio {

inline constexpr const char* kTitleProblem = "Problem";
inline constexpr const char* kTitleFatal = "Fatal error";
inline constexpr const char* kTitleFinished = "Finished";

class Status {
public:
    enum class Kind {
        kOk,
        kInvalid,     // a refused value: nothing was changed
        kNotFound,    // a file or record that should be there is not
        kCorruption,  // a file whose size or content cannot be right
        kIoError,     // a read or write that failed part way
        kBusy,        // another program holds what we need
    };

    Status() = default;
    static Status ok() { return Status(); }
    static Status invalid(std::string message, std::string title = kTitleProblem) {
        return Status(Kind::kInvalid, std::move(message), std::move(title));
    }
    static Status notFound(std::string message, std::string title = kTitleFatal) {
        return Status(Kind::kNotFound, std::move(message), std::move(title));
    }
    static Status corruption(std::string message, std::string title = kTitleFatal) {
        return Status(Kind::kCorruption, std::move(message), std::move(title));
    }
    static Status ioError(std::string message, std::string title = kTitleProblem) {
        return Status(Kind::kIoError, std::move(message), std::move(title));
    }
    static Status busy(std::string message, std::string title = kTitleProblem) {
        return Status(Kind::kBusy, std::move(message), std::move(title));
    }

    bool isOk() const { return m_kind == Kind::kOk; }
    explicit operator bool() const { return isOk(); }
    Kind kind() const { return m_kind; }
    const std::string& message() const { return m_message; }
    const std::string& title() const { return m_title; }

private:
    Status(Kind kind, std::string message, std::string title)
        : m_kind(kind), m_message(std::move(message)), m_title(std::move(title)) {}

    Kind m_kind = Kind::kOk;
    std::string m_message;
    std::string m_title;
};

}  // namespace kassio
