// Port: everything the core asks of the person at the screen.
//
// Contract: no call through this port is made while the DataMutex is held;
// a box may wait for minutes and client stations must not wait with it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kassio {

class Ui {
  public:
    enum class Icon { kInformation, kWarning, kError, kQuestion };
    enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel };
    enum class Answer { kOk, kCancel, kYes, kNo };

    virtual ~Ui() = default;

    // A message box: one line of text under a short title.
    virtual Answer message(const std::string& text, const std::string& title, Icon icon,
                           Buttons buttons) = 0;

    // The one-line prompt panel; the prompt text is its caption. Cancel and an
    // empty answer both come back as nullopt.
    virtual std::optional<std::string> prompt(const std::string& caption,
                                              const std::string& initial = {}) = 0;

    // A list to pick one entry from; nullopt when the person cancels.
    virtual std::optional<int> pickFromList(const std::string& title,
                                            const std::vector<std::string>& entries) = 0;

    // Shortcuts for the common shapes.
    void inform(const std::string& text, const std::string& title) {
        message(text, title, Icon::kInformation, Buttons::kOk);
    }
    void error(const std::string& text, const std::string& title) {
        message(text, title, Icon::kError, Buttons::kOk);
    }
    bool confirm(const std::string& text, const std::string& title) {
        Answer a = message(text, title, Icon::kQuestion, Buttons::kYesNo);
        return a == Answer::kYes || a == Answer::kOk;
    }
};

}  // namespace kassio
