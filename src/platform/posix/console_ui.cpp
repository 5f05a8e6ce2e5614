#include "platform/posix/console_ui.h"

#include <unistd.h>

#include <cstdlib>

#include "base/win1252.h"

namespace kassio {

std::optional<std::string> ConsoleUi::readLine() {
    if (!m_in || !::isatty(::fileno(m_in))) return std::nullopt;
    std::string line;
    int c;
    while ((c = std::fgetc(m_in)) != EOF && c != '\n') line += static_cast<char>(c);
    if (c == EOF && line.empty()) return std::nullopt;
    return utf8ToWin1252(line);
}

Ui::Answer ConsoleUi::message(const std::string& text, const std::string& title, Icon,
                              Buttons buttons) {
    std::fprintf(m_out, "%s: %s\n", win1252ToUtf8(title).c_str(), win1252ToUtf8(text).c_str());
    if (buttons == Buttons::kOk) return Answer::kOk;
    std::fprintf(m_out, buttons == Buttons::kOkCancel ? "[ok/cancel] " : "[yes/no] ");
    std::fflush(m_out);
    auto line = readLine();
    bool yes = line && (*line == "y" || *line == "yes" || *line == "ok");
    if (buttons == Buttons::kOkCancel) return yes ? Answer::kOk : Answer::kCancel;
    if (!line && buttons == Buttons::kYesNoCancel) return Answer::kCancel;
    return yes ? Answer::kYes : Answer::kNo;
}

std::optional<std::string> ConsoleUi::prompt(const std::string& caption, const std::string&) {
    std::fprintf(m_out, "%s ", win1252ToUtf8(caption).c_str());
    std::fflush(m_out);
    auto line = readLine();
    if (!line || line->empty()) return std::nullopt;
    return line;
}

std::optional<int> ConsoleUi::pickFromList(const std::string& title,
                                           const std::vector<std::string>& entries) {
    std::fprintf(m_out, "%s\n", win1252ToUtf8(title).c_str());
    for (std::size_t i = 0; i < entries.size(); ++i)
        std::fprintf(m_out, "%4zu  %s\n", i + 1, win1252ToUtf8(entries[i]).c_str());
    auto line = readLine();
    if (!line) return std::nullopt;
    int pick = std::atoi(line->c_str());
    if (pick < 1 || static_cast<std::size_t>(pick) > entries.size()) return std::nullopt;
    return pick - 1;
}

}  // namespace kassio
