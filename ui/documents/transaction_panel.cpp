#include "ui/documents/transaction_panel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "ui/devices/qt_text.h"

namespace kassio {

namespace {

// The captions, in the order the panel shows them.
constexpr const char* kCaptions[] = {
    "Number",   "Date",         "Time",        "Clerk",   "Items",     "Discount",
    "Customer", "Payment type", "Non taxable", "Taxable", "Sub total", "Tax 1",
    "Tax 2",    "Total",        "Cash back",   "Notes",   "Type",      "Terminal"};

const std::string& fieldOf(const TransactionFields& f, const std::string& caption) {
    const std::pair<const char*, const std::string*> map[] = {{"Number", &f.number},
                                                              {"Date", &f.date},
                                                              {"Time", &f.time},
                                                              {"Clerk", &f.clerk},
                                                              {"Items", &f.items},
                                                              {"Discount", &f.discount},
                                                              {"Customer", &f.customer},
                                                              {"Payment type", &f.paymentType},
                                                              {"Non taxable", &f.nonTaxable},
                                                              {"Taxable", &f.taxable},
                                                              {"Sub total", &f.subTotal},
                                                              {"Tax 1", &f.tax1},
                                                              {"Tax 2", &f.tax2},
                                                              {"Total", &f.total},
                                                              {"Cash back", &f.cashBack},
                                                              {"Notes", &f.notes},
                                                              {"Type", &f.type},
                                                              {"Terminal", &f.terminal}};
    for (const auto& [name, value] : map)
        if (caption == name) return *value;
    static const std::string none;
    return none;
}

}  // namespace

TransactionPanel::TransactionPanel(QWidget* parent, TransactionViewer& viewer, Basket& basket,
                                   PrintFn print)
    : QDialog(parent), m_viewer(viewer), m_basket(basket), m_print(std::move(print)) {
    setWindowTitle(QStringLiteral("Transaction"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const char* caption : kCaptions) {
        auto* value = new QLabel(this);
        value->setObjectName(QString::fromLatin1(caption));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromLatin1(caption), value);
        m_fields.emplace_back(caption, value);
    }
    m_inventory = new QComboBox(this);
    m_inventory->setObjectName(QStringLiteral("Inventory"));
    form->addRow(QStringLiteral("Inventory"), m_inventory);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QString::fromLatin1(kTransactionPanelNote), this));

    auto* buttons = new QHBoxLayout;
    auto add = [&](const char* text, std::function<void()> action) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, action);
        buttons->addWidget(b);
        return b;
    };
    add("&Next", [this] {
        if (m_viewer.next(m_basket)) fill();
    });
    add("Till receipt", [this] { m_print(DocumentKind::kStandardReceipt); });
    add("&Custom receipt", [this] { m_print(DocumentKind::kCustomReceipt); });
    add("Invoice", [this] { m_print(DocumentKind::kInvoice1); });
    QPushButton* ok = add("OK", [this] { accept(); });
    ok->setDefault(true);
    layout->addLayout(buttons);
    fill();
}

void TransactionPanel::fill() {
    const TransactionFields f = m_viewer.fields();
    for (auto& [caption, label] : m_fields) label->setText(qtText(fieldOf(f, caption)));
    m_inventory->clear();
    for (const std::string& line : f.inventory) m_inventory->addItem(qtText(line));
    if (m_inventory->count() > 0) m_inventory->setCurrentIndex(0);
}

void TransactionPanel::run(QWidget* parent, TransactionViewer& viewer, Basket& basket,
                           PrintFn print) {
    {
        TransactionPanel panel(parent, viewer, basket, std::move(print));
        panel.exec();
    }
    // However the panel closed, the recalled transaction leaves the till.
    std::memset(&basket, 0, sizeof basket);
}

}  // namespace kassio
