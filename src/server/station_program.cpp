#include "server/station_program.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>

#include "base/fixed_text.h"
#include "base/win1252.h"
#include "server/client_sale.h"
#include "server/json_reader.h"
#include "server/server_settings.h"
#include "store/customers.h"
#include "store/data_folder.h"

namespace kassio {

namespace {

std::string utf8(const std::string& win1252) {
    return win1252ToUtf8(win1252);
}

template <std::size_t N>
std::string text(const char (&field)[N]) {
    return utf8(fieldText(field));
}

std::string money(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

int report(std::ostream& err, const Status& s) {
    err << s.title() << ": " << utf8(s.message()) << "\n";
    return kStationRefused;
}

int usage(std::ostream& err, const std::string& why) {
    err << "kassio-station: " << why << "\n" << stationUsage();
    return kStationUsage;
}

bool readFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    content = s.str();
    return true;
}

Status readJsonFile(const std::string& path, std::optional<Json>& out) {
    std::string content, error;
    if (!readFile(path, content))
        return Status::notFound("Cannot read " + utf8ToWin1252(path), kTitleProblem);
    out = readJson(content, &error);
    if (!out) return Status::invalid(utf8ToWin1252(path + ": " + error));
    return Status::ok();
}

std::optional<int64_t> wholeNumber(const std::string& s) {
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno == ERANGE || *end != '\0') return std::nullopt;
    return v;
}

// "--name value" taken out of a command's arguments.
std::optional<std::string> takeOption(std::vector<std::string>& args, const std::string& name) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name) {
            std::string v = args[i + 1];
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                       args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            return v;
        }
    }
    return std::nullopt;
}

// --- what the station sends back, in words --------------------------------

void printItem(std::ostream& out, const InventoryRecord& r) {
    out << "Item " << r.number << "  " << text(r.description) << "\n"
        << "  Retail " << money(r.retail_price) << "  Cost " << money(r.cost_price) << "  Trade "
        << money(r.trade_price) << "  In stock " << r.quantity << "  Tax code " << r.tax
        << "  Display category " << r.display_category << "\n";
    for (const auto* sku : {&r.sku1, &r.sku2, &r.sku3, &r.sku4})
        if ((*sku)[0]) out << "  SKU " << text(*sku) << "\n";
}

// The non-empty texts joined by the separator.
std::string joined(std::initializer_list<std::string> parts, const char* separator) {
    std::string out;
    for (const std::string& p : parts) {
        if (p.empty()) continue;
        if (!out.empty()) out += separator;
        out += p;
    }
    return out;
}

void printCustomer(std::ostream& out, const CustomerRecord& c) {
    out << "Customer " << c.number << "  "
        << joined({text(c.name_prefix1), text(c.name_prefix2), text(c.name)}, " ") << "\n"
        << "  " << joined({text(c.road), text(c.area), text(c.town), text(c.postcode)}, ", ")
        << "\n"
        << "  Tel " << text(c.telephone) << "  Group " << c.group << "  Balance "
        << money(c.balance) << "  Credit limit " << money(c.credit_limit) << "\n";
}

void printConfig(std::ostream& out, const ClientConfig& c) {
    for (int i = 0; i < 6; ++i)
        if (c.headings[i][0]) out << "Heading " << i + 1 << ": " << text(c.headings[i]) << "\n";
    out << "Currency: " << text(c.currency_symbol) << "\n";
    out << "Display categories:";
    auto code = [](const char* p) { return utf8(std::string(p, strnlen(p, 3))); };
    for (int i = 0; i < 9; ++i) out << " " << code(c.category_codes_1_9 + 3 + 3 * i);
    for (int i = 0; i < 9; ++i) out << " " << code(c.codes_and_tax_names + 3 * i);
    out << "\n";
    std::string tax1(c.codes_and_tax_names + 27, 6), tax2(c.codes_and_tax_names + 33, 6);
    out << "Tax 1: " << utf8(tax1.c_str()) << " " << money(c.options[kOptTax1Rate] / 100.0) << "% "
        << (c.options[kOptTax1InUse] ? "in use" : "not in use") << "\n";
    out << "Tax 2: " << utf8(tax2.c_str()) << " " << money(c.options[kOptTax2Rate] / 100.0) << "% "
        << (c.options[kOptTax2InUse] ? "in use" : "not in use") << "\n";
    out << "Next transaction: " << c.next_transaction << "\n";
    out << "Clerk logged on: " << c.current_clerk << "\n";
    out << "Sales without stock: " << (c.options[kOptPermitInsufficientStock] ? "yes" : "no")
        << "\n";
    out << "Item entry by SKU 1: " << (c.settings_b[kSetBEntryModeSku] == 2 ? "yes" : "no") << "\n";
    out << "Custom sale buttons:";
    for (const auto& label : c.custom_button_labels)
        if (label[0]) out << " \"" << text(label) << "\"";
    out << "\n";
    out << "Receipt footer: " << text(c.receipt_footer) << "\n";
}

void printPage(std::ostream& out, const ItemPage& p) {
    out << "Page of category " << p.category << ", last item " << p.last << "\n";
    for (int i = 0; i < kItemPageSize; ++i)
        if (p.numbers[i] != 0)
            out << "  " << p.numbers[i] << "  " << text(p.texts[i]) << "  ["
                << text(p.texts[kItemPageSize + i]) << "]\n";
}

const char* saleFailure(int code) {
    switch (code) {
        case 1:
            return "the basket has no lines";
        case 2:
            return "the customer is not known at the station";
        case 3:
            return "inventory.dat cannot be read, or an item vanished";
        case 4:
            return "an item is not in the station's item list";
        case 5:
            return "an item has no stock and sales without stock are not permitted";
        case 6:
            return "the year index cannot be opened";
        case 7:
            return "the day's sales log cannot be opened";
        case 8:
            return "the day's items log cannot be opened";
        case 12:
            return "customer.dat or inventory.dat failed during the update";
        default:
            return "refused";
    }
}

const char* refundFailure(int code) {
    switch (code) {
        case 1:
            return "the basket has no lines";
        case 2:
            return "the refund kind is above 3 or the restock value above 1";
        case 3:
            return "the customer is not known at the station";
        case 4:
            return "customer.dat cannot be opened";
        case 5:
            return "the year index cannot be opened";
        case 6:
            return "the day's sales log cannot be opened";
        case 7:
            return "the day's items log cannot be opened";
        case 8:
            return "an item is not in the station's item list";
        case 9:
            return "inventory.dat cannot be opened";
        case 10:
            return "the customer vanished before its balance was updated";
        case 12:
            return "customer.dat failed during the update";
        default:
            return "refused";
    }
}

const char* customerFailure(int code, bool adding) {
    switch (code) {
        case 2:
            return "number out of range";
        case 3:
            return adding ? "number in use" : "no customer with that number";
        case 4:
            return "customer.dat is not available";
        default:
            return "refused";
    }
}

// --- customers from JSON ---------------------------------------------------

struct TextField {
    const char* name;
    std::size_t offset;
    std::size_t size;
};

#define KASSIO_CUSTOMER_TEXT(field)                                            \
    TextField {                                                                \
#field, offsetof(CustomerRecord, field), sizeof(CustomerRecord::field) \
    }

const TextField kCustomerTexts[] = {
    KASSIO_CUSTOMER_TEXT(name),
    KASSIO_CUSTOMER_TEXT(road),
    KASSIO_CUSTOMER_TEXT(area),
    KASSIO_CUSTOMER_TEXT(town),
    KASSIO_CUSTOMER_TEXT(postcode),
    KASSIO_CUSTOMER_TEXT(telephone),
    KASSIO_CUSTOMER_TEXT(telephone_extension),
    KASSIO_CUSTOMER_TEXT(telephone2),
    KASSIO_CUSTOMER_TEXT(fax),
    KASSIO_CUSTOMER_TEXT(shipping_address_1),
    KASSIO_CUSTOMER_TEXT(shipping_address_2),
    KASSIO_CUSTOMER_TEXT(shipping_address_3),
    KASSIO_CUSTOMER_TEXT(shipping_address_4),
    KASSIO_CUSTOMER_TEXT(shipping_address_5),
    KASSIO_CUSTOMER_TEXT(name_prefix1),
    KASSIO_CUSTOMER_TEXT(name_prefix2),
    KASSIO_CUSTOMER_TEXT(contact),
    KASSIO_CUSTOMER_TEXT(notes),
    KASSIO_CUSTOMER_TEXT(comment),
    KASSIO_CUSTOMER_TEXT(credit_card),
    KASSIO_CUSTOMER_TEXT(credit_card2),
    KASSIO_CUSTOMER_TEXT(credit_card_expiry),
    KASSIO_CUSTOMER_TEXT(credit_card2_expiry),
    KASSIO_CUSTOMER_TEXT(comment2),
    KASSIO_CUSTOMER_TEXT(email),
    KASSIO_CUSTOMER_TEXT(origination),
};
#undef KASSIO_CUSTOMER_TEXT

// Puts the members of a flat JSON object into the customer record. Member
// names are the record's field names; a text too long for its field, an
// unknown name or a value of the wrong kind is refused, naming it.
Status applyCustomerJson(const Json& json, CustomerRecord& c) {
    if (!json.is_object()) return Status::invalid("The customer must be a JSON object");
    auto* bytes = reinterpret_cast<char*>(&c);
    for (const auto& member : json.items()) {
        const std::string& name = member.key();
        const Json& value = member.value();
        const std::string shown = "\"" + utf8ToWin1252(name) + "\"";
        const TextField* text = nullptr;
        for (const TextField& f : kCustomerTexts)
            if (name == f.name) text = &f;
        if (text) {
            if (!value.is_string()) return Status::invalid(shown + " must be a text");
            const std::string t = utf8ToWin1252(value.get_ref<const std::string&>());
            if (t.size() >= text->size)
                return Status::invalid(shown + " is longer than " + std::to_string(text->size - 1) +
                                       " characters");
            std::memset(bytes + text->offset, 0, text->size);
            std::memcpy(bytes + text->offset, t.data(), t.size());
            continue;
        }
        const auto integer = jsonWholeNumber(value);
        const bool int32 = integer && *integer >= std::numeric_limits<int32_t>::min() &&
                           *integer <= std::numeric_limits<int32_t>::max();
        if (name == "number" && integer) {
            c.number = *integer;
        } else if (name == "group" && int32) {
            c.group = static_cast<int32_t>(*integer);
        } else if (name == "terms" && int32) {
            c.terms = static_cast<int32_t>(*integer);
        } else if (name == "tax" && integer) {
            c.tax = *integer;
        } else if (name == "credit_limit" || name == "balance") {
            auto money = jsonMoney(value);
            if (!money) return Status::invalid(shown + " must be " + jsonMoneyWanted());
            (name == "balance" ? c.balance : c.credit_limit) = *money;
        } else {
            return Status::invalid(shown + " is not a customer field of that kind");
        }
    }
    return Status::ok();
}

CustomerQuery numberQuery(int64_t number) {
    CustomerQuery q;
    std::memset(&q, 0, sizeof q);
    std::snprintf(q.name, sizeof q.name, "%lld", static_cast<long long>(number));
    return q;
}

// --- the commands ----------------------------------------------------------

int findItem(std::vector<std::string> args, StationClient& client, std::ostream& out,
             std::ostream& err) {
    auto from = takeOption(args, "--from");
    if (args.size() != 1) return usage(err, "find-item takes one TEXT");
    ItemQuery q;
    std::memset(&q, 0, sizeof q);
    auto f = wholeNumber(from.value_or("0"));
    if (!f) return usage(err, "--from takes a number");
    q.from = *f;
    setFieldText(q.text, utf8ToWin1252(args[0]));
    InventoryRecord r;
    if (Status s = client.findItem(q, r); !s) return report(err, s);
    if (r.number == 0)
        out << "No item found.\n";
    else
        printItem(out, r);
    return kStationOk;
}

int findCustomer(std::vector<std::string> args, StationClient& client, std::ostream& out,
                 std::ostream& err) {
    auto from = takeOption(args, "--from");
    auto prefix = takeOption(args, "--prefix");
    if (args.size() != 1) return usage(err, "find-customer takes one NAME");
    CustomerQuery q;
    std::memset(&q, 0, sizeof q);
    auto f = wholeNumber(from.value_or("0"));
    if (!f) return usage(err, "--from takes a number");
    q.from = *f;
    setFieldText(q.name, utf8ToWin1252(args[0]));
    setFieldText(q.prefix, utf8ToWin1252(prefix.value_or("")));
    CustomerRecord c;
    if (Status s = client.findCustomer(q, c); !s) return report(err, s);
    if (c.number == 0)
        out << "No customer found.\n";
    else
        printCustomer(out, c);
    return kStationOk;
}

int fetch(const std::vector<std::string>& args, StationClient& client, std::ostream& out,
          std::ostream& err) {
    if (args.empty() || args.size() > 2) return usage(err, "fetch takes NAME [OUTFILE]");
    const std::string& name = args[0];
    // Without an OUTFILE the file lands under its own name, which must then
    // be a plain name: nothing the station says may write elsewhere.
    if (args.size() == 1 && !isPlainFileName(name))
        return usage(err, "give an OUTFILE for a name that is not a plain file name");
    const std::string target = args.size() == 2 ? args[1] : name;
    std::string content;
    if (Status s = client.fetchFile(name, content); !s) return report(err, s);
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!file.flush()) return report(err, Status::ioError("Cannot write " + target, kTitleProblem));
    out << "Fetched " << name << ": " << content.size() << " bytes into " << target << "\n";
    return kStationOk;
}

int pages(std::vector<std::string> args, StationClient& client, std::ostream& out,
          std::ostream& err) {
    auto next = wholeNumber(takeOption(args, "--next").value_or("0"));
    auto previous = wholeNumber(takeOption(args, "--previous").value_or("0"));
    auto category = args.size() == 1 ? wholeNumber(args[0]) : std::nullopt;
    if (!category || !next || !previous || *next < 0 || *previous < 0)
        return usage(err, "page takes CATEGORY (0..18) [--next N] [--previous N]");
    ItemPage page;
    std::memset(&page, 0, sizeof page);
    page.category = static_cast<int32_t>(*category);
    if (Status s = client.firstItemPage(page); !s) return report(err, s);
    printPage(out, page);
    for (int64_t i = 0; i < *next + *previous; ++i) {
        page.direction = i < *next ? 0 : kPagePrevious;
        if (Status s = client.nextItemPage(page); !s) return report(err, s);
        printPage(out, page);
    }
    return kStationOk;
}

int customerCommand(const std::vector<std::string>& args, bool adding, StationClient& client,
                    std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return usage(err, "give one JSON file");
    std::optional<Json> json;
    if (Status s = readJsonFile(args[0], json); !s) return report(err, s);
    CustomerRecord c = blankCustomer();
    if (adding && !json->contains("number")) {
        // No number in the file: the one the station offers.
        NumberText offered;
        if (Status s = client.suggestCustomerNumber(offered); !s) return report(err, s);
        c.number = wholeNumber(fieldText(offered.text)).value_or(0);
    }
    if (!adding) {
        // A change sends the whole record: start from the station's copy
        // so that the texts the file leaves out stay as they are.
        const auto number = json->find("number");
        auto n = number != json->end() ? jsonWholeNumber(*number) : std::nullopt;
        if (!n) return report(err, Status::invalid("\"number\" is missing"));
        CustomerRecord stored;
        if (Status s = client.findCustomer(numberQuery(*n), stored); !s) return report(err, s);
        if (stored.number == *n) c = stored;
    }
    if (Status s = applyCustomerJson(*json, c); !s) return report(err, s);
    int32_t result = -1;
    Status s = adding ? client.addCustomer(c, result) : client.changeCustomer(c, result);
    if (!s) return report(err, s);
    if (result != kCustomerDone) {
        err << "Refused (" << result << "): " << customerFailure(result, adding) << "\n";
        return kStationRefused;
    }
    out << "Customer " << c.number << (adding ? " added.\n" : " changed.\n");
    return kStationOk;
}

int post(const std::vector<std::string>& args, bool refund, StationClient& client,
         const Clock& clock, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return usage(err, "give one JSON file");
    std::optional<Json> json;
    if (Status s = readJsonFile(args[0], json); !s) return report(err, s);
    ClientSale sale;
    if (Status s = readClientSale(*json, refund, sale); !s) return report(err, s);

    auto config = std::make_unique<ClientConfig>();
    if (Status s = client.clientConfig(*config); !s) return report(err, s);
    SaleLookups lookups;
    lookups.item = [&](int64_t number, InventoryRecord& r) {
        ItemQuery q;
        std::memset(&q, 0, sizeof q);
        q.from = -1;  // by number even when the station selects by SKU 1
        std::snprintf(q.text, sizeof q.text, "%lld", static_cast<long long>(number));
        return client.findItem(q, r);
    };
    lookups.customer = [&](int64_t number, CustomerRecord& c) {
        return client.findCustomer(numberQuery(number), c);
    };
    auto basket = std::make_unique<Basket>();
    if (Status s = buildClientBasket(sale, *config, lookups, clock.now(), *basket); !s)
        return report(err, s);

    int32_t result = 0;
    Status s = refund ? client.postRefund(*basket, result) : client.postSale(*basket, result);
    if (!s) return report(err, s);
    if (result < kPostedOffset) {
        err << "Refused (" << result
            << "): " << (refund ? refundFailure(result) : saleFailure(result)) << "\n";
        return kStationRefused;
    }
    out << (refund ? "Refund" : "Sale") << " posted: " << basket->line_count << " lines, total "
        << money(refund ? -basket->total : basket->total) << "; the station's next transaction is "
        << result - kPostedOffset << "\n";
    return kStationOk;
}

}  // namespace

StationOptions parseStationOptions(const std::vector<std::string>& args) {
    StationOptions o;
    if (const char* key = std::getenv("KASSIO_STATION_KEY")) o.key = key;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* name, std::string& target) {
            const std::string opt = name;
            if (a == opt) {
                if (i + 1 >= args.size()) {
                    o.error = opt + " needs a value";
                    return true;
                }
                target = args[++i];
                return true;
            }
            if (a.rfind(opt + "=", 0) == 0) {
                target = a.substr(opt.size() + 1);
                return true;
            }
            return false;
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (value("--endpoint", o.endpoint) || value("--data-dir", o.dataFolder) ||
                   value("--key", o.key)) {
        } else if (a.rfind("--", 0) == 0) {
            o.error = "unknown option " + a;
        } else {
            break;
        }
        if (!o.error.empty()) return o;
    }
    o.command.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (o.endpoint.empty()) o.endpoint = socketEndpoint(resolveDataFolder(o.dataFolder));
    if (o.command.empty() && !o.help) o.error = "no command given";
    return o;
}

std::string stationUsage() {
    return "usage: kassio-station [--endpoint TARGET | --data-dir DIR] [--key KEY] COMMAND\n"
           "  TARGET defaults to unix:<DataFolder>/rpc4.sock; host:port for TCP, where the\n"
           "  station key is needed (--key, or $KASSIO_STATION_KEY).\n"
           "commands (procedure numbers in brackets):\n"
           "  find-item TEXT [--from N]                 item by number, pattern or SKU (0)\n"
           "  find-customer NAME [--prefix P] [--from N]   customer by number or name (1)\n"
           "  config                                    the station's configuration (2)\n"
           "  words                                     receipt and invoice words (3)\n"
           "  tables                                    the station tables exchange (4)\n"
           "  suggest-customer                          a number for a new customer (5)\n"
           "  fetch NAME [OUTFILE]                      copy a DataFolder file here (6)\n"
           "  page CATEGORY [--next N] [--previous N]   quick-select pages, 18 = all (7, 8)\n"
           "  large-page                                the large page exchange (9)\n"
           "  item-call 10|11 NUMBER                    send an item to procedure 10 or 11\n"
           "  add-customer FILE.json                    add a customer (12)\n"
           "  change-customer FILE.json                 change a customer's texts (13)\n"
           "  sale FILE.json                            post a sale (14)\n"
           "  refund FILE.json                          post a refund (15)\n"
           "A customer file is a JSON object of customer fields (number, name, road, area,\n"
           "town, postcode, telephone, email, ..., group, terms, credit_limit, tax); an\n"
           "added customer without a number gets the one the station offers.\n"
           "A sale or refund file: {\"station\", \"clerk\", \"payment\", \"customer\", \"note\",\n"
           "\"kind\", \"restock\", \"lines\": [{\"item\": N, \"count\": C} or {\"description\",\n"
           "\"price\", \"tax\", \"cost\"}]}: one line per unit, at the item's retail price and\n"
           "the station's tax rates; \"kind\" (0 cash, 1 CH, 2 EFT, 3 credit) and \"restock\"\n"
           "(0 back to stock, 1 faulty) are for refunds.\n";
}

int runStationCommand(const std::vector<std::string>& command, StationClient& client,
                      const Clock& clock, std::ostream& out, std::ostream& err) {
    if (command.empty()) return usage(err, "no command given");
    const std::string& name = command[0];
    const std::vector<std::string> args(command.begin() + 1, command.end());

    if (name == "find-item") return findItem(args, client, out, err);
    if (name == "find-customer") return findCustomer(args, client, out, err);
    if (name == "fetch") return fetch(args, client, out, err);
    if (name == "page") return pages(args, client, out, err);
    if (name == "add-customer") return customerCommand(args, true, client, out, err);
    if (name == "change-customer") return customerCommand(args, false, client, out, err);
    if (name == "sale") return post(args, false, client, clock, out, err);
    if (name == "refund") return post(args, true, client, clock, out, err);

    if (name == "config" && args.empty()) {
        auto c = std::make_unique<ClientConfig>();
        if (Status s = client.clientConfig(*c); !s) return report(err, s);
        printConfig(out, *c);
        return kStationOk;
    }
    if (name == "words" && args.empty()) {
        ReceiptWordsWire w;
        if (Status s = client.receiptWords(w); !s) return report(err, s);
        for (int i = 0; i < kClientWordEntries; ++i)
            out << (i < 10 ? " " : "") << i << "  " << text(w.words[i]) << "\n";
        return kStationOk;
    }
    if (name == "tables" && args.empty()) {
        auto t = std::make_unique<StationTables>();
        std::memset(t.get(), 0, sizeof *t);
        if (Status s = client.stationTables(*t); !s) return report(err, s);
        out << "First text: " << text(t->texts[0]) << "\n";
        return kStationOk;
    }
    if (name == "suggest-customer" && args.empty()) {
        NumberText n;
        if (Status s = client.suggestCustomerNumber(n); !s) return report(err, s);
        out << "Suggested customer number: " << text(n.text) << "\n";
        return kStationOk;
    }
    if (name == "large-page" && args.empty()) {
        auto sent = std::make_unique<LargeItemPage>();
        std::memset(sent.get(), 0, sizeof *sent);
        sent->numbers[0] = 1;
        setFieldText(sent->texts[0], "LARGE PAGE");
        auto back = std::make_unique<LargeItemPage>(*sent);
        if (Status s = client.largeItemPage(*back); !s) return report(err, s);
        out << "Large page came back "
            << (std::memcmp(sent.get(), back.get(), sizeof *sent) == 0 ? "as sent" : "changed")
            << ".\n";
        return kStationOk;
    }
    if (name == "item-call" && args.size() == 2 && (args[0] == "10" || args[0] == "11")) {
        auto number = wholeNumber(args[1]);
        if (!number) return usage(err, "item-call takes 10|11 NUMBER");
        ItemQuery q;
        std::memset(&q, 0, sizeof q);
        q.from = -1;
        std::snprintf(q.text, sizeof q.text, "%lld", static_cast<long long>(*number));
        InventoryRecord item;
        if (Status s = client.findItem(q, item); !s) return report(err, s);
        int32_t result = -1;
        const Procedure p = args[0] == "10" ? Procedure::kItemRecord10 : Procedure::kItemRecord11;
        if (Status s = client.itemRecord(p, item, result); !s) return report(err, s);
        out << "Procedure " << args[0] << " returned " << result << "\n";
        return kStationOk;
    }
    return usage(err, "unknown command or arguments: " + name);
}

}  // namespace kassio
