// The answering side shared by the scripted back-office forms: replies
// taken one at a time from a queue, and FIND windows driven by a queue of
// button presses.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/form_button.h"

namespace kassio::test {

// The front of the queue, taken off it; nullopt when the queue is empty.
template <class T>
std::optional<T> takeNext(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T next = queue.front();
    queue.pop_front();
    return next;
}

// A FIND window: each scripted answer is one button press. kNext asks for
// the next match and records it; the window closes (kCancel) when there is
// none or the presses run out. Every match shown is added to shown.
template <class View>
FormButton pressFindButtons(std::deque<FormButton>& buttons, std::vector<View>& shown,
                            const View& first, const std::function<std::optional<View>()>& next) {
    shown.push_back(first);
    while (auto b = takeNext(buttons)) {
        if (*b != FormButton::kNext) return *b;
        auto v = next();
        if (!v) return FormButton::kCancel;
        shown.push_back(*v);
    }
    return FormButton::kCancel;
}

}  // namespace kassio::test
