// A message an exchange operation leaves for the person at the screen,
// shown after the DataMutex has been let go.
#pragma once

#include <string>
#include <vector>

#include "base/status.h"

namespace kassio {

struct Notice {
    std::string text;
    std::string title;
    bool problem = false;  // shown as an error rather than as information
};

inline Notice noticeOf(const Status& s) {
    return {s.message(), s.title(), true};
}

// What a command that may rewrite the shop's files leaves behind: the
// messages in order, and whether the program must now end without its
// close-down writes (the files in memory no longer belong to the folder).
struct ExchangeOutcome {
    std::vector<Notice> notices;
    bool closeDown = false;
    bool failed() const {
        for (const Notice& n : notices)
            if (n.problem) return true;
        return false;
    }
};

inline ExchangeOutcome failure(const Status& s) {
    return {{noticeOf(s)}, false};
}

}  // namespace kassio
