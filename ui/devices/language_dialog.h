// "Language customization": the receipt and invoice words of a language and
// the shop's own wording of them.
#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "devices/language_customization.h"

class QComboBox;
class QLineEdit;

namespace kassio {

class LanguageDialog final : public QDialog {
    Q_OBJECT
  public:
    // The dialog's state at "OK", for StationDevices::applyLanguage().
    static std::optional<LanguageCustomization> run(QWidget* parent,
                                                    const LanguageCustomization& start);

  private:
    LanguageDialog(QWidget* parent, const LanguageCustomization& start);
    void showWords();
    void takeEdits();

    LanguageCustomization m_model;
    QComboBox* m_language;
    std::array<QLineEdit*, kCustomWordCount> m_builtIn{};
    std::array<QLineEdit*, kCustomWordCount> m_current{};
};

}  // namespace kassio
