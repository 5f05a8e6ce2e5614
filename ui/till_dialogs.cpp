#include "ui/till_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "admin/store_settings.h"
#include "base/fixed_text.h"
#include "base/money.h"
#include "base/text_format.h"
#include "store/customer_record.h"
#include "till/discounts.h"
#include "till/tender.h"
#include "ui/qt_ui.h"

namespace kassio {

namespace {

QString money(double v) {
    return QString::fromStdString(moneyText(v));
}

QLineEdit* centsBox(QWidget* parent, bool doubleHeight) {
    auto* box = new QLineEdit(parent);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,9}"), box));
    box->setAlignment(Qt::AlignRight);
    if (doubleHeight) {
        QFont f = box->font();
        f.setPixelSize(34);
        f.setBold(true);
        box->setFont(f);
        box->setMinimumHeight(52);
    }
    return box;
}

QLabel* figure(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

}  // namespace

// --- Modal panels -------------------------------------------------------------

std::optional<RefundChoice> QtTillPanels::refundPanel(const Basket& b, int32_t transaction,
                                                      const std::string& date) {
    QDialog d(m_parent);
    d.setWindowTitle("Refund");
    auto* form = new QFormLayout;
    form->addRow("Transaction", new QLabel(QString::number(transaction)));
    form->addRow("Date", new QLabel(toQt(date)));
    form->addRow("Customer",
                 new QLabel(toQt(formatted("%lld %s", static_cast<long long>(b.customer),
                                           fieldText(b.customer_name).c_str()))));
    form->addRow("Items", new QLabel(QString::number(b.line_count)));
    form->addRow("Non taxable", figure(money(b.total_non_taxable), &d));
    form->addRow("Taxable", figure(money(b.total_taxable), &d));
    form->addRow("Subtotal", figure(money(b.subtotal), &d));
    form->addRow("Tax 1", figure(money(b.total_tax1), &d));
    form->addRow("Tax 2", figure(money(b.total_tax2), &d));
    form->addRow("Total", figure(money(b.total), &d));

    auto* stock = new QGroupBox(&d);
    auto* back = new QRadioButton("Add items back to stock");
    auto* faulty = new QRadioButton("Items faulty, do not add back to stock");
    back->setChecked(true);
    auto* sl = new QVBoxLayout(stock);
    sl->addWidget(back);
    sl->addWidget(faulty);
    auto* kind = new QGroupBox(&d);
    auto* kl = new QVBoxLayout(kind);
    QButtonGroup kinds;
    const char* names[4] = {"Cash refund", "CH refund", "EFT refund", "Credit refund"};
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(names[i]);
        r->setChecked(i == 0);
        kinds.addButton(r, i);
        kl->addWidget(r);
    }
    auto* print = new QCheckBox("Print refund receipt");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto* layout = new QVBoxLayout(&d);
    layout->addLayout(form);
    layout->addWidget(stock);
    layout->addWidget(kind);
    layout->addWidget(print);
    layout->addWidget(buttons);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return RefundChoice{kinds.checkedId(), faulty->isChecked() ? 1 : 0, print->isChecked()};
}

CustomerPayment QtTillPanels::customerTransactionPanel(const Basket& b, const CustomerRecord& c) {
    QDialog d(m_parent);
    d.setWindowTitle("Customer transaction");
    auto* form = new QFormLayout;
    form->addRow("Transaction", new QLabel(QString::number(b.number)));
    form->addRow("Clerk", new QLabel(QString::number(b.clerk)));
    form->addRow(
        "Customer",
        new QLabel(toQt(formatted("%lld  %s %s %s", static_cast<long long>(c.number),
                                  fieldText(c.name_prefix1).c_str(),
                                  fieldText(c.name_prefix2).c_str(), fieldText(c.name).c_str()))));
    form->addRow("Address", new QLabel(toQt(fieldText(c.road) + ", " + fieldText(c.area) + ", " +
                                            fieldText(c.town))));
    form->addRow("Comment", new QLabel(toQt(fieldText(c.comment))));
    form->addRow("Tax code", new QLabel(QString::number(c.tax)));
    form->addRow("Credit limit", figure(money(c.credit_limit), &d));
    form->addRow("Transactions", new QLabel(QString::number(c.transactions)));
    form->addRow("Last use", new QLabel(toQt(fieldText(c.last_used))));
    form->addRow("Notes", new QLabel(toQt(fieldText(c.notes))));
    form->addRow("Subtotal", figure(money(b.subtotal), &d));
    form->addRow("Tax 1", figure(money(b.total_tax1), &d));
    form->addRow("Tax 2", figure(money(b.total_tax2), &d));
    form->addRow("Total", figure(money(b.total), &d));
    const CustomerTransactionFigures figures = customerTransactionFigures(b, c);
    form->addRow("Previous balance", figure(toQt(figures.previousBalance), &d));
    form->addRow("Balance after", figure(toQt(figures.balanceAfter), &d));
    auto* layout = new QVBoxLayout(&d);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    CustomerPayment chosen = CustomerPayment::kCancel;
    const std::pair<const char*, CustomerPayment> choices[] = {
        {"Credit", CustomerPayment::kCredit},
        {"Cash", CustomerPayment::kCash},
        {"CH", CustomerPayment::kCheque},
        {"EFT", CustomerPayment::kCard},
        {"Cancel", CustomerPayment::kCancel}};
    for (auto [text, value] : choices) {
        auto* b2 = new QPushButton(text);
        b2->setMinimumHeight(44);
        if (value == CustomerPayment::kCredit) b2->setDefault(true);
        QObject::connect(b2, &QPushButton::clicked, &d, [&d, &chosen, value = value] {
            chosen = value;
            d.accept();
        });
        row->addWidget(b2);
    }
    layout->addLayout(row);
    d.exec();
    return chosen;
}

ElectronicPayment QtTillPanels::electronicPaymentBox() {
    QMessageBox box(QMessageBox::Question, "Electronic Payment", "Electronic Payment",
                    QMessageBox::NoButton, m_parent);
    auto* pay = box.addButton("Payment", QMessageBox::AcceptRole);
    auto* plus = box.addButton("Payment plus cashback", QMessageBox::AcceptRole);
    box.addButton("Cancel", QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == pay) return ElectronicPayment::kPayment;
    if (box.clickedButton() == plus) return ElectronicPayment::kPaymentPlusCashBack;
    return ElectronicPayment::kCancel;
}

std::optional<std::string> QtTillPanels::cashBackEntry() {
    bool ok = false;
    QString text = QInputDialog::getText(m_parent, "Payment plus cashback", "Cash back",
                                         QLineEdit::Normal, QString(), &ok);
    if (!ok || text.isEmpty()) return std::nullopt;
    return fromQt(text);
}

CardRefundChoice QtTillPanels::cardRefundBox() {
    QMessageBox box(QMessageBox::Question, "Card refund", "Card refund", QMessageBox::NoButton,
                    m_parent);
    auto* refund = box.addButton("Refund", QMessageBox::AcceptRole);
    auto* absent = box.addButton("Cardholder not present refund", QMessageBox::AcceptRole);
    box.addButton("Cancel", QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == refund) return CardRefundChoice::kRefund;
    if (box.clickedButton() == absent) return CardRefundChoice::kNotPresent;
    return CardRefundChoice::kCancel;
}

std::optional<int> QtTillPanels::selectBasket() {
    QDialog d(m_parent);
    d.setWindowTitle("Please select a basket");
    auto* grid = new QGridLayout(&d);
    std::optional<int> chosen;
    for (int n = 1; n <= kBasketTableSize; ++n) {
        auto* b = new QPushButton(QString::number(n));
        b->setMinimumSize(64, 48);
        QObject::connect(b, &QPushButton::clicked, &d, [&d, &chosen, n] {
            chosen = n;
            d.accept();
        });
        grid->addWidget(b, (n - 1) / 4, (n - 1) % 4);
    }
    auto* cancel = new QPushButton("Cancel");
    QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
    grid->addWidget(cancel, 4, 0, 1, 4);
    d.exec();
    return chosen;
}

std::optional<std::string> QtTillPanels::customerEntry() {
    bool ok = false;
    QString text = QInputDialog::getText(m_parent, "Customer", "Number / name", QLineEdit::Normal,
                                         QString(), &ok);
    if (!ok || text.trimmed().isEmpty()) return std::nullopt;
    return fromQt(text.trimmed());
}

// --- Log on -------------------------------------------------------------------------

LogOnDialog::LogOnDialog(Till& till, QWidget* parent)
    : QDialog(parent), m_till(till), m_panel(till.store().config()) {
    setWindowTitle("USER LOGON");
    auto* layout = new QVBoxLayout(this);
    // Under Xvfb there is no title bar: the panel says what it is.
    layout->addWidget(new QLabel("USER LOGON", this));
    // The clerk number: typed, or stepped with Up and Down.
    m_number = new QLineEdit(this);
    m_number->setObjectName("clerkNumber");
    m_number->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), m_number));
    m_number->setMinimumHeight(40);
    layout->addWidget(m_number);
    connect(m_number, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_panel.setClerk(text.toInt());
        m_name->setText(toQt(m_panel.nameLine()));
    });
    m_name = new QLabel(this);
    m_name->setObjectName("nameLine");
    QFont big = m_name->font();
    big.setPixelSize(22);
    big.setBold(true);
    m_name->setFont(big);
    layout->addWidget(m_name);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,9}"), m_password));
    m_password->setMinimumHeight(40);
    layout->addWidget(m_password);
    connect(m_password, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_panel.setPassword(fromQt(text)); });
    auto* grid = new QGridLayout;
    const char* keys[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "C", "0", "CE"};
    for (int i = 0; i < 12; ++i) {
        auto* b = new QPushButton(keys[i], this);
        b->setObjectName(keys[i]);
        b->setMinimumSize(64, 48);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        const QString key = keys[i];
        connect(b, &QPushButton::clicked, this, [this, key] {
            if (key == "C")
                m_panel.clear();
            else if (key == "CE")
                m_panel.erase();
            else
                m_panel.digit(key.at(0).toLatin1());
            m_password->setText(toQt(m_panel.password()));
            m_password->setFocus();
            m_password->end(false);
        });
        grid->addWidget(b, i / 3, i % 3);
    }
    layout->addLayout(grid);
    auto* row = new QHBoxLayout;
    auto* up = new QPushButton("Up", this);
    auto* down = new QPushButton("Down", this);
    auto* ok = new QPushButton("OK", this);
    auto* cancel = new QPushButton("Cancel", this);
    for (auto* b : {up, down, ok, cancel}) {
        b->setObjectName(b->text());
        b->setMinimumHeight(44);
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    // Enter in the password box is OK; QDialog presses the default button.
    ok->setDefault(true);
    layout->addLayout(row);
    connect(up, &QPushButton::clicked, this, [this] {
        m_panel.up();
        refresh();
    });
    connect(down, &QPushButton::clicked, this, [this] {
        m_panel.down();
        refresh();
    });
    connect(ok, &QPushButton::clicked, this, &LogOnDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
    m_password->setFocus();
}

QPushButton* LogOnDialog::button(const QString& label) const {
    return findChild<QPushButton*>(label);
}

void LogOnDialog::refresh() {
    m_number->setText(QString::number(m_panel.clerk()));
    m_name->setText(toQt(m_panel.nameLine()));
}

void LogOnDialog::accept() {
    m_panel.setPassword(fromQt(m_password->text()));
    Status s = m_till.logOn(m_panel.clerk(), m_panel.password());
    if (s) {
        QDialog::accept();
        return;
    }
    m_password->clear();
    m_panel.clear();
    m_till.show(s);
    m_password->setFocus();
}

// --- Operator setup -----------------------------------------------------------------

std::optional<int> QtOperatorSetupForm::clerkNumber() {
    bool ok = false;
    const int clerk =
        QInputDialog::getInt(m_parent, "Operator setup", "Please enter the clerk number (1-99):", 3,
                             -1000000, 1000000, 1, &ok);
    if (!ok) return std::nullopt;
    return clerk;
}

bool QtOperatorSetupForm::editClerk(int clerk, const OperatorSetup& entry,
                                    const StoreEntry& store) {
    QDialog d(m_parent);
    d.setObjectName("operatorSetup");
    d.setWindowTitle(QString("User: %1").arg(clerk));
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(new QLabel(QString("User: %1").arg(clerk), &d));
    auto* form = new QFormLayout;
    auto* name = new QLineEdit(toQt(entry.name), &d);
    name->setObjectName("name");
    form->addRow("Name (29 characters)", name);
    auto* available = new QCheckBox("Available", &d);
    available->setObjectName("available");
    available->setChecked(entry.available || clerk <= 2);
    available->setEnabled(clerk > 2);
    form->addRow(available);
    auto* password = new QLineEdit(&d);
    auto* again = new QLineEdit(&d);
    password->setObjectName("password");
    again->setObjectName("reentered");
    for (auto* box : {password, again}) {
        box->setEchoMode(QLineEdit::Password);
        box->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,9}"), box));
    }
    form->addRow("Password", password);
    form->addRow("Re-enter", again);
    layout->addLayout(form);
    layout->addWidget(new QLabel("Passwords must be numeric upto 8 characters", &d));
    layout->addWidget(
        new QLabel("The password is not updated if the Available box is unchecked.", &d));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    // OK stores or says why not; a refusal keeps the panel and what it holds.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
        OperatorSetup typed;
        typed.name = fromQt(name->text());
        typed.available = available->isChecked();
        typed.password = fromQt(password->text());
        typed.reentered = fromQt(again->text());
        if (store(typed)) d.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    layout->addWidget(buttons);
    return d.exec() == QDialog::Accepted;
}

// --- Non-inventory sale ---------------------------------------------------------------

std::optional<NonInventoryLine> askNonInventoryLine(const StoreConfig& config, QWidget* parent) {
    QDialog d(parent);
    d.setWindowTitle("Non inventory sale");
    auto* layout = new QVBoxLayout(&d);
    auto* description = new QLineEdit(&d);
    description->setMaxLength(39);
    description->setMinimumHeight(36);
    auto* shortcuts = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        const QString label = toQt(fieldText(config.record().custom_button_labels[i]));
        auto* b = new QPushButton(label.isEmpty() ? QString("Misc") : label, &d);
        b->setMinimumHeight(40);
        QObject::connect(b, &QPushButton::clicked, &d,
                         [description, label] { description->setText(label); });
        shortcuts->addWidget(b);
    }
    auto* keyboard = new QGridLayout;
    const QString letters = "QWERTYUIOPASDFGHJKLZXCVBNM ";
    for (int i = 0; i < letters.size(); ++i) {
        auto* b = new QPushButton(letters[i] == ' ' ? QString("Space") : QString(letters[i]), &d);
        b->setMinimumSize(36, 36);
        b->setFocusPolicy(Qt::NoFocus);
        const QChar c = letters[i];
        QObject::connect(b, &QPushButton::clicked, &d,
                         [description, c] { description->insert(c); });
        keyboard->addWidget(b, i / 10, i % 10);
    }
    auto* price = new QLineEdit(&d);
    price->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,7}(\\.[0-9]{0,2})?"), price));
    price->setMinimumHeight(36);
    auto* prices = new QHBoxLayout;
    for (const char* p : {"1.00", "2.00", "3.00", "4.00", "5.00", "10.00", "20.00"}) {
        auto* b = new QPushButton(p, &d);
        b->setMinimumHeight(40);
        QObject::connect(b, &QPushButton::clicked, &d, [price, p] { price->setText(p); });
        prices->addWidget(b);
    }
    auto* taxable = new QCheckBox("Taxable", &d);
    auto* tax1 = new QCheckBox("Tax 1", &d);
    auto* tax2 = new QCheckBox("Tax 2", &d);
    const NonInventorySettings defaults = NonInventorySettings::load(config.record());
    taxable->setChecked(defaults.taxable);
    tax1->setChecked(defaults.tax1());
    tax2->setChecked(defaults.tax2());
    auto* form = new QFormLayout;
    form->addRow("Description", description);
    layout->addLayout(form);
    layout->addLayout(shortcuts);
    layout->addLayout(keyboard);
    auto* form2 = new QFormLayout;
    form2->addRow("Price", price);
    layout->addLayout(form2);
    layout->addLayout(prices);
    auto* taxes = new QHBoxLayout;
    taxes->addWidget(taxable);
    taxes->addWidget(tax1);
    taxes->addWidget(tax2);
    layout->addLayout(taxes);
    auto* buttons = new QDialogButtonBox(&d);
    buttons->addButton("Add", QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    layout->addWidget(buttons);
    if (d.exec() != QDialog::Accepted || description->text().isEmpty() || price->text().isEmpty())
        return std::nullopt;
    NonInventoryLine line;
    line.description = upperCase(fromQt(description->text()));
    line.price = price->text().toDouble();
    line.taxable = taxable->isChecked();
    line.tax1 = tax1->isChecked();
    line.tax2 = tax2->isChecked();
    return line;
}

// --- Modeless panels -------------------------------------------------------------------

TenderPanelWidget::TenderPanelWidget(Till& till, const std::shared_ptr<TillPanel>& core,
                                     QWidget* parent)
    : QDialog(parent), m_till(till), m_core(core) {
    setModal(false);
}

void TenderPanelWidget::focusAmount() {
    if (!m_amount || m_finished) return;
    activateWindow();
    m_amount->setFocus();
    m_amount->end(false);
}

QPushButton* TenderPanelWidget::button(const QString& text, QLayout* row) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(text);
    b->setMinimumHeight(48);
    // Enter belongs to the amount box alone: no button is pressed by it too.
    b->setAutoDefault(false);
    b->setDefault(false);
    row->addWidget(b);
    return b;
}

void TenderPanelWidget::cancel() {
    if (m_finished) return;
    run([this] { cancelCore(); });
}

void TenderPanelWidget::reject() {
    cancel();
}

void TenderPanelWidget::closeEvent(QCloseEvent* event) {
    cancel();
    event->accept();
}

void TenderPanelWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ok();
            return;
        case Qt::Key_Escape:
            cancel();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void TenderPanelWidget::afterCall() {
    auto p = m_core.lock();
    if (!p || p->done())
        finish();
    else
        focusAmount();
    if (m_calls == 0 && m_deleteWhenIdle) {
        m_deleteWhenIdle = false;
        deleteLater();
    }
}

void TenderPanelWidget::followCore() {
    if (m_finished) return;
    auto p = m_core.lock();
    if (!p || p->done()) finish();
}

void TenderPanelWidget::finish() {
    if (m_finished) return;
    m_finished = true;
    hide();
    emit closed();
    if (m_calls == 0)
        deleteLater();
    else
        m_deleteWhenIdle = true;
}

CashPanelWidget::CashPanelWidget(Till& till, const std::shared_ptr<CashPanel>& panel,
                                 QWidget* parent)
    : TenderPanelWidget(till, panel, parent) {
    setWindowTitle(panel->splitCash() ? "Cash part" : "Cash");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(panel->splitCash() ? "Cash part of the split payment" : "Cash", this));
    auto* form = new QFormLayout;
    auto* total = figure(money(panel->due()), this);
    QFont f = total->font();
    f.setPixelSize(26);
    f.setBold(true);
    total->setFont(f);
    form->addRow(panel->splitCash() ? "Cash due" : "Total", total);
    m_amount = centsBox(this, true);
    form->addRow("Tendered", m_amount);
    m_change = figure(QString(), this);
    m_change->setFont(f);
    m_change->setAutoFillBackground(true);
    m_change->setMinimumHeight(44);
    form->addRow("Change", m_change);
    layout->addLayout(form);
    layout->addWidget(new QLabel("Enter the amount in cents / pence", this));
    auto* quick = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_quick[i] = button(money(panel->quickAmounts()[static_cast<std::size_t>(i)]), quick);
        connect(m_quick[i], &QPushButton::clicked, this, [this, i] {
            if (auto p = core<CashPanel>()) run([&] { p->quick(i); });
        });
    }
    layout->addLayout(quick);
    auto* row = new QHBoxLayout;
    auto* ok = button("OK", row);
    auto* exact = button("Exact amount", row);
    auto* cancel = button("Cancel", row);
    layout->addLayout(row);
    connect(m_amount, &QLineEdit::textChanged, this, &CashPanelWidget::typed);
    connect(ok, &QPushButton::clicked, this, &CashPanelWidget::ok);
    connect(exact, &QPushButton::clicked, this, [this] {
        if (auto p = core<CashPanel>()) run([&] { p->exact(); });
    });
    connect(cancel, &QPushButton::clicked, this, &TenderPanelWidget::cancel);
    typed();
}

void CashPanelWidget::typed() {
    auto p = core<CashPanel>();
    if (!p) return;
    p->typed(fromQt(m_amount->text()));
    m_change->setText(toQt(p->changeText()));
    const Colour c = p->changeColour();
    QPalette pal = m_change->palette();
    pal.setColor(QPalette::Window, QColor(c.red, c.green, c.blue));
    m_change->setPalette(pal);
}

void CashPanelWidget::ok() {
    if (auto p = core<CashPanel>()) {
        p->typed(fromQt(m_amount->text()));
        run([&] { p->ok(); });
    }
}

void CashPanelWidget::cancelCore() {
    if (auto p = core<CashPanel>()) p->cancel();
}

SplitPanelWidget::SplitPanelWidget(Till& till, const std::shared_ptr<SplitPanel>& panel,
                                   QWidget* parent)
    : TenderPanelWidget(till, panel, parent) {
    setWindowTitle("Split payment");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Split payment", this));
    auto* form = new QFormLayout;
    form->addRow("Total", figure(money(panel->total()), this));
    m_amount = centsBox(this, true);
    form->addRow("Cash", m_amount);
    m_other = figure(money(panel->total()), this);
    form->addRow("Other", m_other);
    layout->addLayout(form);
    layout->addWidget(new QLabel("Enter the amount without the . character", this));
    auto* eft = new QRadioButton("EFT", this);
    m_cheque = new QRadioButton("CH", this);
    eft->setChecked(true);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(eft);
    kinds->addWidget(m_cheque);
    layout->addLayout(kinds);
    connect(m_cheque, &QRadioButton::toggled, this, [this](bool on) {
        if (auto p = core<SplitPanel>()) p->chooseCheque(on);
    });
    auto* row = new QHBoxLayout;
    auto* ok = button("OK", row);
    auto* cancel = button("Cancel", row);
    layout->addLayout(row);
    connect(m_amount, &QLineEdit::textChanged, this, [this] {
        if (auto p = core<SplitPanel>()) {
            p->typed(fromQt(m_amount->text()));
            m_other->setText(toQt(p->otherText()));
        }
    });
    connect(ok, &QPushButton::clicked, this, &SplitPanelWidget::ok);
    connect(cancel, &QPushButton::clicked, this, &TenderPanelWidget::cancel);
}

void SplitPanelWidget::ok() {
    auto p = core<SplitPanel>();
    if (!p) return;
    p->typed(fromQt(m_amount->text()));
    run([&] {
        if (!p->ok() && !finished()) m_amount->clear();  // "Cash exceeds total" empties the box
    });
}

void SplitPanelWidget::cancelCore() {
    if (auto p = core<SplitPanel>()) p->cancel();
}

DiscountPanelWidget::DiscountPanelWidget(Till& till, const std::shared_ptr<DiscountPanel>& panel,
                                         QWidget* parent)
    : TenderPanelWidget(till, panel, parent) {
    setWindowTitle("Discount total");
    const Basket& b = till.basket();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Discount total", this));
    auto* form = new QFormLayout;
    form->addRow("Non taxable", figure(money(b.total_non_taxable), this));
    form->addRow("Taxable", figure(money(b.total_taxable), this));
    form->addRow("Tax 1", figure(money(b.total_tax1), this));
    form->addRow("Tax 2", figure(money(b.total_tax2), this));
    form->addRow("Total", figure(money(b.total), this));
    m_percent = new QComboBox(this);
    m_percent->setObjectName("percent");
    for (const std::string& entry : discountPercentList()) m_percent->addItem(toQt(entry));
    m_percent->setCurrentIndex(panel->initialPercentEntry());
    form->addRow("Percent", m_percent);
    m_amount = centsBox(this, true);
    m_amount->setText(toQt(panel->typedText()));
    form->addRow("Discount", m_amount);
    m_amended = figure(toQt(panel->amendedText()), this);
    m_amended->setObjectName("amended");
    form->addRow(panel->onTotal() ? "Amended total" : "Amended total before tax", m_amended);
    layout->addLayout(form);
    if (panel->onTotal())
        layout->addWidget(new QLabel(
            "Note that to discount items and tax please use the 'Adjust price' button", this));
    auto* row = new QHBoxLayout;
    auto* ok = button("OK", row);
    auto* cancel = button("Cancel", row);
    layout->addLayout(row);
    connect(m_percent, &QComboBox::activated, this, [this](int i) {
        if (auto p = core<DiscountPanel>()) {
            p->choosePercent(i);
            m_amount->setText(toQt(p->typedText()));
        }
    });
    connect(m_amount, &QLineEdit::textChanged, this, [this] {
        if (auto p = core<DiscountPanel>()) {
            p->typed(fromQt(m_amount->text()));
            m_amended->setText(toQt(p->amendedText()));
        }
    });
    connect(ok, &QPushButton::clicked, this, &DiscountPanelWidget::ok);
    connect(cancel, &QPushButton::clicked, this, &TenderPanelWidget::cancel);
}

void DiscountPanelWidget::ok() {
    if (auto p = core<DiscountPanel>()) {
        p->typed(fromQt(m_amount->text()));
        run([&] { p->ok(); });
    }
}

void DiscountPanelWidget::cancelCore() {
    if (auto p = core<DiscountPanel>()) p->cancel();
}

namespace {

QString lineValuesText(double nonTaxable, double taxable, double tax1, double tax2, double total) {
    return QString("Non taxable %1   Taxable %2   Tax 1 %3   Tax 2 %4   Total %5")
        .arg(money(nonTaxable), money(taxable), money(tax1), money(tax2), money(total));
}

}  // namespace

PricePanelWidget::PricePanelWidget(Till& till, const std::shared_ptr<PricePanel>& panel,
                                   QWidget* parent)
    : TenderPanelWidget(till, panel, parent) {
    const QString title = panel->byWeight() ? "Adjust by weight" : "Adjust item price";
    setWindowTitle(title);
    const InventoryRecord& item = panel->item();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(title, this));
    auto* form = new QFormLayout;
    form->addRow("Number", new QLabel(QString::number(item.number), this));
    form->addRow("Description", new QLabel(toQt(fieldText(item.description)), this));
    if (panel->showCost()) form->addRow("Cost", figure(money(item.cost_price), this));
    form->addRow("List price", figure(money(item.retail_price), this));
    // What the line holds now, beside what the amended price makes of it.
    const Basket& basket = till.basket();
    if (basket.line_count > 0) {
        const int i = basket.line_count - 1;
        auto* current =
            new QLabel(lineValuesText(basket.non_taxable[i], basket.taxable[i], basket.tax1[i],
                                      basket.tax2[i], basket.line_total[i]),
                       this);
        current->setObjectName("currentLine");
        form->addRow("Current line", current);
    }
    m_amount = centsBox(this, true);
    if (panel->byWeight()) {
        m_amount->setValidator(
            new QRegularExpressionValidator(QRegularExpression("[0-9]{0,6}"), m_amount));
        m_amount->setText("100");
        form->addRow("Weight", m_amount);
        auto* list = new QComboBox(this);
        list->setObjectName("weightList");
        for (int w = 1; w <= PricePanel::kWeightListEntries; ++w) list->addItem(QString::number(w));
        list->setCurrentIndex(99);  // 100
        form->addRow("Weight list", list);
        connect(list, &QComboBox::activated, this,
                [this, list](int i) { m_amount->setText(list->itemText(i)); });
    } else {
        form->addRow("Amended price", m_amount);
    }
    m_values = new QLabel(this);
    form->addRow("New line", m_values);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    auto* ok = button("OK", row);
    if (!panel->byWeight()) {
        auto* zero = button("Zero", row);
        connect(zero, &QPushButton::clicked, this, [this] {
            if (core<PricePanel>()) m_amount->setText("000000");
        });
    }
    auto* cancel = button("Cancel", row);
    layout->addLayout(row);
    connect(m_amount, &QLineEdit::textChanged, this, [this] {
        auto p = core<PricePanel>();
        if (!p) return;
        if (p->byWeight())
            p->setWeight(m_amount->text().toInt());
        else
            p->typed(fromQt(m_amount->text()));
        refreshValues();
    });
    connect(ok, &QPushButton::clicked, this, &PricePanelWidget::ok);
    connect(cancel, &QPushButton::clicked, this, &TenderPanelWidget::cancel);
    refreshValues();
}

void PricePanelWidget::ok() {
    if (auto p = core<PricePanel>()) run([&] { p->ok(); });
}

void PricePanelWidget::refreshValues() {
    auto p = core<PricePanel>();
    if (!p) return;
    m_values->setText(
        lineValuesText(p->nonTaxable(), p->taxable(), p->tax1(), p->tax2(), p->lineTotal()));
}

void PricePanelWidget::cancelCore() {
    if (auto p = core<PricePanel>()) p->cancel();
}

TenderPanelWidget* makePanelWidget(Till& till, const std::shared_ptr<TillPanel>& core,
                                   QWidget* parent) {
    if (!core || core->done()) return nullptr;
    if (auto p = std::dynamic_pointer_cast<CashPanel>(core))
        return new CashPanelWidget(till, p, parent);
    if (auto p = std::dynamic_pointer_cast<SplitPanel>(core))
        return new SplitPanelWidget(till, p, parent);
    if (auto p = std::dynamic_pointer_cast<DiscountPanel>(core))
        return new DiscountPanelWidget(till, p, parent);
    if (auto p = std::dynamic_pointer_cast<PricePanel>(core))
        return new PricePanelWidget(till, p, parent);
    return nullptr;
}

}  // namespace kassio
