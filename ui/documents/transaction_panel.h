// The "Transaction" panel of the Transactions menu: a posted transaction
// loaded into the Basket, its fields, "&Next", and its reprints. OK, Esc
// and closing the window all clear the Basket again.
#pragma once

#include <QDialog>
#include <functional>

#include "devices/print_document.h"
#include "till/transaction_viewer.h"

class QComboBox;
class QLabel;

namespace kassio {

class TransactionPanel final : public QDialog {
    Q_OBJECT
  public:
    using PrintFn = std::function<void(DocumentKind)>;

    // Shows the transaction the viewer holds (already in basket) until the
    // panel is closed, then clears the basket.
    static void run(QWidget* parent, TransactionViewer& viewer, Basket& basket, PrintFn print);

  private:
    TransactionPanel(QWidget* parent, TransactionViewer& viewer, Basket& basket, PrintFn print);
    void fill();

    TransactionViewer& m_viewer;
    Basket& m_basket;
    PrintFn m_print;
    std::vector<std::pair<const char*, QLabel*>> m_fields;
    QComboBox* m_inventory = nullptr;
};

}  // namespace kassio
