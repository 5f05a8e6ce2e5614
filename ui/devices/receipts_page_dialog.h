// The "Receipts" configuration page: receipt printer, automatic receipt,
// copies, font, item style, logo, barcode, footer.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "devices/receipt_pages.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kassio {

class ReceiptsPageDialog final : public QDialog {
    Q_OBJECT
  public:
    // printers: the system's list; nullopt when it could not be read ("Unable
    // to get printers" is shown and only "Default" is offered). The logo is
    // copied into the DataFolder at once when one is selected.
    // printers: the CUPS queues and the PDF entry; listRead false when CUPS
    // could not be asked (the stored printer is then kept unless the PDF
    // entry is chosen).
    static std::optional<ReceiptsPage> run(QWidget* parent, const ReceiptsPage& page,
                                           const std::vector<PrinterInfo>& printers, bool listRead,
                                           StoreFiles& files);

  private:
    ReceiptsPageDialog(QWidget* parent, const ReceiptsPage& page,
                       const std::vector<PrinterInfo>& printers, StoreFiles& files);
    ReceiptsPage read() const;
    void selectLogo();

    StoreFiles& m_files;
    QComboBox *m_printer, *m_auto, *m_copies, *m_font;
    QCheckBox *m_omitConfirm, *m_kitchen, *m_singleLine, *m_centred, *m_logo, *m_pageWidth,
        *m_barcode, *m_exclusive, *m_limit, *m_wrap;
    QLineEdit* m_footer;
};

}  // namespace kassio
