#include "store/store_config.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/fixed_text.h"

namespace kassio {

namespace {

const char* const kFirstCategoryCodes[kDisplayCategories] = {
    "ALC", "BEE", "BOO", "CAN", "CAR", "COF", "DEL", "DRI", "DVD",
    "FRO", "FRU", "HAR", "MSC", "PAP", "POP", "TEA", "SWE", "WIN"};

const char* const kDefaultHeading[7] = {
    "YOUR STORE", "SET FROM UTILITIES MENU", "STORE PRINT HEADING", "THE TOWN",
    "THE AREA",   "YOUR TELEPHONE",          "ORVANE SOFTWARE"};

const char* const kPeriodWords[8] = {"No credit,", "10 days,", "20 days,",  "30 days,",
                                     "60 days,",   "90 days,", "120 days,", "180 days,"};
const char* const kDiscountWords[8] = {"Nett",     "2% disc",  "5% disc",  "10% disc",
                                       "20% disc", "30% disc", "40% disc", "50% disc"};

// First-run custom invoice line numbers in dialog order: store name,
// address 1..4, telephone, date, items, customer detail, customer terms,
// customer ID, net total, tax, discount, total, clerk, invoice, balance, note.
const int32_t kFirstInvoiceLines[kInvoiceLineCount] = {7,  8,  9,  0, 0,  11, 15, 18, 41, 48,
                                                       40, 30, 31, 0, 34, 16, 13, 49, 0};

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// Whole days since a fixed origin, to compare two calendar dates.
long dayNumber(int y, int m, int d) {
    static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    long days = 365L * y + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400;
    days += kBefore[(m - 1) % 12] + d;
    if (m > 2 && isLeap(y)) ++days;
    return days;
}

}  // namespace

StoreConfig::StoreConfig() {
    std::memset(&m_rec, 0, sizeof m_rec);
}

void StoreConfig::setFirstRunDefaults(const LocalTime& today) {
    std::memset(&m_rec, 0, sizeof m_rec);
    for (int i = 0; i < kDisplayCategories; ++i) setCategoryCode(i, kFirstCategoryCodes[i]);
    for (int band = 0; band < 8; ++band) {
        m_rec.terms_discount[band] = band + 1;
        m_rec.options[kOptTermsPeriod + band] = band + 1;
    }
    m_rec.reserved72 = 99;
    m_rec.first_start_day = today.day;
    setFieldText(m_rec.custom_button_labels[0], "Misc");
    setFieldText(m_rec.custom_button_labels[1], "Lottery");
    setFieldText(m_rec.custom_button_labels[2], "Accessories");
    setFieldText(m_rec.custom_button_labels[3], "Loose items");

    m_rec.options[kOptReserved4336] = 1;
    m_rec.options[kOptTax1InUse] = 2;
    m_rec.options[kOptTax1Rate] = 2000;
    m_rec.options[kOptPermitInsufficientStock] = 2;

    m_rec.next_transaction = 1;
    m_rec.reserved4796 = 2;
    setFieldText(m_rec.tax1_name, "VAT 1");
    setFieldText(m_rec.tax2_name, "VAT 2");
    m_rec.default_till_float = 100.00;

    // Receipt element line numbers: store name, address 1..4, telephone,
    // date, footer, and further down total (14) and clerk (15).
    const int32_t lines[8] = {1, 2, 3, 4, 0, 5, 7, 4};
    for (int i = 0; i < 8; ++i) m_rec.custom_receipt_lines[i] = lines[i];
    m_rec.custom_receipt_lines[14] = 2;
    m_rec.custom_receipt_lines[15] = 8;

    setFieldText(m_rec.drawer_code, "27,112,0,25,250");
    setFieldText(m_rec.clerk_names[0], "Administrator");
    setFieldText(m_rec.clerk_names[1], "Manager");
    for (int i = 2; i < kClerkCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Clerk %d", i + 1);
        setFieldText(m_rec.clerk_names[i], name);
    }
    setFieldText(m_rec.receipt_footer, "Always happy to help!");

    m_rec.settings_a[kSetAHistoryStart] = today.day;
    m_rec.settings_a[kSetAHistoryStart + 1] = today.month;
    m_rec.settings_a[kSetAHistoryStart + 2] = today.year;
    m_rec.settings_a[kSetAFirstStart] = today.day;
    m_rec.settings_a[kSetAFirstStart + 1] = today.month;
    m_rec.settings_a[kSetAFirstStart + 2] = today.year;

    m_rec.settings_b[kSetBQuickSelectCategory] = 14;
    m_rec.settings_b[kSetBDrawerConnection] = 2;
    m_rec.settings_b[kSetBReceiptLogo] = 2;
    m_rec.settings_b[kSetBClientCustomButtons] = 2;
    for (int i = 0; i < kInvoiceLineCount; ++i)
        m_rec.settings_b[kSetBInvoiceLines + i] = kFirstInvoiceLines[i];
    m_rec.settings_b[kSetBInvoiceLogo] = 1;
    m_rec.settings_b[kSetBInvoiceBarcode] = 1;
    m_rec.settings_b[kSetBInvoiceBoxEncased] = 1;
    m_rec.settings_b[kSetBInvoiceCustomLogo] = 1;
}

void StoreConfig::repair() {
    if (m_rec.tax1_name[0] == '\0') {
        setFieldText(m_rec.tax1_name, "TAX 1");
        setFieldText(m_rec.tax2_name, "TAX 2");
    }
    if (m_rec.next_transaction == 0 || m_rec.next_transaction > kMaxTransactionNumber)
        m_rec.next_transaction = 1;
    if (m_rec.settings_a[kSetAHistoryStart + 2] < kEarliestHistoryYear)
        m_rec.settings_a[kSetAHistoryStart + 2] = kEarliestHistoryYear;
    if (m_rec.settings_a[kSetAFirstStart + 2] < kEarliestHistoryYear)
        m_rec.settings_a[kSetAFirstStart + 2] = kEarliestHistoryYear;
    // The clerk permission flags sit where the documented layout names no
    // field, so a kq.cfg written elsewhere may hold other data there: only
    // 0, 1 and 2 are taken as flags, anything else as unset.
    for (int flag = kSetBPermitNewLine; flag <= kSetBForbidRefund; ++flag)
        if (m_rec.settings_b[flag] < 0 || m_rec.settings_b[flag] > 2) m_rec.settings_b[flag] = 0;
}

void StoreConfig::fillEmptyHeading() {
    if (m_rec.heading[0][0] != '\0') return;
    for (int i = 0; i < 7; ++i) setFieldText(m_rec.heading[i], kDefaultHeading[i]);
}

void StoreConfig::adoptLocaleCurrency(const std::string& localeSymbol) {
    if (m_rec.currency_initialised == 2) return;
    setFieldText(m_rec.currency_symbol, localeSymbol.substr(0, 4));
    m_rec.currency_initialised = 2;
}

std::string StoreConfig::categoryCode(int category) const {
    if (category < 0 || category >= kDisplayCategories) return {};
    const char* code = category < 9 ? m_rec.category_codes_1_9[category]
                                    : m_rec.category_codes_10_18[category - 9];
    std::string out(code, 3);
    out.resize(std::strlen(out.c_str()));  // a code shorter than three letters ends at its NUL
    return out;
}

void StoreConfig::setCategoryCode(int category, const std::string& code) {
    if (category < 0 || category >= kDisplayCategories) return;
    char* slot = category < 9 ? m_rec.category_codes_1_9[category]
                              : m_rec.category_codes_10_18[category - 9];
    std::memset(slot, 0, 3);
    std::memcpy(slot, code.data(), code.size() < 3 ? code.size() : 3);
}

std::string StoreConfig::heading(int line) const {
    if (line < 1 || line > 7) return {};
    return fieldText(m_rec.heading[line - 1]);
}

std::string StoreConfig::clerkName(int64_t clerk) const {
    if (clerk < 1 || clerk > kClerkCount) return {};
    return fieldText(m_rec.clerk_names[clerk - 1]);
}

std::string StoreConfig::tax1Name() const {
    return fieldText(m_rec.tax1_name);
}
std::string StoreConfig::tax2Name() const {
    return fieldText(m_rec.tax2_name);
}

void StoreConfig::stampLastStart(const LocalTime& t) {
    m_rec.counters[kCounterLastStart + 0] = t.minute;
    m_rec.counters[kCounterLastStart + 1] = t.hour;
    m_rec.counters[kCounterLastStart + 2] = t.day;
    m_rec.counters[kCounterLastStart + 3] = t.month;
    m_rec.counters[kCounterLastStart + 4] = t.year;
}

LocalTime StoreConfig::lastStart() const {
    LocalTime t;
    t.minute = m_rec.counters[kCounterLastStart + 0];
    t.hour = m_rec.counters[kCounterLastStart + 1];
    t.day = m_rec.counters[kCounterLastStart + 2];
    t.month = m_rec.counters[kCounterLastStart + 3];
    t.year = m_rec.counters[kCounterLastStart + 4];
    return t;
}

int64_t numberAfterBase(int64_t base) {
    return base >= 0 && base < kMaxRecordNumber ? base + 1 : 0;
}

GeneralPage GeneralPage::load(const StoreConfig& cfg) {
    const StoreConfigRecord& r = cfg.record();
    GeneralPage p;
    p.inventoryNextStart = std::max<int64_t>(numberAfterBase(r.options[kOptItemNumberBase]), 1);
    p.customerNextStart = std::max<int64_t>(numberAfterBase(r.options[kOptCustomerNumberBase]), 1);
    int button = r.settings_b[kSetBDefaultButtonCategory];
    p.defaultButtonCategoryIndex = button > 0 ? button - 1 : 0;
    int newCategory = r.settings_b[kSetBDefaultNewCategory];
    p.defaultNewCategoryIndex = (newCategory > 0 ? newCategory : 15) - 1;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", r.default_till_float);
    p.defaultTillFloat = buf;
    p.tax1Name = cfg.tax1Name();
    p.tax2Name = cfg.tax2Name();
    for (int i = 0; i < kDisplayCategories; ++i) p.categoryCodes[i] = cfg.categoryCode(i);
    p.historyDay = r.settings_a[kSetAHistoryStart];
    p.historyMonth = r.settings_a[kSetAHistoryStart + 1];
    p.historyYearIndex = r.settings_a[kSetAHistoryStart + 2] - r.settings_a[kSetAFirstStart + 2];
    if (p.historyYearIndex < 0) p.historyYearIndex = 0;
    p.summaryBox = r.options[kOptNoSummaryBox] == 0;
    p.secondCurrency = r.settings_b[kSetBSecondCurrency] == 2;
    p.secondCurrencySymbol = fieldText(r.second_currency_symbol);
    p.secondCurrencyRate = r.money[kMoneySecondCurrencyRate];
    p.tradeDiscount = r.settings_b[kSetBTradeDiscount] == 2;
    p.tradeDiscountPercent = r.discounts[0];
    p.skuEntry = skuEntryMode(r);
    return p;
}

void GeneralPage::apply(StoreConfig& cfg, const LocalTime& today) const {
    StoreConfigRecord& r = cfg.record();
    // A start point below 1 (typed, or 0 for an empty box) starts at 1.
    r.options[kOptItemNumberBase] = std::max<int64_t>(inventoryNextStart, 1) - 1;
    r.options[kOptCustomerNumberBase] = std::max<int64_t>(customerNextStart, 1) - 1;
    r.settings_b[kSetBDefaultButtonCategory] = defaultButtonCategoryIndex + 1;
    r.settings_b[kSetBDefaultNewCategory] = defaultNewCategoryIndex + 1;

    // Kept only when the whole text is a number; "abc" leaves the old float.
    if (!defaultTillFloat.empty()) {
        char* end = nullptr;
        double v = std::strtod(defaultTillFloat.c_str(), &end);
        if (end != defaultTillFloat.c_str() && *end == '\0') r.default_till_float = v;
    }
    setFieldText(r.tax1_name, tax1Name.substr(0, 5));
    setFieldText(r.tax2_name, tax2Name.substr(0, 5));
    for (int i = 0; i < kDisplayCategories; ++i) cfg.setCategoryCode(i, categoryCodes[i]);

    // A history date that is not a date (a month 0 read from a short
    // kq.cfg) is refused like one after today: the stored date stays.
    int year = r.settings_a[kSetAFirstStart + 2] + historyYearIndex;
    const bool isDate =
        historyMonth >= 1 && historyMonth <= 12 && historyDay >= 1 && historyDay <= 31;
    if (isDate && dayNumber(year, historyMonth, historyDay) <=
                      dayNumber(today.year, today.month, today.day)) {
        r.settings_a[kSetAHistoryStart] = historyDay;
        r.settings_a[kSetAHistoryStart + 1] = historyMonth;
        r.settings_a[kSetAHistoryStart + 2] = year;
    }
    r.options[kOptNoSummaryBox] = summaryBox ? 0 : 1;
    r.settings_b[kSetBSecondCurrency] = secondCurrency ? 2 : 0;
    if (secondCurrency) {
        setFieldText(r.second_currency_symbol, secondCurrencySymbol.substr(0, 3));
        r.money[kMoneySecondCurrencyRate] = secondCurrencyRate;
    }
    r.settings_b[kSetBTradeDiscount] = tradeDiscount ? 2 : 0;
    if (tradeDiscount) r.discounts[0] = tradeDiscountPercent;
    r.settings_b[kSetBEntryModeSku] = skuEntry ? 2 : 0;
}

TermsPage TermsPage::load(const StoreConfig& cfg) {
    // A code outside 1..8 (a kq.cfg written elsewhere) selects nothing,
    // rather than an index the lists do not have.
    auto index = [](int64_t code) {
        return code >= 1 && code <= 8 ? static_cast<int>(code) - 1 : -1;
    };
    TermsPage p;
    for (int band = 0; band < 8; ++band) {
        p.discountIndex[band] = index(cfg.record().terms_discount[band]);
        p.periodIndex[band] = index(cfg.record().options[kOptTermsPeriod + band]);
    }
    return p;
}

void TermsPage::apply(StoreConfig& cfg) const {
    for (int band = 0; band < 8; ++band) {
        cfg.record().terms_discount[band] = discountIndex[band] + 1;
        cfg.record().options[kOptTermsPeriod + band] = periodIndex[band] + 1;
    }
}

std::string termsBandText(const StoreConfig& cfg, int band) {
    if (band < 1 || band > 8) return {};
    int discount = cfg.record().terms_discount[band - 1];
    int64_t period = cfg.record().options[kOptTermsPeriod + band - 1];
    // The period word, any code outside 2..8 reading as "No credit,", then
    // the discount word directly after it ("No credit,Nett").
    std::string text = period >= 2 && period <= 8 ? kPeriodWords[period - 1] : kPeriodWords[0];
    if (discount >= 1 && discount <= 8) text += kDiscountWords[discount - 1];
    return text;
}

}  // namespace kassio
