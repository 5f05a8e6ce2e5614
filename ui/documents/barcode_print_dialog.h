// The "Barcode print" window: the label job's entries, source, format,
// symbol, price, store and text size. OK gives the settings back; the
// command reads and prints them.
#pragma once

#include <QDialog>
#include <optional>

#include "documents/barcode_labels.h"

namespace kassio {

class BarcodePrintDialog final : public QDialog {
    Q_OBJECT
  public:
    static std::optional<LabelSettings> run(QWidget* parent, const LabelSettings& start);

  private:
    BarcodePrintDialog(QWidget* parent, const LabelSettings& start);
    LabelSettings read() const;
    void show(const LabelSettings& s);

    LabelSettings m_settings;
};

}  // namespace kassio
