#include "ui/accounts/account_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/fixed_text.h"
#include "base/numbers.h"
#include "base/text_format.h"
#include "ui/qt_ui.h"

namespace kassio {

PaymentDialog::PaymentDialog(QWidget* parent, const PaymentView& v) : QDialog(parent) {
    setWindowTitle("Payment");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Payment", this));
    auto* form = new QFormLayout;
    auto label = [this](const std::string& text, const char* name) {
        auto* l = new QLabel(toQt(text), this);
        l->setObjectName(name);
        return l;
    };
    form->addRow("Number",
                 label(formatted("%lld", static_cast<long long>(v.customer.number)), "number"));
    form->addRow("Customer", label(fieldText(v.customer.name), "customer"));
    form->addRow("Transactions", label(std::to_string(v.transactions.size()), "transactions"));
    auto* list = new QComboBox(this);
    list->setObjectName("transactionList");
    for (const std::string& t : v.transactions) list->addItem(toQt(t));
    form->addRow("", list);
    form->addRow("Last purchase", label(v.lastPurchase, "lastPurchase"));
    form->addRow("Last payment", label(v.lastPayment, "lastPayment"));
    form->addRow("Terms", label(v.terms, "terms"));
    form->addRow("Balance", label(v.balance, "balance"));
    auto* methods = new QHBoxLayout;
    m_method = new QButtonGroup(this);
    int id = 0;
    for (const char* name : {"Cash", "CH", "EFT"}) {
        auto* b = new QRadioButton(name, this);
        b->setObjectName(name);
        m_method->addButton(b, id++);
        methods->addWidget(b);
    }
    m_method->button(0)->setChecked(true);
    form->addRow("", methods);
    m_pay = new QLineEdit(this);
    m_pay->setObjectName("pay");
    m_pay->setMaxLength(19);
    form->addRow("Pay", m_pay);
    layout->addLayout(form);
    layout->addWidget(new QLabel("The period character . is used when entering the amount", this));
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    m_pay->setFocus();
}

PaymentEntry PaymentDialog::entry() const {
    PaymentEntry e;
    const int id = m_method->checkedId();
    e.method = id == 1   ? PaymentMethod::kCheque
               : id == 2 ? PaymentMethod::kCard
                         : PaymentMethod::kCash;
    e.amount = fromQt(m_pay->text());
    return e;
}

std::optional<PaymentEntry> PaymentDialog::run(QWidget* parent, const PaymentView& view) {
    PaymentDialog d(parent, view);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return d.entry();
}

StatementDialog::StatementDialog(QWidget* parent, const QString& title, const Statement& st,
                                 std::function<void()> print)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(title, this));
    auto* heading = new QLabel(toQt(st.heading), this);
    heading->setObjectName("heading");
    layout->addWidget(heading);
    auto* lines = new QListWidget(this);
    lines->setObjectName("lines");
    for (const std::string& l : st.lines) lines->addItem(toQt(l));
    lines->addItem(toQt(st.balance));
    lines->setMinimumSize(600, 300);
    layout->addWidget(lines);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* printButton = box->addButton("Print", QDialogButtonBox::ActionRole);
    printButton->setObjectName("print");
    connect(printButton, &QPushButton::clicked, this, [print] {
        if (print) print();
    });
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(box);
}

std::optional<std::pair<LocalTime, LocalTime>> askPeriod(QWidget* parent, const LocalTime& first,
                                                         const LocalTime& today) {
    QDialog d(parent);
    d.setWindowTitle("Customer period activity");
    auto* layout = new QFormLayout(&d);
    layout->addRow(new QLabel("Customer period activity", &d));
    const QDate low(first.year, 1, 1), now(today.year, today.month, today.day);
    auto* from = new QDateEdit(QDate(today.year, today.month, 1), &d);
    auto* to = new QDateEdit(now, &d);
    for (QDateEdit* e : {from, to}) {
        e->setDisplayFormat("d/M/yyyy");
        e->setDateRange(low, now);
    }
    from->setObjectName("from");
    to->setObjectName("to");
    layout->addRow("Start", from);
    layout->addRow("End", to);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    layout->addRow(box);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    auto lt = [](const QDate& q) {
        LocalTime t;
        t.year = q.year(), t.month = q.month(), t.day = q.day();
        return t;
    };
    return std::make_pair(lt(from->date()), lt(to->date()));
}

MailmergeDialog::MailmergeDialog(QWidget* parent, const std::string& folder) : QDialog(parent) {
    setWindowTitle("Mailmerge");
    auto* layout = new QFormLayout(this);
    layout->addRow(new QLabel("Mailmerge", this));
    m_start = new QLineEdit(this);
    m_start->setObjectName("start");
    m_end = new QLineEdit(this);
    m_end->setObjectName("end");
    m_selection = new QComboBox(this);
    m_selection->setObjectName("selection");
    m_selection->addItems({"All", "Owe money", "Not active this year"});
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName("text");
    layout->addRow("Start customer", m_start);
    layout->addRow("End customer", m_end);
    layout->addRow("Selection", m_selection);
    layout->addRow("Letter", m_text);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* save = box->addButton("Save", QDialogButtonBox::ActionRole);
    QPushButton* load = box->addButton("Load", QDialogButtonBox::ActionRole);
    const QString where = toQt(folder);
    connect(save, &QPushButton::clicked, this, [this, where] {
        const QString file = QFileDialog::getSaveFileName(this, "Save letter", where, "*.txt");
        if (file.isEmpty()) return;
        // A letter that did not reach the disk is said, not lost unseen.
        if (Status s = saveLetterText(file.toStdString(), fromQt(m_text->toPlainText())); !s)
            QMessageBox::warning(this, toQt(s.title()), toQt(s.message()));
    });
    connect(load, &QPushButton::clicked, this, [this, where] {
        const QString file = QFileDialog::getOpenFileName(this, "Load letter", where, "*.txt");
        if (file.isEmpty()) return;
        std::string text;
        if (Status s = loadLetterText(file.toStdString(), &text); !s)
            QMessageBox::warning(this, toQt(s.title()), toQt(s.message()));
        else
            m_text->setPlainText(toQt(text));
    });
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(box);
}

std::optional<MailmergeEntry> MailmergeDialog::entry() const {
    auto start = positiveNumber(fromQt(m_start->text()));
    auto end = positiveNumber(fromQt(m_end->text()));
    if (!start || !end) return std::nullopt;
    MailmergeEntry e;
    e.start = *start;
    e.end = *end;
    const int i = m_selection->currentIndex();
    e.selection = i == 1   ? MailmergeSelection::kOweMoney
                  : i == 2 ? MailmergeSelection::kNotActiveThisYear
                           : MailmergeSelection::kAll;
    e.text = fromQt(m_text->toPlainText());
    return e;
}

std::optional<std::array<bool, kListingColumnCount>> askListingColumns(
    QWidget* parent, const std::array<bool, kListingColumnCount>& current) {
    QDialog d(parent);
    d.setWindowTitle("Print custom inventory");
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(new QLabel("Columns to print", &d));
    auto* grid = new QGridLayout;
    std::array<QCheckBox*, kListingColumnCount> boxes{};
    for (int i = 0; i < kListingColumnCount; ++i) {
        auto* b = new QCheckBox(listingColumnName(i), &d);
        b->setChecked(current[static_cast<std::size_t>(i)]);
        grid->addWidget(b, i % 10, i / 10);
        boxes[static_cast<std::size_t>(i)] = b;
    }
    layout->addLayout(grid);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    layout->addWidget(box);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    std::array<bool, kListingColumnCount> on{};
    for (std::size_t i = 0; i < on.size(); ++i) on[i] = boxes[i]->isChecked();
    return on;
}

}  // namespace kassio
