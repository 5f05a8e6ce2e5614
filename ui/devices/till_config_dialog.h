// The "Till configuration" page: the drawer's connection, port, open
// character and repeat, the printer control sequence and the read-only list
// of receipt printers' codes.
#pragma once

#include <QDialog>
#include <optional>

#include "devices/till_drawer.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kassio {

class TillConfigDialog final : public QDialog {
    Q_OBJECT
  public:
    static std::optional<TillConfigPage> run(QWidget* parent, const TillConfigPage& page);

  private:
    TillConfigDialog(QWidget* parent, const TillConfigPage& page);
    TillConfigPage read() const;

    QRadioButton *m_direct, *m_printer;
    QComboBox* m_port;
    QLineEdit *m_character, *m_repeat, *m_sequence;
    QCheckBox* m_automatic;
};

}  // namespace kassio
