#include "exchange/record_export.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "store/customer_record.h"
#include "store/data_store.h"
#include "store/inventory_record.h"

namespace kassio {

namespace {

constexpr const char* kCrLf = "\r\n";

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using OutFile = std::unique_ptr<std::FILE, FileCloser>;

// One output line being built: pieces are appended, the caller ends it.
class Line {
  public:
    void add(const std::string& piece) { m_text += piece; }
    // Drops the last character when it is a comma.
    void dropTrailingComma() {
        if (!m_text.empty() && m_text.back() == ',') m_text.pop_back();
    }
    const std::string& text() const { return m_text; }

  private:
    std::string m_text;
};

std::string num(int64_t n, const char* format = "%" PRId64) {
    return formatted(format, n);
}
std::string money(double v, const char* format = "%.2f") {
    return formatted(format, v);
}

bool wanted(const ExportChoice& c, int box) {
    return c.entire || c.fields[static_cast<std::size_t>(box)];
}

template <std::size_t N>
std::string text(const char (&field)[N]) {
    return fieldText(field);
}

template <std::size_t N>
std::string xmlText(const char (&field)[N]) {
    return xmlEscaped(fieldText(field));
}

std::string itemTextLine(const InventoryRecord& r, const ExportChoice& c) {
    Line l;
    if (wanted(c, 0)) l.add(num(r.number) + ",");
    if (wanted(c, 1)) l.add(text(r.description) + ",");
    if (wanted(c, 2)) l.add(text(r.sku1) + ",");
    if (wanted(c, 3)) l.add(text(r.sku2) + ",");
    if (wanted(c, 4)) l.add(money(r.cost_price) + ",");
    if (wanted(c, 5)) l.add(formatted("%d,", r.display_category));
    if (wanted(c, 6)) l.add(money(r.retail_price) + ",");
    if (wanted(c, 7)) l.add(formatted("%d,", r.quantity));
    if (wanted(c, 8)) l.add(formatted("%d,", r.reorder_quantity));
    if (wanted(c, 9)) l.add(r.tax == 0 ? "0," : "1,");
    if (c.entire) {
        l.add(text(r.category) + "," + text(r.format) + "," + text(r.last_used) + ",");
        l.add(formatted("%d,", r.minimum_order));
        l.add(text(r.sku3) + "," + text(r.sku4) + "," + text(r.location) + "," + text(r.website) +
              "," + text(r.web_image) + ",");
        l.add(money(r.trade_price) + ",");
        l.add(text(r.order_code) + "," + text(r.date_added) + ",");
        l.add(formatted("%d,", r.total_sold));
        l.add(text(r.notes) + ",");
    }
    l.dropTrailingComma();
    return l.text() + kCrLf;
}

std::string customerTextLine(const CustomerRecord& r, const ExportChoice& c) {
    Line l;
    if (wanted(c, 0)) l.add(num(r.number) + ",");
    if (wanted(c, 1)) l.add(text(r.name) + ",");
    if (wanted(c, 2)) l.add(text(r.road) + ",");
    if (wanted(c, 3)) l.add(text(r.area) + ",");
    if (wanted(c, 4)) l.add(text(r.town) + ",");
    if (wanted(c, 5)) l.add(text(r.postcode) + ",");
    if (wanted(c, 6)) l.add(text(r.telephone) + ",");
    if (wanted(c, 7)) l.add(num(r.tax) + ",");
    if (wanted(c, 8)) l.add(money(r.balance) + ",");
    if (wanted(c, 9)) l.add(money(r.credit_limit) + ",");
    if (c.entire) {
        l.add(text(r.telephone2) + "," + text(r.email) + "," + text(r.comment) + "," +
              text(r.comment2) + "," + text(r.contact) + "," + text(r.notes) + "," +
              text(r.credit_card) + "," + text(r.credit_card_expiry) + "," + text(r.credit_card2) +
              "," + text(r.credit_card2_expiry) + ",");
        l.add(formatted("%d,", r.group));
        l.add(money(r.total_purchases) + ",");
        l.add(formatted("%d,%d,", r.terms, r.transactions));
    }
    l.dropTrailingComma();
    return l.text() + kCrLf;
}

std::string bold(const std::string& s, bool on) {
    return on ? "<B>" + s + "</B>" : s;
}

// In HTML "Export entire" stands for all ten boxes ticked.
bool htmlWanted(const ExportChoice& c, int box) {
    return wanted(c, box);
}

std::string itemHtmlLine(const InventoryRecord& r, const ExportChoice& c) {
    Line l;
    if (htmlWanted(c, 0)) l.add(bold(num(r.number), c.boldNumber));
    if (htmlWanted(c, 1)) l.add(bold(" " + text(r.description), c.boldTitle));
    if (htmlWanted(c, 2)) l.add(" " + text(r.sku1));
    if (htmlWanted(c, 3)) l.add(" " + text(r.sku2));
    if (htmlWanted(c, 4)) l.add(money(r.cost_price, " %.2f"));
    if (htmlWanted(c, 5)) l.add(formatted(" %d", r.display_category));
    if (htmlWanted(c, 6)) l.add(money(r.retail_price, " %.2f"));
    if (htmlWanted(c, 7)) l.add(formatted(" %d", r.quantity));
    if (htmlWanted(c, 8)) l.add(formatted(" %d", r.reorder_quantity));
    if (htmlWanted(c, 9)) l.add(r.tax == 0 ? " Non taxable," : " Taxable,");
    l.dropTrailingComma();
    return l.text() + "<BR>" + kCrLf;
}

std::string customerHtmlLine(const CustomerRecord& r, const ExportChoice& c) {
    Line l;
    const bool boldName = c.boldTitle && htmlWanted(c, 1);
    if (htmlWanted(c, 0)) l.add(bold(num(r.number), c.boldNumber));
    if (boldName) l.add("<B>");
    if (htmlWanted(c, 1)) l.add(" " + text(r.name));
    if (htmlWanted(c, 2)) l.add(" " + text(r.road));
    if (htmlWanted(c, 3)) l.add(" " + text(r.area));
    if (boldName) l.add("</B>");
    if (htmlWanted(c, 4)) l.add(" " + text(r.town));
    if (htmlWanted(c, 5)) l.add(" " + text(r.postcode));
    if (htmlWanted(c, 6)) l.add(" " + text(r.telephone));
    if (htmlWanted(c, 7)) l.add(num(r.tax, " %" PRId64));
    if (htmlWanted(c, 8)) l.add(money(r.balance, " %.2f"));
    if (htmlWanted(c, 9)) l.add(money(r.credit_limit, " %.2f"));
    l.dropTrailingComma();
    return l.text() + "<BR>" + kCrLf;
}

std::string tag(const char* name, const std::string& value) {
    return std::string("<") + name + ">" + value + "</" + name + ">" + kCrLf;
}

std::string itemXml(const InventoryRecord& r) {
    std::string s = std::string("<item>") + kCrLf;
    s += tag("number", num(r.number));
    s += tag("description", xmlText(r.description));
    s += tag("sku1", xmlText(r.sku1));
    s += tag("sku2", xmlText(r.sku2));
    s += tag("sku3", xmlText(r.sku3));
    s += tag("sku4", xmlText(r.sku4));
    s += tag("cost_price", money(r.cost_price));
    s += tag("trade_price", money(r.trade_price));
    s += tag("retail_price", money(r.retail_price));
    s += tag("quantity", formatted("%d", r.quantity));
    s += tag("reorder_quantity", formatted("%d", r.reorder_quantity));
    s += tag("tax", formatted("%d", r.tax));
    s += tag("display_category", formatted("%d", r.display_category));
    s += tag("category", xmlText(r.category));
    s += tag("format", xmlText(r.format));
    s += tag("date_added", xmlText(r.date_added));
    s += tag("last_used", xmlText(r.last_used));
    s += tag("order_code", xmlText(r.order_code));
    s += tag("minimum_order", formatted("%d", r.minimum_order));
    s += tag("total_sold", formatted("%d", r.total_sold));
    s += tag("location", xmlText(r.location));
    s += tag("website", xmlText(r.website));
    s += tag("web_image", xmlText(r.web_image));
    s += tag("notes", xmlText(r.notes));
    return s + "</item>" + kCrLf;
}

std::string customerXml(const CustomerRecord& r) {
    std::string s = std::string("<customer>") + kCrLf;
    s += tag("number", num(r.number));
    s += tag("name", xmlText(r.name));
    s += tag("road", xmlText(r.road));
    s += tag("area", xmlText(r.area));
    s += tag("town", xmlText(r.town));
    s += tag("postcode", xmlText(r.postcode));
    s += tag("telephone", xmlText(r.telephone));
    s += tag("telephone_extension", xmlText(r.telephone_extension));
    s += tag("telephone2", xmlText(r.telephone2));
    s += tag("contact", xmlText(r.contact));
    s += tag("comment", xmlText(r.comment));
    s += tag("comment2", xmlText(r.comment2));
    s += tag("tax", num(r.tax));
    s += tag("transactions", formatted("%d", r.transactions));
    s += tag("credit_card", xmlText(r.credit_card));
    s += tag("credit_card_expiry", xmlText(r.credit_card_expiry));
    s += tag("email", xmlText(r.email));
    s += tag("shipping_address_1", xmlText(r.shipping_address_1));
    s += tag("shipping_address_2", xmlText(r.shipping_address_2));
    s += tag("shipping_address_3", xmlText(r.shipping_address_3));
    s += tag("shipping_address_4", xmlText(r.shipping_address_4));
    s += tag("shipping_address_5", xmlText(r.shipping_address_5));
    return s + "</customer>" + kCrLf;
}

std::string opening(const ExportChoice& c) {
    switch (c.format) {
        case ExportFormat::kText:
            if (c.entire && !c.customers)
                return std::string(
                           "Number,Description,SKU1,SKU2,Cost,DisplayCat,Retail,Quantity,Reorder,"
                           "Tax,Category,Format,Last,MinOrder,SKU3,SKU4,Location,Website,WebImage,"
                           "Trade,OrderCode,Added,Sold,Notes") +
                       kCrLf;
            return {};
        case ExportFormat::kHtml:
            return std::string("<HTML><BODY>") + kCrLf +
                   formatted("<FONT SIZE='%d'>", c.textSize < 1   ? 1
                                                 : c.textSize > 3 ? 3
                                                                  : c.textSize) +
                   kCrLf;
        case ExportFormat::kXml:
            return std::string("<?xml version=\"1.0\" encoding=\"WINDOWS-1252\"?>") + kCrLf +
                   "<document>" + kCrLf;
    }
    return {};
}

std::string closing(const ExportChoice& c) {
    switch (c.format) {
        case ExportFormat::kText:
            return {};
        case ExportFormat::kHtml:
            return "</BODY></HTML>";
        case ExportFormat::kXml:
            return "</document>";
    }
    return {};
}

std::string recordText(const unsigned char* bytes, const ExportChoice& c) {
    if (c.customers) {
        CustomerRecord r;
        std::memcpy(&r, bytes, sizeof r);
        switch (c.format) {
            case ExportFormat::kText:
                return customerTextLine(r, c);
            case ExportFormat::kHtml:
                return customerHtmlLine(r, c);
            case ExportFormat::kXml:
                return customerXml(r);
        }
    }
    InventoryRecord r;
    std::memcpy(&r, bytes, sizeof r);
    if (c.byCategory && r.display_category != c.category) return {};
    switch (c.format) {
        case ExportFormat::kText:
            return itemTextLine(r, c);
        case ExportFormat::kHtml:
            return itemHtmlLine(r, c);
        case ExportFormat::kXml:
            return itemXml(r);
    }
    return {};
}

bool put(std::FILE* f, const std::string& s) {
    return s.empty() || std::fwrite(s.data(), 1, s.size(), f) == s.size();
}

}  // namespace

int64_t highestItemNumber(DataStore& store) {
    auto lock = store.lock();
    const auto& entries = store.items().index().entries();
    return entries.empty() || entries.back().number < 1 ? 0 : entries.back().number;
}

std::string exportFileName(const ExportChoice& choice) {
    const char* base = choice.customers ? "CUSTOMER" : "INVENTOR";
    const char* ext = choice.format == ExportFormat::kText   ? ".TXT"
                      : choice.format == ExportFormat::kHtml ? ".HTM"
                                                             : ".XML";
    return std::string(base) + ext;
}

std::string exportFilter(ExportFormat format) {
    switch (format) {
        case ExportFormat::kText:
            return "Text files (*.TXT)";
        case ExportFormat::kHtml:
            return "HTML files (*.HTM)";
        case ExportFormat::kXml:
            return "XML files (*.XML)";
    }
    return {};
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        switch (ch) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                // Control characters and the five bytes Windows-1252 leaves
                // undefined have no place in a WINDOWS-1252 XML file.
                if ((b < 0x20 && b != '\t') || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 ||
                    b == 0x9D)
                    break;
                out += ch;
        }
    }
    return out;
}

Status exportRecords(DataStore& store, const ExportChoice& choice, const std::string& path) {
    if (choice.start < 1 || choice.start > choice.finish) return Status::invalid("Invalid range");
    auto lock = store.lock();
    RecordFile& file = choice.customers ? store.customers() : store.items();
    const auto& entries = file.index().entries();
    std::size_t at = file.index().lowerBound(choice.start);
    if (at >= entries.size() || entries[at].number > choice.finish)
        return Status::invalid("No items in range.");
    if (!store.files().exists(file.name())) return file.notPresent();
    OutFile out(std::fopen(path.c_str(), "wb"));
    if (!out) return Status::invalid("Unable to open file.");
    bool written = put(out.get(), opening(choice));
    std::vector<unsigned char> record(file.spec().recordSize);
    for (; at < entries.size() && entries[at].number <= choice.finish; ++at) {
        if (Status s = file.read(entries[at].slot, record.data()); !s) return s;
        written = put(out.get(), recordText(record.data(), choice)) && written;
    }
    written = put(out.get(), closing(choice)) && written;
    if (std::fclose(out.release()) != 0 || !written)
        return Status::ioError("Unable to write file: " + path);
    return Status::ok();
}

}  // namespace kassio
