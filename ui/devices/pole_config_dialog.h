// The "Pole configuration" page, with "Preview".
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "devices/pole_display.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace kassio {

class PoleConfigDialog final : public QDialog {
    Q_OBJECT
  public:
    // preview stores the page's current values and shows the passive text
    // with them; it is called by "Preview" while the page is open.
    static std::optional<PolePage> run(QWidget* parent, const PolePage& page,
                                       std::function<void(const PolePage&)> preview);

  private:
    PoleConfigDialog(QWidget* parent, const PolePage& page,
                     std::function<void(const PolePage&)> preview);
    PolePage read() const;

    QCheckBox* m_use;
    QComboBox *m_port, *m_baud, *m_parity, *m_dataBits, *m_stopBits;
    QSpinBox *m_columns1, *m_columns2;
    QLineEdit *m_passive, *m_on, *m_off, *m_clear, *m_first, *m_second;
};

}  // namespace kassio
