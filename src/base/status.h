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

class [[nodiscard]] Status {
  public:
    enum class Kind {
        kOk,
        kInvalid,     // a refused value: nothing was changed
        kNotFound,    // a file or record that should be there is not
        kCorruption,  // a file whose size or content cannot be right
        kIoError,     // a read or write that failed part way
        kBusy,        // another program holds what we need
        kFinished,    // a search that ended without (more) matches: not an error
    };
    // What callers branch on; never the message or the title text.
    enum class Code {
        kNone,
        kItemMissing,  // a posted line names an item that is not on file
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
    // The end of a search, shown as information with the title "Finished".
    static Status finished(std::string message) {
        return Status(Kind::kFinished, std::move(message), kTitleFinished);
    }

    Status withCode(Code code) const {
        Status s = *this;
        s.m_code = code;
        return s;
    }

    bool isOk() const { return m_kind == Kind::kOk; }
    explicit operator bool() const { return isOk(); }
    Kind kind() const { return m_kind; }
    Code code() const { return m_code; }
    // Shown as "Fatal error": a data file missing or damaged.
    bool fatal() const { return m_fatal; }
    bool finished() const { return m_kind == Kind::kFinished; }
    const std::string& message() const { return m_message; }
    const std::string& title() const { return m_title; }

  private:
    Status(Kind kind, std::string message, std::string title)
        : m_kind(kind),
          m_fatal(title == kTitleFatal),
          m_message(std::move(message)),
          m_title(std::move(title)) {}

    Kind m_kind = Kind::kOk;
    Code m_code = Code::kNone;
    bool m_fatal = false;
    std::string m_message;
    std::string m_title;
};

}  // namespace kassio
