#include "admin/store_settings.h"

#include <cmath>
#include <functional>
#include <optional>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/numbers.h"
#include "base/text_format.h"
#include "base/timestamp.h"

namespace kassio {

namespace {

constexpr int32_t kOn = 2;

std::string rateText(int64_t hundredths) {
    return formatted("%.2f", static_cast<double>(hundredths) / 100.0);
}

// "17.5" -> 1750; nullopt for text that is not a percentage 0..100.
std::optional<int64_t> rateFromText(const std::string& text) {
    if (text.empty()) return 0;
    auto percent = decimalNumber(text);
    if (!percent || *percent < 0 || *percent > 100) return std::nullopt;
    return static_cast<int64_t>(std::llround(*percent * 100.0));
}

bool isOn(int32_t value) {
    return value == kOn;
}

Status saveWith(DataStore& store, const Status& checked,
                const std::function<void(StoreConfigRecord&)>& change) {
    if (!checked) return checked;
    auto lock = store.lock();
    change(store.config().record());
    return store.saveConfig();
}

}  // namespace

// --- Tax setup ----------------------------------------------------------------

TaxSetup TaxSetup::load(const StoreConfigRecord& cfg) {
    TaxSetup t;
    t.tax1InUse = cfg.options[kOptTax1InUse] != 0;
    t.tax1Name = fieldText(cfg.tax1_name);
    t.tax1Rate = rateText(cfg.options[kOptTax1Rate]);
    t.tax2InUse = cfg.options[kOptTax2InUse] != 0;
    t.tax2Name = fieldText(cfg.tax2_name);
    t.tax2Rate = rateText(cfg.options[kOptTax2Rate]);
    t.tax2OnTax1 = cfg.options[kOptTax2OnTax1] != 0;
    t.thresholdInUse = isOn(cfg.settings_b[kSetBTax1Threshold]);
    t.threshold = moneyText(cfg.money[kMoneyTax1Threshold]);
    const int32_t code = cfg.settings_b[kSetBDefaultTaxCode];
    t.defaultTaxCode = code >= 0 && code <= 3 ? code : 0;
    return t;
}

Status TaxSetup::check() const {
    if (!rateFromText(tax1Rate) || !rateFromText(tax2Rate))
        return Status::invalid("Tax rate must be a percentage from 0 to 100");
    if (tax1Name.size() > 5 || tax2Name.size() > 5)
        return Status::invalid("Tax name up to 5 characters");
    if (tax1InUse && tax1Name.empty()) return Status::invalid("Tax 1 needs a name");
    if (tax2InUse && tax2Name.empty()) return Status::invalid("Tax 2 needs a name");
    auto t = threshold.empty() ? std::optional<double>(0) : decimalNumber(threshold);
    if (!t || *t < 0) return Status::invalid("Threshold must be an amount of 0 or more");
    if (defaultTaxCode < 0 || defaultTaxCode > 3) return Status::invalid("Invalid tax code");
    return Status::ok();
}

void TaxSetup::apply(StoreConfigRecord& cfg) const {
    cfg.options[kOptTax1InUse] = tax1InUse ? kOn : 0;
    cfg.options[kOptTax2InUse] = tax2InUse ? kOn : 0;
    cfg.options[kOptTax1Rate] = rateFromText(tax1Rate).value_or(cfg.options[kOptTax1Rate]);
    cfg.options[kOptTax2Rate] = rateFromText(tax2Rate).value_or(cfg.options[kOptTax2Rate]);
    cfg.options[kOptTax2OnTax1] = tax2OnTax1 ? kOn : 0;
    setFieldText(cfg.tax1_name, tax1Name);
    setFieldText(cfg.tax2_name, tax2Name);
    cfg.settings_b[kSetBTax1Threshold] = thresholdInUse ? kOn : 0;
    cfg.money[kMoneyTax1Threshold] = roundMoney(threshold.empty() ? 0 : decimalFromText(threshold));
    cfg.settings_b[kSetBDefaultTaxCode] = defaultTaxCode;
}

// --- Print heading ------------------------------------------------------------

PrintHeading PrintHeading::load(const StoreConfigRecord& cfg) {
    PrintHeading h;
    for (int i = 0; i < kLines; ++i) h.lines[i] = fieldText(cfg.heading[i]);
    return h;
}

Status PrintHeading::check() const {
    // The start-up fills an empty first line with the sample heading, so an
    // empty store name would not stay empty.
    if (lines[0].find_first_not_of(' ') == std::string::npos)
        return Status::invalid("Store name required");
    for (const std::string& l : lines)
        if (l.size() > kLineLength) return Status::invalid("Heading lines up to 79 characters");
    return Status::ok();
}

void PrintHeading::apply(StoreConfigRecord& cfg) const {
    for (int i = 0; i < kLines; ++i) setFieldText(cfg.heading[i], lines[i]);
}

// --- Non-inventory settings ------------------------------------------------------

NonInventorySettings NonInventorySettings::load(const StoreConfigRecord& cfg) {
    NonInventorySettings n;
    for (int i = 0; i < kLabels; ++i) n.labels[i] = fieldText(cfg.custom_button_labels[i]);
    n.clientButtons = isOn(cfg.settings_b[kSetBClientCustomButtons]);
    n.taxable = !isOn(cfg.settings_b[kSetBNonInventoryNotTaxable]);
    const int32_t choice = cfg.settings_b[kSetBNonInventoryTaxChoice];
    n.taxChoice = choice >= 0 && choice <= 2 ? choice : 0;
    return n;
}

Status NonInventorySettings::check() const {
    for (const std::string& l : labels)
        if (l.size() > kLabelLength) return Status::invalid("Button labels up to 11 characters");
    if (taxChoice < 0 || taxChoice > 2) return Status::invalid("Invalid tax choice");
    return Status::ok();
}

void NonInventorySettings::apply(StoreConfigRecord& cfg) const {
    for (int i = 0; i < kLabels; ++i) setFieldText(cfg.custom_button_labels[i], labels[i]);
    cfg.settings_b[kSetBClientCustomButtons] = clientButtons ? kOn : 0;
    cfg.settings_b[kSetBNonInventoryNotTaxable] = taxable ? 0 : kOn;
    cfg.settings_b[kSetBNonInventoryTaxChoice] = taxChoice;
}

// --- File reset ---------------------------------------------------------------

void resetTotals(StoreConfigRecord& cfg, const std::vector<ResetPart>& parts) {
    for (ResetPart part : parts) {
        switch (part) {
            case ResetPart::kTakings:
                cfg.running_totals[kRunningTakings] = 0;
                break;
            case ResetPart::kRefundTotals:
                for (int i = 2; i <= 8; ++i) cfg.running_totals[i] = 0;
                break;
            case ResetPart::kCategoryTotals:
                for (int c = 0; c < kDisplayCategories; ++c) {
                    cfg.sales_totals[kSalesTotalsByCategory + c] = 0;
                    cfg.money[kMoneyClientCategorySales + c] = 0;
                    cfg.counters[kCounterCategorySales + c] = 0;
                }
                break;
            case ResetPart::kOverviewTotals:
                for (int i = 0; i < kSalesTotalsByCategory; ++i) cfg.sales_totals[i] = 0;
                break;
            case ResetPart::kPettyCash:
                cfg.money[kMoneyPettyCash] = 0;
                cfg.money[kMoneyCashBack] = 0;
                break;
        }
    }
}

std::string resetSummary(const std::vector<ResetPart>& parts) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        for (const ResetChoice& c : kResetChoices)
            if (c.part == parts[i]) {
                if (i > 0) out += i + 1 == parts.size() ? " and " : ", ";
                out += c.label;
            }
    }
    return out;
}

// --- Saves --------------------------------------------------------------------

Status saveTaxSetup(DataStore& store, const TaxSetup& page) {
    return saveWith(store, page.check(), [&](StoreConfigRecord& r) { page.apply(r); });
}

Status savePrintHeading(DataStore& store, const PrintHeading& page) {
    return saveWith(store, page.check(), [&](StoreConfigRecord& r) { page.apply(r); });
}

Status saveNonInventorySettings(DataStore& store, const NonInventorySettings& page) {
    return saveWith(store, page.check(), [&](StoreConfigRecord& r) { page.apply(r); });
}

Status resetFiles(DataStore& store, const std::vector<ResetPart>& parts) {
    if (parts.empty()) return Status::invalid("Nothing chosen");
    const LocalTime now = store.clock().now();
    auto lock = store.lock();
    resetTotals(store.config().record(), parts);
    if (Status s = store.saveConfig(); !s) return s;
    if (Status s = store.journal().ensureDayFolders(now); !s) return s;
    const std::string line =
        formatted("\r\n%s  File reset: %s.\r\n", logTimeText(timestampText(now)).c_str(),
                  resetSummary(parts).c_str());
    if (!store.journal().appendActivity(now, line))
        return Status::ioError("Unable to open log file");
    return Status::ok();
}

}  // namespace kassio
