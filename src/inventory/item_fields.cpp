#include "inventory/item_fields.h"

#include "base/money.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "store/file_io.h"

namespace kassio {

namespace {

std::string cut(const std::string& text, std::size_t limit) {
    return text.size() > limit ? text.substr(0, limit) : text;
}

std::string money(double v) {
    return formatted("%.2f", v);
}
std::string integer(int32_t v) {
    return formatted("%d", v);
}

struct ParsedDate {
    int day, month, year;
};

std::optional<ParsedDate> parseDate(const std::string& text, int minYear) {
    int d = 0, m = 0, y = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d", &d, &m, &y) != 3) return std::nullopt;
    if (d < 1 || d > 31 || m < 1 || m > 12 || y < minYear) return std::nullopt;
    return ParsedDate{d, m, y};
}

}  // namespace

int taxCodeForBoxes(bool tax1Box, bool tax2Box) {
    if (tax1Box && tax2Box) return 1;
    if (tax1Box) return 2;
    return tax2Box ? 3 : 0;
}

ItemFormFields blankItemFields(const StoreConfig& config, const LocalTime& today) {
    ItemFormFields f;
    const auto& b = config.record().settings_b;
    int tax = b[kSetBDefaultTaxCode];
    f.taxCode = tax >= 0 && tax <= 3 ? tax : 0;
    f.tax1Box = f.taxCode == 1 || f.taxCode == 2;
    f.tax2Box = f.taxCode == 1 || f.taxCode == 3;
    // Stored as position + 1; unset shows position 14.
    int category = b[kSetBDefaultNewCategory];
    f.displayCategory = category > 0 && category <= kDisplayCategories ? category - 1 : 14;
    f.day = today.day;
    f.month = today.month;
    f.year = today.year;
    return f;
}

ItemFormFields itemFields(const InventoryRecord& item, const LocalTime& today) {
    ItemFormFields f;
    f.number = formatted("%lld", static_cast<long long>(item.number));
    f.description = fieldText(item.description);
    f.sku = {fieldText(item.sku1), fieldText(item.sku2), fieldText(item.sku3),
             fieldText(item.sku4)};
    f.cost = money(item.cost_price);
    f.trade = money(item.trade_price);
    f.retail = money(item.retail_price);
    f.orderCode = fieldText(item.order_code);
    f.location = fieldText(item.location);
    f.website = fieldText(item.website);
    f.webImage = fieldText(item.web_image);
    f.onOrder = integer(item.on_order);
    f.orderQuantity = integer(item.order_quantity);
    f.minimumOrder = integer(item.minimum_order);
    f.restockLevel = integer(item.reorder_quantity);
    f.quantity = integer(item.quantity);
    f.committed = integer(item.committed);
    f.deliveryLead = integer(item.delivery_lead);
    f.labels = integer(item.labels_to_print);
    f.delivery = money(item.delivery);
    f.weight = money(item.weight);
    f.notes = fieldText(item.notes);
    f.taxCode = item.tax >= 0 && item.tax <= 3 ? item.tax : 0;
    f.tax1Box = f.taxCode == 1 || f.taxCode == 2;
    f.tax2Box = f.taxCode == 1 || f.taxCode == 3;
    if (auto d = parseDate(fieldText(item.date_added), 1981)) {
        f.day = d->day;
        f.month = d->month;
        f.year = d->year;
    } else {
        f.day = today.day;
        f.month = today.month;
        f.year = today.year;
    }
    f.displayCategory = item.display_category;
    f.sor = item.sale_or_return == 1 ? 1 : 0;
    f.noTaxRounding = item.no_tax_rounding == 2;
    f.specialOrder = item.special_order;
    f.ageWarning = item.age_limit != 0;
    f.age = item.age_limit >= 2 && item.age_limit <= 30 ? item.age_limit : 2;
    f.omitQuickSelect = item.omit_from_quick_select == 2;
    f.offer = item.offer == 2 || item.offer == 4 ? item.offer : 0;
    f.sellByDay = item.sell_by_day;
    f.sellByMonth = item.sell_by_month;
    f.sellByYearIndex = item.sell_by_year;
    f.pictureNumber = item.picture_number >= 1 && item.picture_number <= kInbuiltPictures
                          ? item.picture_number
                          : 1;
    f.ownPicture = item.own_picture == 1;
    return f;
}

void storeItemFields(const ItemFormFields& f, InventoryRecord& item) {
    item.number = numberFromText(cut(f.number, 19));
    setFieldText(item.description, cut(f.description, kItemTextLimit));
    setFieldText(item.sku1, cut(f.sku[0], kItemTextLimit));
    setFieldText(item.sku2, cut(f.sku[1], kItemTextLimit));
    setFieldText(item.sku3, cut(f.sku[2], kItemTextLimit));
    setFieldText(item.sku4, cut(f.sku[3], kItemTextLimit));
    item.cost_price = decimalFromText(f.cost);
    item.trade_price = decimalFromText(f.trade);
    item.retail_price = roundMoney(decimalFromText(f.retail));
    setFieldText(item.order_code, cut(f.orderCode, kItemTextLimit));
    setFieldText(item.location, cut(f.location, kItemTextLimit));
    setFieldText(item.website, cut(f.website, kItemTextLimit));
    setFieldText(item.web_image, cut(f.webImage, kItemTextLimit));
    item.on_order = integerFromText(f.onOrder);
    item.order_quantity = integerFromText(f.orderQuantity);
    item.minimum_order = integerFromText(f.minimumOrder);
    item.reorder_quantity = integerFromText(f.restockLevel);
    item.quantity = integerFromText(f.quantity);
    item.committed = integerFromText(f.committed);
    item.delivery_lead = integerFromText(f.deliveryLead);
    item.labels_to_print = integerFromText(f.labels);
    item.delivery = decimalFromText(f.delivery);
    item.weight = decimalFromText(f.weight);
    setFieldText(item.notes, cut(f.notes, kItemNotesLimit));
    item.tax = f.taxCode;
    setFieldText(item.date_added, formatted("%02d/%02d/%d", f.day, f.month, f.year));
    item.display_category = f.displayCategory;
    item.sale_or_return = f.sor == 1 ? 1 : 0;
    item.no_tax_rounding = f.noTaxRounding ? 2 : 0;
    item.special_order = f.specialOrder;
    item.age_limit = f.ageWarning ? f.age : 0;
    item.omit_from_quick_select = f.omitQuickSelect ? 2 : 0;
    item.offer = f.offer;
    item.sell_by_day = f.sellByDay;
    item.sell_by_month = f.sellByMonth;
    item.sell_by_year = f.sellByYearIndex;
    item.picture_number = f.pictureNumber;
    item.own_picture = f.ownPicture ? 1 : 0;
}

std::optional<std::string> priceWithoutTax(const StoreConfig& config, const std::string& withTax,
                                           bool tax1Box, bool tax2Box) {
    double p = roundMoney(decimalFromText(cut(withTax, 9)));
    if (p <= 0) return std::string("0.0");
    const int64_t r1 = config.record().options[kOptTax1Rate];
    const int64_t r2 = config.record().options[kOptTax2Rate];
    int64_t rate = -1;
    if (tax1Box && !tax2Box) {
        if (r1 > 0) rate = r1;
    } else if (tax2Box && !tax1Box) {
        if (r2 > 0) rate = r2;
    } else if (tax1Box && tax2Box) {
        if (r1 > 0 && r2 <= 0)
            rate = r1;
        else if (r1 <= 0 && r2 > 0)
            rate = r2;
        else if (r1 > 0 && r2 > 0)
            rate = r1 + r2;
    }
    if (rate < 0) return std::nullopt;
    const double e = 10000.0 / static_cast<double>(rate + 10000) * p;
    return money(e);
}

ItemPicture::ItemPicture(int pictureNumber, bool ownPicture)
    : m_number(pictureNumber >= 1 && pictureNumber <= kInbuiltPictures ? pictureNumber : 1),
      m_own(ownPicture) {}

void ItemPicture::back() {
    if (m_own) {
        m_own = false;
        m_ownRemembered = true;
        m_number = 1;
        return;
    }
    ++m_number;
    if (m_number > kInbuiltPictures) {
        m_number = 1;
        if (m_ownRemembered) m_own = true;
    }
}

void ItemPicture::forward() {
    if (m_own) {
        m_own = false;
        m_ownRemembered = true;
        m_number = kInbuiltPictures;
        return;
    }
    --m_number;
    if (m_number < 1) {
        m_number = kInbuiltPictures;
        if (m_ownRemembered) m_own = true;
    }
}

std::string ownPictureName(int64_t number) {
    return formatted("m%lld.bmp", static_cast<long long>(number));
}

std::string inbuiltPictureName(int picture) {
    return formatted("stock%d.bmp", picture);
}

std::string itemPicturePath(const std::string& folder, int64_t number, int pictureNumber,
                            bool ownPicture) {
    if (ownPicture) return folder + "/" + ownPictureName(number);
    // The samples ship "stock%d.bmp"; older folders may hold "STOCK%d.bmp".
    std::string lower = folder + "/" + inbuiltPictureName(pictureNumber);
    if (fileExists(lower)) return lower;
    std::string upper = folder + "/" + formatted("STOCK%d.bmp", pictureNumber);
    return fileExists(upper) ? upper : lower;
}

bool costVisible(const StoreConfig& config, int64_t clerk) {
    if (clerk == 1 || clerk == 2) return true;
    if (clerk < 1) return false;
    return config.record().settings_b[kSetBHideCostFromClerks] == 0;
}

std::string taxCodeName(int code) {
    switch (code) {
        case 0:
            return "Non taxable";
        case 1:
            return "Tax 1 and 2";
        case 2:
            return "Tax 1";
        case 3:
            return "Tax 2";
        default:
            return "";
    }
}

std::string categoryName(const StoreConfig& config, int category) {
    if (category < 0 || category >= kDisplayCategories) return "";
    return config.categoryCode(category);
}

std::string dateAddedText(const std::string& stored) {
    auto d = parseDate(stored, 1980);
    if (!d) return stored;
    LocalTime t;
    t.day = d->day;
    t.month = d->month;
    t.year = d->year;
    return localeDateText(t);
}

}  // namespace kassio
