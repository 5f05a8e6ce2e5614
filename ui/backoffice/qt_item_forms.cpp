#include "qt_item_forms.h"

#include "listings/listing_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <array>

#include "form_widgets.h"
#include "inventory/item_fields.h"
#include "inventory/stock_received.h"

namespace kassio {

using namespace backoffice;

namespace {

std::vector<std::string> categoryNames(const StoreConfig& config) {
    std::vector<std::string> names;
    for (int c = 0; c < kDisplayCategories; ++c) names.push_back(config.categoryCode(c));
    return names;
}

QComboBox* sellByYearList(QWidget* parent, int index) {
    std::vector<std::string> years{"0"};
    for (int y = kSellByBaseYear + 1; y <= kSellByBaseYear + kSellByYears; ++y)
        years.push_back(std::to_string(y));
    return textList(parent, years, index);
}

QDateEdit* datePicker(QWidget* parent, int day, int month, int year) {
    auto* d = new QDateEdit(parent);
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    d->setCalendarPopup(true);
    QDate date(year, month, day);
    d->setDate(date.isValid() ? date : QDate::currentDate());
    return d;
}

// The least size of the find and view windows.
constexpr QSize kRowsMinimum(420, 360);

// The number, description and SKU entries that lead the item and bundle
// forms; the number is fixed when amending.
struct ItemIdentity {
    QLineEdit* number;
    QLineEdit* description;
    std::array<QLineEdit*, 4> sku;

    template <class Fields>
    ItemIdentity(QWidget* parent, const Fields& f, bool amend) {
        number = entry(parent, f.number, 19, false);
        number->setReadOnly(amend);
        description = entry(parent, f.description, kItemTextLimit, true);
        // Room for a whole description of capitals.
        description->setMinimumWidth(std::min(
            460, description->fontMetrics().horizontalAdvance(QString(kItemTextLimit, 'N'))));
        for (int i = 0; i < 4; ++i) sku[i] = entry(parent, f.sku[i], kItemTextLimit, true);
    }

    void addRows(QFormLayout* form) const {
        form->addRow(QStringLiteral("Number"), number);
        form->addRow(QStringLiteral("Description"), description);
        for (int i = 0; i < 4; ++i) form->addRow(QStringLiteral("SKU %1").arg(i + 1), sku[i]);
    }

    // An empty number with the focus, ready for a barcode scan.
    void focusEmptyNumber() const {
        number->clear();
        number->setFocus();
    }

    template <class Fields>
    void readInto(Fields& o) const {
        o.number = core(number->text());
        o.description = core(description->text());
        for (int i = 0; i < 4; ++i) o.sku[i] = core(sku[i]->text());
    }
};

template <class Fields>
void readDate(const QDateEdit* date, Fields& o) {
    o.day = date->date().day();
    o.month = date->date().month();
    o.year = date->date().year();
}

// OK, then Copy and Next when adding, then Cancel.
void addFormButtons(ButtonRow& buttons, bool amend) {
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    if (!amend) {
        buttons.add(QStringLiteral("&Copy"), FormButton::kCopy);
        buttons.add(QStringLiteral("&Next"), FormButton::kNext);
    }
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
}

}  // namespace

// --- The item form ------------------------------------------------------------

ItemFormReply QtItemForms::itemForm(const ItemFormRequest& req) {
    const ItemFormFields& f = req.fields;
    const bool amend = req.presentation == ItemFormPresentation::kAmend;
    QDialog d(m_parent);
    d.setWindowTitle(amend ? QStringLiteral("Amend inventory") : QStringLiteral("New inventory"));

    const ItemIdentity id(&d, f, amend);
    auto* cost = entry(&d, f.cost, 19, false);
    auto* trade = entry(&d, f.trade, 19, false);
    auto* retail = entry(&d, f.retail, 19, false);
    auto* withTax = entry(&d, "", 9, false);
    auto* withoutTax = new QLabel(&d);
    auto* tax1Box = new QCheckBox(QStringLiteral("Tax 1"), &d);
    auto* tax2Box = new QCheckBox(QStringLiteral("Tax 2"), &d);
    tax1Box->setChecked(f.tax1Box);
    tax2Box->setChecked(f.tax2Box);
    auto reckon = [&] {
        if (auto e = priceWithoutTax(m_config, core(withTax->text()), tax1Box->isChecked(),
                                     tax2Box->isChecked())) {
            withoutTax->setText(qt(*e));
            retail->setText(qt(*e));
        }
    };
    QObject::connect(withTax, &QLineEdit::textEdited, &d, reckon);
    QObject::connect(tax1Box, &QCheckBox::toggled, &d, reckon);
    QObject::connect(tax2Box, &QCheckBox::toggled, &d, reckon);

    auto* orderCode = entry(&d, f.orderCode, kItemTextLimit, true);
    auto* location = entry(&d, f.location, kItemTextLimit, false);
    auto* website = entry(&d, f.website, kItemTextLimit, false);
    auto* webImage = entry(&d, f.webImage, kItemTextLimit, false);
    auto* onOrder = entry(&d, f.onOrder, 11, false);
    auto* orderQuantity = entry(&d, f.orderQuantity, 11, false);
    auto* minimumOrder = entry(&d, f.minimumOrder, 11, false);
    auto* restock = entry(&d, f.restockLevel, 11, false);
    auto* quantity = entry(&d, f.quantity, 11, false);
    auto* committed = entry(&d, f.committed, 11, false);
    auto* lead = entry(&d, f.deliveryLead, 11, false);
    auto* labels = entry(&d, f.labels, 11, false);
    auto* delivery = entry(&d, f.delivery, 19, false);
    auto* weight = entry(&d, f.weight, 19, false);
    auto* notes = entry(&d, f.notes, kItemNotesLimit, false);
    auto* taxCode = textList(&d, {"Non taxable", "Tax 1 and 2", "Tax 1", "Tax 2"}, f.taxCode);
    // Ticking a tax box chooses the matching tax code and back, so the item
    // is stored with the taxes its price was worked out with.
    QObject::connect(tax1Box, &QCheckBox::toggled, &d, [=] {
        taxCode->setCurrentIndex(taxCodeForBoxes(tax1Box->isChecked(), tax2Box->isChecked()));
    });
    QObject::connect(tax2Box, &QCheckBox::toggled, &d, [=] {
        taxCode->setCurrentIndex(taxCodeForBoxes(tax1Box->isChecked(), tax2Box->isChecked()));
    });
    QObject::connect(taxCode, &QComboBox::currentIndexChanged, &d, [=](int code) {
        tax1Box->setChecked(taxCodeHasTax1(code));
        tax2Box->setChecked(taxCodeHasTax2(code));
    });
    auto* date = datePicker(&d, f.day, f.month, f.year);
    auto* category = textList(&d, categoryNames(m_config), f.displayCategory);
    auto* sor = textList(&d, {"NO", "YES"}, f.sor);
    auto* noRounding = new QCheckBox(QStringLiteral("No tax rounding"), &d);
    noRounding->setChecked(f.noTaxRounding);
    auto* special = numberList(&d, 0, 20, f.specialOrder);
    auto* ageWarning = new QCheckBox(QStringLiteral("Age warning"), &d);
    ageWarning->setChecked(f.ageWarning);
    auto* age = numberList(&d, 2, 30, f.age);
    auto* omit = new QCheckBox(QStringLiteral("Omit from quick select buttons"), &d);
    omit->setChecked(f.omitQuickSelect);
    auto* offers = new QButtonGroup(&d);
    auto* noOffer = new QRadioButton(QStringLiteral("No offers"), &d);
    auto* bogof = new QRadioButton(QStringLiteral("Buy one get one free"), &d);
    auto* b2g1 = new QRadioButton(QStringLiteral("Buy two get one free"), &d);
    offers->addButton(noOffer, 0);
    offers->addButton(bogof, 2);
    offers->addButton(b2g1, 4);
    (f.offer == 2 ? bogof : f.offer == 4 ? b2g1 : noOffer)->setChecked(true);
    auto* sellDay = numberList(&d, 0, 31, f.sellByDay);
    auto* sellMonth = numberList(&d, 0, 12, f.sellByMonth);
    auto* sellYear = sellByYearList(&d, f.sellByYearIndex);

    ItemPicture picture(f.pictureNumber, f.ownPicture);
    auto* pictureLabel = new QLabel(&d);
    auto picturePath = [&] {
        return itemPicturePath(req.dataFolder, numberFromText(core(id.number->text())),
                               picture.pictureNumber(), picture.showsOwn());
    };
    auto refreshPicture = [&] { showPicture(pictureLabel, picturePath()); };
    refreshPicture();

    auto* left = new QFormLayout;
    id.addRows(left);
    left->addRow(QStringLiteral("Cost price"), cost);
    left->addRow(QStringLiteral("Trade price"), trade);
    left->addRow(QStringLiteral("Retail price with tax"), withTax);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(tax1Box);
    boxes->addWidget(tax2Box);
    left->addRow(QString(), boxes);
    left->addRow(QStringLiteral("Retail price without tax"), withoutTax);
    left->addRow(QStringLiteral("Retail price"), retail);
    left->addRow(QStringLiteral("Tax code"), taxCode);
    left->addRow(QStringLiteral("Display category"), category);
    left->addRow(QStringLiteral("Order code"), orderCode);
    left->addRow(QStringLiteral("Location"), location);
    left->addRow(QStringLiteral("Web URL"), website);
    left->addRow(QStringLiteral("Web image URL"), webImage);
    left->addRow(QStringLiteral("Notes"), notes);

    auto* right = new QFormLayout;
    right->addRow(QStringLiteral("Quantity in stock"), quantity);
    right->addRow(QStringLiteral("Restock level"), restock);
    right->addRow(QStringLiteral("Minimum order"), minimumOrder);
    right->addRow(QStringLiteral("Order quantity"), orderQuantity);
    right->addRow(QStringLiteral("On order"), onOrder);
    right->addRow(QStringLiteral("Committed"), committed);
    right->addRow(QStringLiteral("Delivery lead"), lead);
    right->addRow(QStringLiteral("Labels to print"), labels);
    right->addRow(QStringLiteral("Delivery"), delivery);
    right->addRow(QStringLiteral("Weight"), weight);
    right->addRow(QStringLiteral("Date added"), date);
    right->addRow(QStringLiteral("SOR"), sor);
    right->addRow(QString(), noRounding);
    right->addRow(QStringLiteral("Special order"), special);
    auto* ageRow = new QHBoxLayout;
    ageRow->addWidget(ageWarning);
    ageRow->addWidget(age);
    right->addRow(QString(), ageRow);
    right->addRow(QString(), omit);
    right->addRow(QString(), noOffer);
    right->addRow(QString(), bogof);
    right->addRow(QString(), b2g1);
    auto* sellRow = new QHBoxLayout;
    sellRow->addWidget(sellDay);
    sellRow->addWidget(sellMonth);
    sellRow->addWidget(sellYear);
    right->addRow(QStringLiteral("Sell by (D M Y)"), sellRow);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(pictureLabel);
    auto* back = new QPushButton(QStringLiteral("Back"), &d);
    auto* forward = new QPushButton(QStringLiteral("Forward"), &d);
    auto* enlarge = new QPushButton(QStringLiteral("+"), &d);
    pictureRow->addWidget(back);
    pictureRow->addWidget(forward);
    pictureRow->addWidget(enlarge);
    right->addRow(QStringLiteral("Picture"), pictureRow);
    QObject::connect(back, &QPushButton::clicked, &d, [&] {
        picture.back();
        refreshPicture();
    });
    QObject::connect(forward, &QPushButton::clicked, &d, [&] {
        picture.forward();
        refreshPicture();
    });
    QObject::connect(enlarge, &QPushButton::clicked, &d, [&] {
        showEnlarged(&d, picturePath(), "Inventory: " + core(id.number->text()));
    });

    ButtonRow buttons(&d);
    addFormButtons(buttons, amend);

    auto* grid = new QGridLayout(&d);
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    auto* hint = new QLabel(
        QStringLiteral("To use a barcode scan for the number fill the form then delete the "
                       "offered number and do the scan."),
        &d);
    hint->setWordWrap(true);
    grid->addWidget(hint, 1, 0, 1, 2);
    grid->addWidget(buttons.widget(), 2, 0, 1, 2);
    if (req.focusNumber)
        id.focusEmptyNumber();
    else
        id.description->setFocus();

    d.exec();
    ItemFormReply reply;
    reply.button = buttons.result();
    ItemFormFields& o = reply.fields;
    o = f;
    id.readInto(o);
    o.cost = core(cost->text());
    o.trade = core(trade->text());
    o.retail = core(retail->text());
    o.orderCode = core(orderCode->text());
    o.location = core(location->text());
    o.website = core(website->text());
    o.webImage = core(webImage->text());
    o.onOrder = core(onOrder->text());
    o.orderQuantity = core(orderQuantity->text());
    o.minimumOrder = core(minimumOrder->text());
    o.restockLevel = core(restock->text());
    o.quantity = core(quantity->text());
    o.committed = core(committed->text());
    o.deliveryLead = core(lead->text());
    o.labels = core(labels->text());
    o.delivery = core(delivery->text());
    o.weight = core(weight->text());
    o.notes = core(notes->text());
    o.taxCode = taxCode->currentIndex();
    o.tax1Box = tax1Box->isChecked();
    o.tax2Box = tax2Box->isChecked();
    readDate(date, o);
    o.displayCategory = category->currentIndex();
    o.sor = sor->currentIndex();
    o.noTaxRounding = noRounding->isChecked();
    o.specialOrder = special->currentData().toInt();
    o.ageWarning = ageWarning->isChecked();
    o.age = age->currentData().toInt();
    o.omitQuickSelect = omit->isChecked();
    o.offer = offers->checkedId() < 0 ? 0 : offers->checkedId();
    o.sellByDay = sellDay->currentData().toInt();
    o.sellByMonth = sellMonth->currentData().toInt();
    o.sellByYearIndex = sellYear->currentIndex();
    o.pictureNumber = picture.pictureNumber();
    o.ownPicture = picture.showsOwn();
    return reply;
}

// --- FIND INVENTORY and the view form --------------------------------------------

FormButton QtItemForms::findInventory(
    const FindInventoryView& first, const std::function<std::optional<FindInventoryView>()>& next) {
    auto rowsOf = [](const FindInventoryView& v) {
        return TextRows{{"Number", v.number},
                        {"Description", v.description},
                        {"SKU 1", v.sku[0]},
                        {"SKU 2", v.sku[1]},
                        {"SKU 3", v.sku[2]},
                        {"SKU 4", v.sku[3]},
                        {"Cost", v.cost},
                        {"Price", v.price},
                        {"Display category", v.category},
                        {"In stock", v.inStock},
                        {"Tax", v.tax},
                        {"Date added", v.dateAdded}};
    };
    return findWindow(m_parent, QStringLiteral("FIND INVENTORY"), first, next, rowsOf,
                      kRowsMinimum);
}

void QtItemForms::viewItem(const ItemView& first,
                           const std::function<std::optional<ItemView>()>& next) {
    QDialog d(m_parent);
    d.setWindowTitle(QStringLiteral("Inventory"));
    ItemView current = first;
    std::vector<QLabel*> values;
    auto* layout = new QVBoxLayout(&d);
    auto* pictureRow = new QHBoxLayout;
    auto* picture = new QLabel(&d);
    showPicture(picture, current.picturePath);
    auto* enlarge = new QPushButton(QStringLiteral("+"), &d);
    pictureRow->addWidget(picture);
    pictureRow->addWidget(enlarge);
    pictureRow->addStretch(1);
    layout->addLayout(pictureRow);
    layout->addWidget(readOnlyRows(&d, current.rows, &values, kRowsMinimum));
    QObject::connect(enlarge, &QPushButton::clicked, &d, [&] {
        showEnlarged(&d, current.picturePath, "Inventory: " + current.number);
    });
    ButtonRow buttons(&d);
    buttons.action(QStringLiteral("Next"), [&] {
        auto v = next();
        if (!v) {
            buttons.finish(FormButton::kOk);
            return;
        }
        current = *v;
        refillRows(values, current.rows);
        showPicture(picture, current.picturePath);
    });
    buttons.add(QStringLiteral("Close"), FormButton::kOk);
    layout->addWidget(buttons.widget());
    d.exec();
}

// --- Bundles --------------------------------------------------------------------

BundleFormReply QtItemForms::bundleForm(const BundleFormRequest& req) {
    const BundleFormFields& f = req.fields;
    const bool amend = req.presentation == ItemFormPresentation::kAmend;
    QDialog d(m_parent);
    d.setWindowTitle(qt(req.title));
    const ItemIdentity id(&d, f, amend);
    auto* date = datePicker(&d, f.day, f.month, f.year);
    auto* delivery = entry(&d, f.delivery, 19, false);
    auto* weight = entry(&d, f.weight, 19, false);
    auto* category =
        textList(&d, std::vector<std::string>(req.categoryNames.begin(), req.categoryNames.end()),
                 f.displayCategory);
    auto* notes = entry(&d, f.notes, kItemNotesLimit, false);

    auto* form = new QFormLayout;
    id.addRows(form);
    form->addRow(QStringLiteral("Date added"), date);
    form->addRow(QStringLiteral("Delivery"), delivery);
    form->addRow(QStringLiteral("Weight"), weight);
    form->addRow(QStringLiteral("Display category"), category);
    form->addRow(QStringLiteral("Notes"), notes);

    std::array<BundleRow, 6> rows = f.rows;
    auto* group = new QGroupBox(QStringLiteral("Items in bundle"), &d);
    auto* grid = new QGridLayout(group);
    QLabel* numbers[6];
    QLabel* names[6];
    QCheckBox* free[6];
    QComboBox* quantities[6];
    for (int r = 0; r < 6; ++r) {
        numbers[r] = new QLabel(qt(rows[r].number), group);
        names[r] = new QLabel(qt(rows[r].description), group);
        free[r] = new QCheckBox(QStringLiteral("Free"), group);
        free[r]->setChecked(rows[r].free);
        quantities[r] = numberList(group, 1, 50, rows[r].quantityIndex + 1);
        auto* select = new QPushButton(QStringLiteral("Select"), group);
        auto* remove = new QPushButton(QStringLiteral("Remove"), group);
        QObject::connect(select, &QPushButton::clicked, &d, [&, r] {
            if (!req.select) return;
            if (auto chosen = req.select()) {
                rows[r].number = chosen->number;
                rows[r].description = chosen->description;
                numbers[r]->setText(qt(chosen->number));
                names[r]->setText(qt(chosen->description));
            }
        });
        QObject::connect(remove, &QPushButton::clicked, &d, [&, r] {
            rows[r].number.clear();
            rows[r].description.clear();
            numbers[r]->clear();
            names[r]->clear();
        });
        grid->addWidget(numbers[r], r, 0);
        grid->addWidget(names[r], r, 1);
        grid->addWidget(select, r, 2);
        grid->addWidget(remove, r, 3);
        grid->addWidget(free[r], r, 4);
        grid->addWidget(quantities[r], r, 5);
    }

    ButtonRow buttons(&d);
    addFormButtons(buttons, amend);
    auto* layout = new QVBoxLayout(&d);
    layout->addLayout(form);
    layout->addWidget(group);
    layout->addWidget(new QLabel(
        QStringLiteral("Note that included items show individually on receipts and invoices"), &d));
    layout->addWidget(buttons.widget());
    if (req.focusNumber) id.focusEmptyNumber();
    d.exec();

    BundleFormReply reply;
    reply.button = buttons.result();
    BundleFormFields& o = reply.fields;
    id.readInto(o);
    readDate(date, o);
    o.delivery = core(delivery->text());
    o.weight = core(weight->text());
    o.displayCategory = category->currentIndex();
    o.notes = core(notes->text());
    for (int r = 0; r < 6; ++r) {
        o.rows[r] = rows[r];
        o.rows[r].free = free[r]->isChecked();
        o.rows[r].quantityIndex = quantities[r]->currentIndex();
    }
    return reply;
}

void QtItemForms::viewBundle(const BundleView& view) {
    QDialog d(m_parent);
    d.setWindowTitle(QStringLiteral("Inventory bundle"));
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(readOnlyRows(&d, view.rows, nullptr, kRowsMinimum));
    auto* list = new QListWidget(&d);
    for (const auto& c : view.components)
        list->addItem(qt(c.number + "  " + c.description +
                         "  Quantity: " + std::to_string(c.quantity) + (c.free ? "  Free" : "")));
    layout->addWidget(new QLabel(QStringLiteral("Items in bundle"), &d));
    layout->addWidget(list);
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("Close"), FormButton::kOk);
    layout->addWidget(buttons.widget());
    d.exec();
}

// --- Search windows -------------------------------------------------------------

std::optional<DescriptionSearchReply> QtItemForms::descriptionSearch(bool preselectWithin) {
    QDialog d(m_parent);
    d.setWindowTitle(QStringLiteral("Item description search"));
    auto* text = entry(&d, "", 38, true);
    auto* initials = new QRadioButton(QStringLiteral("Initial characters"), &d);
    auto* within = new QRadioButton(QStringLiteral("Within the description"), &d);
    (preselectWithin ? within : initials)->setChecked(true);
    auto* keep = new QCheckBox(QStringLiteral("Keep search type as default"), &d);
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(text);
    layout->addWidget(initials);
    layout->addWidget(within);
    layout->addWidget(keep);
    layout->addWidget(buttons.widget());
    text->setFocus();
    d.exec();
    if (buttons.result() != FormButton::kOk) return std::nullopt;
    return DescriptionSearchReply{core(text->text()), within->isChecked(), keep->isChecked()};
}

std::optional<AdvancedQuery> QtItemForms::advancedSearch() {
    QDialog d(m_parent);
    d.setWindowTitle(QStringLiteral("Advanced search"));
    auto* form = new QFormLayout;
    auto* description = entry(&d, "", 38, true);
    form->addRow(QStringLiteral("Description"), description);
    QLineEdit* sku[4];
    for (int i = 0; i < 4; ++i) {
        sku[i] = entry(&d, "", 38, true);
        form->addRow(QStringLiteral("SKU"), sku[i]);
    }
    auto* any =
        new QRadioButton(QStringLiteral("Display inventory with any match to the above"), &d);
    auto* all = new QRadioButton(QStringLiteral("Display only those that match all the above"), &d);
    any->setChecked(true);
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    auto* layout = new QVBoxLayout(&d);
    layout->addLayout(form);
    layout->addWidget(any);
    layout->addWidget(all);
    layout->addWidget(buttons.widget());
    d.exec();
    if (buttons.result() != FormButton::kOk) return std::nullopt;
    AdvancedQuery q;
    q.description = core(description->text());
    for (int i = 0; i < 4; ++i) q.sku[i] = core(sku[i]->text());
    q.all = all->isChecked();
    return q;
}

// --- Stock received ----------------------------------------------------------------

ReceiveReply QtItemForms::receive(const ReceiveRequest& req) {
    QDialog d(m_parent);
    d.setWindowTitle(QStringLiteral("Receive Inventory"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Line number:"), new QLabel(qt(req.lineNumber), &d));
    form->addRow(QStringLiteral("Description"), new QLabel(qt(req.description), &d));
    form->addRow(QStringLiteral("Held"), new QLabel(QString::number(req.held), &d));
    auto* quantity = entry(&d, "", 11, false);
    auto* total = new QLabel(qt(updatedTotalText(req.held, "")), &d);
    QObject::connect(quantity, &QLineEdit::textEdited, &d, [&](const QString& t) {
        total->setText(qt(updatedTotalText(req.held, core(t))));
    });
    form->addRow(QStringLiteral("Quantity received"), quantity);
    form->addRow(QStringLiteral("Updated total"), total);
    auto* day = numberList(&d, 0, 31, req.sellByDay);
    auto* month = numberList(&d, 0, 12, req.sellByMonth);
    auto* year = sellByYearList(&d, req.sellByYearIndex);
    auto* sell = new QHBoxLayout;
    sell->addWidget(day);
    sell->addWidget(month);
    sell->addWidget(year);
    form->addRow(QStringLiteral("Sell by (D M Y)"), sell);
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    buttons.add(QStringLiteral("Next"), FormButton::kNext);
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    auto* layout = new QVBoxLayout(&d);
    layout->addLayout(form);
    layout->addWidget(
        new QLabel(QStringLiteral("The Sell by date is not required and may be left at 0"), &d));
    layout->addWidget(buttons.widget());
    quantity->setFocus();
    d.exec();
    ReceiveReply reply;
    reply.button = buttons.result();
    reply.quantity = core(quantity->text());
    reply.sellByDay = day->currentData().toInt();
    reply.sellByMonth = month->currentData().toInt();
    reply.sellByYearIndex = year->currentIndex();
    return reply;
}

std::optional<DateRange> QtItemForms::receivedRange() {
    QDialog d(m_parent);
    d.setWindowTitle(QStringLiteral("Inventory received"));
    const QDate today = QDate::currentDate();
    auto row = [&](QHBoxLayout* h, int day, int month, int year) {
        auto* dd = numberList(&d, 1, 31, day);
        auto* mm = numberList(&d, 1, 12, month);
        auto* yy = numberList(&d, 2000, 4000, year);
        h->addWidget(dd);
        h->addWidget(mm);
        h->addWidget(yy);
        return std::array<QComboBox*, 3>{dd, mm, yy};
    };
    auto* fromRow = new QHBoxLayout;
    auto* toRow = new QHBoxLayout;
    auto from = row(fromRow, 1, today.month(), today.year());
    auto to = row(toRow, today.day(), today.month(), today.year());
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("From"), fromRow);
    form->addRow(QStringLiteral("To"), toRow);
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    auto* layout = new QVBoxLayout(&d);
    layout->addLayout(form);
    layout->addWidget(buttons.widget());
    d.exec();
    if (buttons.result() != FormButton::kOk) return std::nullopt;
    return DateRange{from[0]->currentData().toInt(), from[1]->currentData().toInt(),
                     from[2]->currentData().toInt(), to[0]->currentData().toInt(),
                     to[1]->currentData().toInt(),   to[2]->currentData().toInt()};
}

bool QtItemForms::receivedList(const std::string& title, const std::vector<std::string>& lines) {
    QDialog d(m_parent);
    d.setWindowTitle(qt(title));
    auto* list = new QListWidget(&d);
    for (const std::string& l : lines) list->addItem(qt(l));
    list->setMinimumSize(600, 400);
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("Print"), FormButton::kOk);
    buttons.add(QStringLiteral("Close"), FormButton::kCancel);
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(list);
    layout->addWidget(buttons.widget());
    d.exec();
    return buttons.result() == FormButton::kOk;
}

void QtItemForms::print(const PagedText& pages) {
    if (!m_printers) return;
    std::unique_ptr<PrintJob> job = m_printers->open(Printers::Target::kDialog, {});
    if (!job) return;  // cancelled
    Status printed = printTextPages(*job, pages.pages);
    if (!job->release() && printed) printed = Status::ioError("Unable to release printer");
    // A list that did not print must not look as though it had.
    if (!printed)
        QMessageBox::warning(m_parent, QString::fromUtf8(kTitleProblem),
                             QString::fromStdString(printed.message()));
}

// --- Pictures --------------------------------------------------------------------

std::optional<std::string> QtItemForms::chooseBitmap() {
    const QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString file = QFileDialog::getOpenFileName(m_parent, QString(), start,
                                                      QStringLiteral("Bitmap files (*.bmp)"));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

std::optional<int> QtItemForms::chooseInbuiltPicture() {
    QDialog d(m_parent);
    d.setWindowTitle(QStringLiteral("Update inbuilt stock picture"));
    std::vector<std::string> entries;
    for (int n = 1; n <= kInbuiltPictures; ++n) entries.push_back("Inbuilt " + std::to_string(n));
    auto* list = textList(&d, entries, 0);
    ButtonRow buttons(&d);
    buttons.add(QStringLiteral("OK"), FormButton::kOk);
    buttons.add(QStringLiteral("Cancel"), FormButton::kCancel);
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(list);
    layout->addWidget(buttons.widget());
    d.exec();
    if (buttons.result() != FormButton::kOk) return std::nullopt;
    return list->currentIndex() + 1;
}

}  // namespace kassio
