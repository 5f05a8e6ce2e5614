// The "Custom receipt" dialog: a line number per receipt element, the free
// texts, the cutter and the layout options.
#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "devices/receipt_pages.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kassio {

class CustomReceiptDialog final : public QDialog {
    Q_OBJECT
  public:
    static std::optional<CustomReceiptPage> run(QWidget* parent, const CustomReceiptPage& page);

  private:
    CustomReceiptDialog(QWidget* parent, const CustomReceiptPage& page);
    CustomReceiptPage read() const;

    std::array<QLineEdit*, kReceiptElementCount> m_lines{};
    QLineEdit* m_note;
    std::array<QLineEdit*, 3> m_texts{};
    QLineEdit* m_cutter;
    QComboBox *m_cutterPort, *m_blank;
    QRadioButton *m_excluding, *m_including;
    QCheckBox *m_centred, *m_exempt, *m_logo, *m_barcode, *m_second;
    QString m_headerNote;
};

}  // namespace kassio
