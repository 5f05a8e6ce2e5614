#include "customers/customer_fields.h"

#include "base/fixed_text.h"
#include "base/numbers.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "base/win1252.h"

namespace kassio {

namespace {

std::string cut(const std::string& text, std::size_t limit) {
    return text.size() > limit ? text.substr(0, limit) : text;
}

template <std::size_t N>
void put(char (&field)[N], const std::string& text, std::size_t limit) {
    setFieldText(field, cut(text, limit));
}

}  // namespace

CustomerFormFields blankCustomerFields() {
    return CustomerFormFields{};
}

CustomerFormFields customerFields(const CustomerRecord& c) {
    CustomerFormFields f;
    f.number = formatted("%lld", static_cast<long long>(c.number));
    f.name = fieldText(c.name);
    f.road = fieldText(c.road);
    f.area = fieldText(c.area);
    f.town = fieldText(c.town);
    f.postcode = fieldText(c.postcode);
    f.email = fieldText(c.email);
    f.telephone = fieldText(c.telephone);
    f.extension = fieldText(c.telephone_extension);
    f.telephone2 = fieldText(c.telephone2);
    f.fax = fieldText(c.fax);
    f.contact = fieldText(c.contact);
    f.taxable = c.tax == 0 ? 0 : 1;
    f.group = formatted("%d", c.group);
    f.comment = fieldText(c.comment);
    f.comment2 = fieldText(c.comment2);
    f.card1 = fieldText(c.credit_card);
    f.card1Expiry = fieldText(c.credit_card_expiry);
    f.card2 = fieldText(c.credit_card2);
    f.card2Expiry = fieldText(c.credit_card2_expiry);
    f.balance = formatted("%.2f", c.balance);
    f.creditLimit = formatted("%.2f", c.credit_limit);
    f.transactions = formatted("%d", c.transactions);
    f.totalPurchases = formatted("%.2f", c.total_purchases);
    f.shippingName = fieldText(c.shipping_address_1);
    f.shippingRoad = fieldText(c.shipping_address_2);
    f.shippingArea = fieldText(c.shipping_address_3);
    f.shippingTown = fieldText(c.shipping_address_4);
    f.shippingPostcode = fieldText(c.shipping_address_5);
    f.notes = fieldText(c.notes);
    f.termsIndex = c.terms >= 1 && c.terms <= 8 ? c.terms - 1 : 0;
    return f;
}

void storeCustomerFields(const CustomerFormFields& f, CustomerRecord& c, bool readBalance) {
    c.number = numberFromText(cut(f.number, 19));
    put(c.name, f.name, 29);
    put(c.road, f.road, 29);
    put(c.area, f.area, 29);
    put(c.town, f.town, 19);
    put(c.postcode, f.postcode, 9);
    put(c.email, f.email, 39);
    put(c.telephone, f.telephone, 19);
    put(c.telephone_extension, f.extension, 19);
    put(c.telephone2, f.telephone2, 19);
    put(c.fax, f.fax, 29);
    put(c.contact, f.contact, 29);
    c.tax = f.taxable == 0 ? 0 : 1;
    c.group = integerFromText(f.group);
    put(c.comment, f.comment, 29);
    put(c.comment2, f.comment2, 29);
    put(c.credit_card, f.card1, 39);
    put(c.credit_card_expiry, f.card1Expiry, 7);
    put(c.credit_card2, f.card2, 29);
    put(c.credit_card2_expiry, f.card2Expiry, 9);
    if (readBalance) c.balance = decimalFromText(f.balance);
    c.credit_limit = decimalFromText(f.creditLimit);
    c.transactions = integerFromText(f.transactions);
    c.total_purchases = decimalFromText(f.totalPurchases);
    put(c.shipping_address_1, f.shippingName, 55);
    put(c.shipping_address_2, f.shippingRoad, 29);
    put(c.shipping_address_3, f.shippingArea, 29);
    put(c.shipping_address_4, f.shippingTown, 29);
    put(c.shipping_address_5, f.shippingPostcode, 9);
    put(c.notes, f.notes, 79);
    c.terms = f.termsIndex + 1;
}

std::array<std::string, 8> termsList(const StoreConfig& config) {
    std::array<std::string, 8> out;
    for (int band = 1; band <= 8; ++band) out[band - 1] = termsBandText(config, band);
    return out;
}

std::string lastUsedText(const std::string& ts) {
    if (ts.empty() || ts == "NEW") return "";
    if (ts.size() < 6) return ts;
    std::string date = ts.substr(5);
    int d = 0, m = 0, y = 0;
    if (std::sscanf(date.c_str(), "%d/%d/%d", &d, &m, &y) == 3 && d >= 1 && d <= 31 && m >= 1 &&
        m <= 12 && y >= 1980) {
        LocalTime t;
        t.day = d;
        t.month = m;
        t.year = y;
        date = localeDateText(t);
    }
    return formatted("%c%c:%c%c %s", ts[0], ts[1], ts[3], ts[4], date.c_str());
}

std::string mapQuery(const CustomerRecord& c) {
    std::string q = fieldText(c.road);
    for (const std::string& part : {fieldText(c.area), fieldText(c.town), fieldText(c.postcode)})
        if (!part.empty()) q += "," + part;
    return q;
}

std::string mapUrl(const CustomerRecord& c) {
    const std::string utf8 = win1252ToUtf8(mapQuery(c));
    std::string url = "https://www.bing.com/maps?where1=";
    static const char* kHex = "0123456789ABCDEF";
    for (unsigned char ch : utf8) {
        if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
            ch == '-' || ch == '_' || ch == '.' || ch == '~') {
            url += static_cast<char>(ch);
        } else {
            url += '%';
            url += kHex[ch >> 4];
            url += kHex[ch & 15];
        }
    }
    return url;
}

}  // namespace kassio
