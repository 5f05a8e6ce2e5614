#include "ui/exchange/exchange_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/numbers.h"
#include "base/win1252.h"

namespace kassio {

namespace {

QString qt(const std::string& s) {
    return QString::fromStdString(win1252ToUtf8(s));
}

QDialogButtonBox* buttons(QDialog& d) {
    auto* b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(b, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(b, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    return b;
}

QLabel* note(const std::string& text) {
    auto* l = new QLabel(qt(text));
    l->setWordWrap(true);
    return l;
}

}  // namespace

std::optional<ExportChoice> runExportDialog(QWidget* parent, const ExportChoice& initial,
                                            const std::vector<std::string>& categories) {
    QDialog d(parent);
    d.setWindowTitle("Export");
    auto* form = new QFormLayout(&d);
    auto* start = new QLineEdit(QString::number(initial.start));
    auto* finish = new QLineEdit(QString::number(initial.finish));
    start->setMaxLength(19);
    finish->setMaxLength(19);
    start->setObjectName("start");
    finish->setObjectName("finish");
    form->addRow("Start", start);
    form->addRow("Finish", finish);
    auto* inventory = new QRadioButton("Inventory");
    auto* customers = new QRadioButton("Customers");
    inventory->setObjectName("inventory");
    customers->setObjectName("customers");
    (initial.customers ? customers : inventory)->setChecked(true);
    form->addRow(inventory, customers);
    auto* text = new QRadioButton("Text");
    auto* html = new QRadioButton("HTML");
    auto* xml = new QRadioButton("XML");
    text->setObjectName("text");
    html->setObjectName("html");
    xml->setObjectName("xml");
    auto* formats = new QButtonGroup(&d);
    formats->addButton(text, 0);
    formats->addButton(html, 1);
    formats->addButton(xml, 2);
    formats->button(static_cast<int>(initial.format))->setChecked(true);
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(text);
    formatRow->addWidget(html);
    formatRow->addWidget(xml);
    form->addRow("Format", formatRow);
    auto* all = new QRadioButton("All");
    auto* category = new QRadioButton("Category");
    all->setObjectName("all");
    category->setObjectName("category");
    auto* types = new QButtonGroup(&d);
    types->addButton(all);
    types->addButton(category);
    (initial.byCategory ? category : all)->setChecked(true);
    auto* list = new QComboBox;
    list->setObjectName("categoryList");
    for (const std::string& c : categories) list->addItem(qt(c));
    list->setCurrentIndex(initial.category);
    form->addRow(all, category);
    form->addRow("Category", list);
    auto* boldNumber = new QCheckBox("Bold number");
    auto* boldTitle = new QCheckBox("Bold title");
    boldNumber->setObjectName("boldNumber");
    boldTitle->setObjectName("boldTitle");
    boldNumber->setChecked(initial.boldNumber);
    boldTitle->setChecked(initial.boldTitle);
    form->addRow(boldNumber, boldTitle);
    auto* size = new QComboBox;
    size->setObjectName("textSize");
    size->addItems({"Small", "Medium", "Large"});
    size->setCurrentIndex(initial.textSize - 1);
    form->addRow("Text size", size);
    form->addRow(buttons(d));

    auto update = [=] {
        const bool items = inventory->isChecked();
        all->setEnabled(items);
        category->setEnabled(items);
        list->setEnabled(items && category->isChecked());
        const bool isHtml = html->isChecked();
        boldNumber->setEnabled(isHtml);
        boldTitle->setEnabled(isHtml);
        size->setEnabled(isHtml);
    };
    for (QRadioButton* r : {inventory, customers, text, html, xml, all, category})
        QObject::connect(r, &QRadioButton::toggled, &d, update);
    update();
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    ExportChoice c = initial;
    c.start = numberFromText(start->text().toStdString());
    c.finish = numberFromText(finish->text().toStdString());
    c.customers = customers->isChecked();
    c.format = static_cast<ExportFormat>(formats->checkedId());
    c.byCategory = category->isChecked() && !c.customers;
    c.category = list->currentIndex() < 0 ? 0 : list->currentIndex();
    c.boldNumber = boldNumber->isChecked();
    c.boldTitle = boldTitle->isChecked();
    c.textSize = size->currentIndex() + 1;
    return c;
}

std::optional<ExportChoice> runFieldChoiceDialog(QWidget* parent, const ExportChoice& choice) {
    static const char* kItems[10] = {
        "Number",           "Description",  "SKU 1",    "SKU 2",         "Cost",
        "Display category", "Retail price", "In stock", "Reorder level", "Taxable"};
    static const char* kCustomers[10] = {"Number",    "Company",     "Address 1", "Address 2",
                                         "Address 3", "Address 4",   "Telephone", "Taxable",
                                         "Balance",   "Credit limit"};
    QDialog d(parent);
    d.setWindowTitle(choice.customers ? "Customer database" : "Inventory database");
    auto* layout = new QVBoxLayout(&d);
    std::vector<QCheckBox*> boxes;
    for (int i = 0; i < 10; ++i) {
        auto* b = new QCheckBox(choice.customers ? kCustomers[i] : kItems[i]);
        b->setObjectName(QString("field%1").arg(i + 1));
        b->setChecked(true);
        layout->addWidget(b);
        boxes.push_back(b);
    }
    auto* entire = new QCheckBox("Export entire");
    entire->setObjectName("entire");
    layout->addWidget(entire);
    layout->addWidget(
        note("The above will export the entire contents of the item, not just those detailed to "
             "the left. If selected, it is not necessary to 'check' the individual boxes. Does "
             "not apply to HTML."));
    layout->addWidget(buttons(d));
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    ExportChoice c = choice;
    for (std::size_t i = 0; i < 10; ++i) c.fields[i] = boxes[i]->isChecked();
    c.entire = entire->isChecked();
    return c;
}

std::optional<ImportMap> runImportMapDialog(QWidget* parent, const ImportMap& initial,
                                            const std::string& firstLine) {
    QDialog d(parent);
    d.setWindowTitle(initial.customers ? "Customer database" : "Inventory database");
    auto* form = new QFormLayout(&d);
    auto* first = note(firstLine);
    first->setObjectName("firstLine");
    form->addRow(first);
    const auto& labels = importMapLabels(initial.customers);
    // The permitted lengths of the inventory's text slots; the others are
    // numbers.
    auto length = [&initial](std::size_t slot) -> QString {
        if (initial.customers) return {};
        if (slot == 1) return " (2-39)";
        if (slot == 2 || slot == 3 || slot == 10 || slot >= 14) return " (0-39)";
        return {};
    };
    std::vector<QLineEdit*> columns;
    for (std::size_t i = 0; i < initial.columns.size(); ++i) {
        auto* e = new QLineEdit(QString::number(initial.columns[i]));
        e->setObjectName(QString("column%1").arg(i + 1));
        e->setMaxLength(9);
        form->addRow(QString::fromStdString(labels[i]) + length(i), e);
        columns.push_back(e);
    }
    QRadioButton* merge = nullptr;
    if (!initial.customers) {
        auto* replace = new QRadioButton("Replace");
        merge = new QRadioButton("Merge");
        replace->setObjectName("replace");
        merge->setObjectName("merge");
        (initial.merge ? merge : replace)->setChecked(true);
        form->addRow(replace, merge);
        form->addRow(
            note("Replace deletes the entire database then adds imported items. Merge "
                 "inserts items into the existing database."));
        form->addRow(
            note("Put the position of the data field in the CSV file next to the "
                 "destination inventory field."));
    }
    form->addRow(
        note("Use a zero if the field is not to be imported. The program will process "
             "the file then report it will close."));
    if (!initial.customers) {
        form->addRow(
            note("The length column is the permitted lengths for fields that require "
                 "text, all others are numeric."));
        form->addRow(
            note("The display category will default to 14 (POP) if not used. It will "
                 "accept values of 0-17."));
        form->addRow(
            note("The taxable field will default to non taxable if not used. A non "
                 "zero value will mark the item as taxable. To mark all as taxable set "
                 "the text column to the same value as 'Number'."));
        form->addRow(
            note("The import file may be examined in a word processor if the procedure "
                 "is not successful. Ensure there are not quotes round the fields."));
    }
    form->addRow(buttons(d));
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    ImportMap m = initial;
    for (std::size_t i = 0; i < columns.size(); ++i)
        m.columns[i] = integerFromText(columns[i]->text().toStdString());
    m.merge = merge && merge->isChecked();
    return m;
}

std::optional<int> runScopeDialog(QWidget* parent, const std::string& title,
                                  const std::vector<std::string>& options, int preselected,
                                  const std::string& text) {
    QDialog d(parent);
    d.setWindowTitle(qt(title));
    auto* layout = new QVBoxLayout(&d);
    auto* group = new QButtonGroup(&d);
    for (std::size_t i = 0; i < options.size(); ++i) {
        auto* r = new QRadioButton(qt(options[i]));
        r->setObjectName(QString("option%1").arg(i));
        group->addButton(r, static_cast<int>(i));
        layout->addWidget(r);
    }
    group->button(preselected)->setChecked(true);
    layout->addWidget(note(text));
    layout->addWidget(buttons(d));
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return group->checkedId();
}

std::optional<UploadSettings> runUploadDialog(QWidget* parent, const UploadSettings& initial) {
    QDialog d(parent);
    d.setWindowTitle("Upload configuration");
    auto* form = new QFormLayout(&d);
    auto line = [](const std::string& text) {
        auto* e = new QLineEdit(qt(text));
        e->setMaxLength(199);
        return e;
    };
    auto* server = line(initial.server);
    server->setPlaceholderText("ftp.example.com");
    auto* user = line(initial.user);
    auto* password = line(initial.password);
    server->setObjectName("server");
    user->setObjectName("user");
    password->setObjectName("password");
    password->setEchoMode(QLineEdit::Password);
    form->addRow("FTP server", server);
    form->addRow("FTP username", user);
    form->addRow("FTP password", password);
    auto* tls = new QCheckBox("Encrypt the login and the files (FTPS, if the server offers it)");
    tls->setObjectName("tls");
    tls->setChecked(initial.tls);
    form->addRow(tls);
    static const char* kGroups[3] = {"Daily overview", "Daily items CSV", "Reorder list"};
    std::vector<QCheckBox*> chosen;
    std::vector<QLineEdit*> names;
    for (std::size_t i = 0; i < 3; ++i) {
        auto* g = new QGroupBox(kGroups[i]);
        auto* gl = new QFormLayout(g);
        auto* c = new QCheckBox("Upload");
        c->setChecked(initial.chosen[i]);
        auto* n = line(initial.names[i].empty() ? kDefaultUploadNames[i] : initial.names[i]);
        c->setObjectName(QString("upload%1").arg(i + 1));
        n->setObjectName(QString("fileName%1").arg(i + 1));
        gl->addRow(c);
        gl->addRow("Upload filename", n);
        form->addRow(g);
        chosen.push_back(c);
        names.push_back(n);
    }
    form->addRow(note("The selected reports are uploaded as individual text files."));
    form->addRow(buttons(d));
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    UploadSettings s = initial;
    s.server = utf8ToWin1252(server->text().toStdString());
    s.user = utf8ToWin1252(user->text().toStdString());
    s.password = utf8ToWin1252(password->text().toStdString());
    s.tls = tls->isChecked();
    for (std::size_t i = 0; i < 3; ++i) {
        s.chosen[i] = chosen[i]->isChecked();
        s.names[i] = utf8ToWin1252(names[i]->text().toStdString());
    }
    return s;
}

}  // namespace kassio
