// Ui adapter for the headless programs: messages go to standard error as
// "title: text". Questions are answered from standard input when it is a
// terminal and with "No"/Cancel otherwise, so a script never hangs.
#pragma once

#include <cstdio>

#include "platform/ui.h"

namespace kassio {

class ConsoleUi final : public Ui {
  public:
    explicit ConsoleUi(std::FILE* out = stderr, std::FILE* in = stdin) : m_out(out), m_in(in) {}

    Answer message(const std::string& text, const std::string& title, Icon icon,
                   Buttons buttons) override;
    std::optional<std::string> prompt(const std::string& caption,
                                      const std::string& initial) override;
    std::optional<int> pickFromList(const std::string& title,
                                    const std::vector<std::string>& entries) override;

  private:
    std::optional<std::string> readLine();

    std::FILE* m_out;
    std::FILE* m_in;
};

}  // namespace kassio
