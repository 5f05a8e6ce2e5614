// The Ui port on Qt: modal message boxes, the one-line prompt and the pick
// list. Texts cross from Windows-1252 to the screen here and nowhere else.
#pragma once

#include <QWidget>

#include "platform/ui.h"

namespace kassio {

class QtUi final : public Ui {
  public:
    explicit QtUi(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    // Every message also to stderr ("kassio: TITLE: TEXT", UTF-8).
    void setEchoToStderr(bool echo) { m_echo = echo; }

    Answer message(const std::string& text, const std::string& title, Icon icon,
                   Buttons buttons) override;
    std::optional<std::string> prompt(const std::string& caption,
                                      const std::string& initial) override;
    std::optional<int> pickFromList(const std::string& title,
                                    const std::vector<std::string>& entries) override;

  private:
    QWidget* m_parent;
    bool m_echo = false;
};

QString toQt(const std::string& win1252);
std::string fromQt(const QString& text);

}  // namespace kassio
