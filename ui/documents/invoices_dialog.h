// The "Invoices" dialog: the custom invoice's line numbers and switches,
// the standard invoice's logo, and "Select logo bitmap file".
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "documents/invoice_settings.h"

namespace kassio {

class InvoicesDialog final : public QDialog {
    Q_OBJECT
  public:
    // selectLogo: asked for a bitmap and installs it (the dialog stays open).
    static std::optional<InvoiceSettings> run(QWidget* parent, const InvoiceSettings& start,
                                              std::function<void()> selectLogo);

  private:
    InvoicesDialog(QWidget* parent, const InvoiceSettings& start, std::function<void()> selectLogo);
    InvoiceSettings read() const;
};

}  // namespace kassio
