// A Ui that records every message and answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace kassio::test {

class ScriptedUi final : public Ui {
  public:
    struct Shown {
        std::string text;
        std::string title;
    };

    Answer message(const std::string& text, const std::string& title, Icon,
                   Buttons buttons) override {
        shown.push_back({text, title});
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == Buttons::kOk ? Answer::kOk : Answer::kNo;
    }
    std::optional<std::string> prompt(const std::string& caption, const std::string&) override {
        prompts.push_back(caption);
        if (replies.empty()) return std::nullopt;
        std::string r = replies.front();
        replies.pop_front();
        if (r.empty()) return std::nullopt;
        return r;
    }
    std::optional<int> pickFromList(const std::string& title,
                                    const std::vector<std::string>& entries) override {
        lists.push_back({title, entries});
        if (picks.empty()) return std::nullopt;
        int p = picks.front();
        picks.pop_front();
        return p;
    }

    std::vector<Shown> shown;
    std::vector<std::string> prompts;
    std::vector<std::pair<std::string, std::vector<std::string>>> lists;
    std::deque<Answer> answers;
    std::deque<std::string> replies;
    std::deque<int> picks;
};

}  // namespace kassio::test
