#include "ui/config_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "store/data_store.h"
#include "store/store_config.h"
#include "ui/qt_ui.h"

namespace kassio {

ConfigurationDialog::ConfigurationDialog(DataStore&, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Configuration");
}

bool ConfigurationDialog::edit(DataStore& store, QWidget* parent, std::string* failure) {
    GeneralPage general;
    TermsPage terms;
    int firstYear;
    {
        auto lock = store.lock();
        general = GeneralPage::load(store.config());
        terms = TermsPage::load(store.config());
        firstYear = store.config().record().settings_a[kSetAFirstStart + 2];
    }
    ConfigurationDialog d(store, parent);
    auto* tabs = new QTabWidget(&d);

    // General.
    auto* page = new QWidget(tabs);
    auto* form = new QFormLayout(page);
    auto* itemStart = new QLineEdit(QString::number(general.inventoryNextStart), page);
    auto* customerStart = new QLineEdit(QString::number(general.customerNextStart), page);
    form->addRow("Inventory next available start point", itemStart);
    form->addRow("Customer next available start point", customerStart);
    auto* buttonCategory = new QComboBox(page);
    auto* newCategory = new QComboBox(page);
    for (int c = 0; c < kDisplayCategories; ++c) {
        buttonCategory->addItem(toQt(store.config().categoryCode(c)));
        newCategory->addItem(toQt(store.config().categoryCode(c)));
    }
    buttonCategory->setCurrentIndex(general.defaultButtonCategoryIndex);
    newCategory->setCurrentIndex(general.defaultNewCategoryIndex);
    form->addRow("Default display button category", buttonCategory);
    form->addRow("Default new inventory category", newCategory);
    auto* tillFloat = new QLineEdit(toQt(general.defaultTillFloat), page);
    form->addRow("Default start of day till total", tillFloat);
    auto* tax1 = new QLineEdit(toQt(general.tax1Name), page);
    auto* tax2 = new QLineEdit(toQt(general.tax2Name), page);
    tax1->setMaxLength(5);
    tax2->setMaxLength(5);
    form->addRow("Tax 1 name (To 5 characters)", tax1);
    form->addRow("Tax 2 name (To 5 characters)", tax2);
    auto* codes = new QGridLayout;
    QLineEdit* codeEdits[kDisplayCategories];
    for (int c = 0; c < kDisplayCategories; ++c) {
        codeEdits[c] = new QLineEdit(toQt(general.categoryCodes[c]), page);
        codeEdits[c]->setMaxLength(3);
        codeEdits[c]->setMaximumWidth(60);
        codes->addWidget(codeEdits[c], c / 9, c % 9);
    }
    form->addRow("Categories", codes);
    auto* history = new QHBoxLayout;
    auto* day = new QSpinBox(page);
    auto* month = new QSpinBox(page);
    auto* year = new QComboBox(page);
    day->setRange(1, 31);
    month->setRange(1, 12);
    day->setValue(general.historyDay > 0 ? general.historyDay : 1);
    month->setValue(general.historyMonth > 0 ? general.historyMonth : 1);
    for (int y = firstYear; y <= firstYear + 60; ++y) year->addItem(QString::number(y));
    year->setCurrentIndex(general.historyYearIndex);
    history->addWidget(day);
    history->addWidget(month);
    history->addWidget(year);
    form->addRow("History from:", history);
    auto* summary = new QCheckBox(
        "Display summary box after each transaction (with receipt and invoice print buttons).",
        page);
    summary->setChecked(general.summaryBox);
    form->addRow(summary);
    auto* second = new QCheckBox("Display second currency", page);
    second->setChecked(general.secondCurrency);
    auto* secondSymbol = new QLineEdit(toQt(general.secondCurrencySymbol), page);
    secondSymbol->setMaxLength(3);
    auto* rate = new QDoubleSpinBox(page);
    rate->setDecimals(4);
    rate->setRange(0, 100000);
    rate->setValue(general.secondCurrencyRate);
    form->addRow(second);
    form->addRow("Symbol", secondSymbol);
    form->addRow("Conversion rate", rate);
    auto* trade = new QCheckBox("Use percentage discount for trade sales", page);
    trade->setChecked(general.tradeDiscount);
    auto* tradePercent = new QDoubleSpinBox(page);
    tradePercent->setRange(0, 100);
    tradePercent->setValue(general.tradeDiscountPercent);
    form->addRow(trade);
    form->addRow("Discount (say 5 or 5.62)", tradePercent);
    auto* sku = new QCheckBox(
        "Use SKU 1 for cart item selection (default is the number field). Ensure unique.", page);
    sku->setObjectName("skuEntry");
    sku->setChecked(general.skuEntry);
    form->addRow(sku);
    tabs->addTab(page, "General");

    // Terms.
    auto* termsPage = new QWidget(tabs);
    auto* grid = new QGridLayout(termsPage);
    const char* discounts[8] = {"Nett",     "2% disc",  "5% disc",  "10% disc",
                                "20% disc", "30% disc", "40% disc", "50% disc"};
    const char* periods[8] = {"No credit", "10 days", "20 days",  "30 days",
                              "60 days",   "90 days", "120 days", "180 days"};
    QComboBox* discountBoxes[8];
    QComboBox* periodBoxes[8];
    for (int band = 0; band < 8; ++band) {
        grid->addWidget(new QLabel(QString("Terms %1").arg(band + 1), termsPage), band, 0);
        periodBoxes[band] = new QComboBox(termsPage);
        discountBoxes[band] = new QComboBox(termsPage);
        for (int i = 0; i < 8; ++i) {
            periodBoxes[band]->addItem(periods[i]);
            discountBoxes[band]->addItem(discounts[i]);
        }
        periodBoxes[band]->setCurrentIndex(terms.periodIndex[band]);
        discountBoxes[band]->setCurrentIndex(terms.discountIndex[band]);
        grid->addWidget(periodBoxes[band], band, 1);
        grid->addWidget(discountBoxes[band], band, 2);
    }
    tabs->addTab(termsPage, "Terms");

    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    layout->addWidget(buttons);
    if (d.exec() != QDialog::Accepted) return false;

    general.inventoryNextStart = itemStart->text().toLongLong();
    general.customerNextStart = customerStart->text().toLongLong();
    general.defaultButtonCategoryIndex = buttonCategory->currentIndex();
    general.defaultNewCategoryIndex = newCategory->currentIndex();
    general.defaultTillFloat = fromQt(tillFloat->text());
    general.tax1Name = fromQt(tax1->text());
    general.tax2Name = fromQt(tax2->text());
    for (int c = 0; c < kDisplayCategories; ++c)
        general.categoryCodes[c] = fromQt(codeEdits[c]->text());
    general.historyDay = day->value();
    general.historyMonth = month->value();
    general.historyYearIndex = year->currentIndex();
    general.summaryBox = summary->isChecked();
    general.secondCurrency = second->isChecked();
    general.secondCurrencySymbol = fromQt(secondSymbol->text());
    general.secondCurrencyRate = rate->value();
    general.tradeDiscount = trade->isChecked();
    general.tradeDiscountPercent = tradePercent->value();
    general.skuEntry = sku->isChecked();
    for (int band = 0; band < 8; ++band) {
        terms.periodIndex[band] = periodBoxes[band]->currentIndex();
        terms.discountIndex[band] = discountBoxes[band]->currentIndex();
    }
    {
        auto lock = store.lock();
        general.apply(store.config(), store.clock().now());
        terms.apply(store.config());
    }
    Status s = store.saveConfig();
    if (!s && failure) *failure = s.message();
    return s.isOk();
}

}  // namespace kassio
