#include "server/station_program.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <charconv>
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
#include "store/file_io.h"
#include "till/posting.h"

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

// A whole decimal number, all of the text. Numbers on the command line are
// read here rather than by CLI11, whose reading takes "010" for 8 and
// "0x10" for 16 and clamps what does not fit to the largest value.
std::optional<int64_t> wholeNumber(std::string_view s) {
    int64_t v = 0;
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, v);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return v;
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
        case kClientInsaneAmount:
            return "an amount in the basket is no sum of money";
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
        case kClientInsaneAmount:
            return "an amount in the basket is no sum of money";
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
        case kCustomerInsaneAmount:
            return "an amount is no sum of money";
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

// --- the command line -------------------------------------------------------

// What the command line says, written by CLI11. Numbers stay text until
// wholeNumberIn() has checked them.
struct Arguments {
    std::string endpoint, dataDir, key, keyFile, tlsCa;
    std::string text, prefix, from = "0", outFile;
    std::string category, next = "0", previous = "0";
    std::string procedure, number, file;
};

CLI::Validator wholeNumberIn(int64_t min, int64_t max) {
    return CLI::Validator(
        [min, max](std::string& s) -> std::string {
            const auto v = wholeNumber(s);
            if (!v) return "'" + s + "' is not a whole number";
            if (*v < min || *v > max)
                return "'" + s + "' is not within " + std::to_string(min) + ".." +
                       std::to_string(max);
            return {};
        },
        "", "whole number");
}

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

const char* const kProgramFooter =
    "TARGET defaults to unix:<DataFolder>/rpc4.sock, which needs no key. On TCP\n"
    "(host:port) the station wants its key: --station-key-file FILE (FILE holds it\n"
    "on one line) or --station-key KEY (other users can read a command line, with\n"
    "ps); without either, $KASSIO_STATION_KEY. Run 'kassio-station COMMAND --help'\n"
    "for a command's arguments; procedure numbers are in brackets.";

const char* const kCustomerFooter =
    "FILE is a JSON object of customer fields (number, name, road, area, town,\n"
    "postcode, telephone, email, ..., group, terms, credit_limit, tax); an added\n"
    "customer without a number gets the one the station offers.";

const char* const kSaleFooter =
    "FILE is a JSON object: {\"station\", \"clerk\", \"payment\", \"customer\", \"note\",\n"
    "\"kind\", \"restock\", \"lines\": [{\"item\": N, \"count\": C} or {\"description\",\n"
    "\"price\", \"tax\", \"cost\"}]}: one line per unit, at the item's retail price and\n"
    "the station's tax rates; \"kind\" (0 cash, 1 CH, 2 EFT, 3 credit) and \"restock\"\n"
    "(0 back to stock, 1 faulty) are for refunds.";

// kassio-station's options and commands. Not copyable: CLI11 holds the
// addresses of the members it writes.
class StationCommandLine {
  public:
    StationCommandLine() {
        m_app.require_subcommand(1);
        m_app.get_formatter()->label("SUBCOMMAND", "COMMAND");
        m_app.get_formatter()->label("Subcommands", "Commands");
        auto* endpoint = m_app.add_option("--endpoint", m_a.endpoint,
                                          "the station: host:port on TCP, or unix:PATH");
        endpoint->type_name("TARGET");
        auto* dataDir = m_app.add_option(
            "--data-dir", m_a.dataDir,
            "the station on this DataFolder's socket (default: $KASSIO_DATA_DIR, else\n"
            "the usual DataFolder)");
        dataDir->type_name("DIR")->excludes(endpoint);
        m_keyFile =
            m_app.add_option("--station-key-file", m_a.keyFile, "read the station key from FILE");
        m_keyFile->type_name("FILE");
        m_key = m_app.add_option("--station-key,--key", m_a.key,
                                 "the station key (visible to other users: prefer a file)");
        m_key->type_name("KEY")->excludes(m_keyFile);
        m_app
            .add_option("--tls-ca", m_a.tlsCa,
                        "the station's TLS certificate, or the authority that signed it (PEM):\n"
                        "talk to its TCP port encrypted")
            ->type_name("FILE");

        CLI::App* c = command("find-item", "an item by number, description pattern or SKU (0)");
        positional(c, "TEXT", m_a.text, "what to look for")->required();
        fromOption(c);

        c = command("find-customer", "a customer by number or name (1)");
        positional(c, "NAME", m_a.text, "the number or the start of the name")->required();
        c->add_option("--prefix", m_a.prefix, "the name prefix to match")->type_name("P");
        fromOption(c);

        command("config", "the station's configuration (2)");
        command("words", "the receipt and invoice words (3)");
        command("tables", "the station tables exchange (4)");
        command("suggest-customer", "a number for a new customer (5)");

        c = command("fetch", "copy a file of the station's DataFolder here (6)");
        positional(c, "NAME", m_a.text, "the file's name in the DataFolder")->required();
        positional(c, "OUTFILE", m_a.outFile, "where to write it (default: NAME, here)");

        c = command("page", "quick-select pages of a display category (7, 8)");
        positional(c, "CATEGORY", m_a.category, "the display category, 18 = all")
            ->required()
            ->check(wholeNumberIn(kInt32Min, kInt32Max));
        c->add_option("--next", m_a.next, "pages to turn forward")
            ->type_name("N")
            ->check(wholeNumberIn(0, kInt32Max));
        c->add_option("--previous", m_a.previous, "pages to turn back after those")
            ->type_name("N")
            ->check(wholeNumberIn(0, kInt32Max));

        command("large-page", "the large page exchange (9)");

        c = command("item-call", "send an item to procedure 10 or 11");
        positional(c, "PROCEDURE", m_a.procedure, "10 or 11")
            ->required()
            ->check(CLI::IsMember({"10", "11"}));
        positional(c, "NUMBER", m_a.number, "the item's number")
            ->required()
            ->check(wholeNumberIn(kInt64Min, kInt64Max));

        fileCommand("add-customer", "add a customer (12)", kCustomerFooter);
        fileCommand("change-customer", "change a customer's texts (13)", kCustomerFooter);
        fileCommand("sale", "post a sale (14)", kSaleFooter);
        fileCommand("refund", "post a refund (15)", kSaleFooter);
        // Set last: a command takes its program's footer when it is added.
        m_app.footer(kProgramFooter);
    }
    StationCommandLine(const StationCommandLine&) = delete;
    StationCommandLine& operator=(const StationCommandLine&) = delete;

    // Reads the command line. nullopt when a command is to run; otherwise
    // the exit code, the help or the fault having been printed.
    std::optional<int> parse(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err) {
        // CLI11 takes its arguments last first.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        try {
            m_app.parse(reversed);
        } catch (const CLI::CallForHelp&) {
            out << m_app.help();
            return kStationOk;
        } catch (const CLI::ParseError& e) {
            // Without a command, CLI11 names the missing command rather
            // than the word it could not place.
            if (m_app.get_subcommands().empty() && !m_app.remaining().empty()) {
                const std::string word = m_app.remaining().front();
                return usage(
                    err, (word.rfind('-', 0) == 0 ? "unknown option " : "unknown command ") + word);
            }
            return usage(err, e.what());
        }
        // Without an OUTFILE a fetched file lands under its own name, which
        // must then be a plain name: nothing the station says may write
        // elsewhere.
        if (commandName() == "fetch" && m_a.outFile.empty() && !isPlainFileName(m_a.text))
            return usage(err, "give an OUTFILE for a name that is not a plain file name");
        return std::nullopt;
    }

    const Arguments& arguments() const { return m_a; }
    bool keyGiven() const { return m_key->count() > 0; }
    bool keyFileGiven() const { return m_keyFile->count() > 0; }
    const std::string& commandName() const { return m_app.get_subcommands().at(0)->get_name(); }

    // A fault of the command line: the reason, then the help of the
    // command it concerns.
    int usage(std::ostream& err, const std::string& why) const {
        err << "kassio-station: " << why << "\n" << m_app.help();
        return kStationUsage;
    }

  private:
    // An argument in its place; its name says what it is, so the help
    // shows no type beside it.
    static CLI::Option* positional(CLI::App* c, const char* name, std::string& target,
                                   const char* what) {
        return c->add_option(name, target, what)->type_name("");
    }
    CLI::App* command(const char* name, const char* what) {
        return m_app.add_subcommand(name, what);
    }
    void fromOption(CLI::App* c) {
        c->add_option("--from", m_a.from, "where a continued search starts")
            ->type_name("N")
            ->check(wholeNumberIn(kInt64Min, kInt64Max));
    }
    void fileCommand(const char* name, const char* what, const char* footer) {
        CLI::App* c = command(name, what);
        positional(c, "FILE", m_a.file, "the JSON file")->required();
        c->footer(footer);
    }

    CLI::App m_app{"kassio-station: the client station's calls to the station server",
                   "kassio-station"};
    Arguments m_a;
    CLI::Option* m_key = nullptr;
    CLI::Option* m_keyFile = nullptr;
};

// --- the commands ----------------------------------------------------------

int findItem(const Arguments& a, StationClient& client, std::ostream& out, std::ostream& err) {
    ItemQuery q;
    std::memset(&q, 0, sizeof q);
    q.from = wholeNumber(a.from).value_or(0);
    setFieldText(q.text, utf8ToWin1252(a.text));
    InventoryRecord r;
    if (Status s = client.findItem(q, r); !s) return report(err, s);
    if (r.number == 0)
        out << "No item found.\n";
    else
        printItem(out, r);
    return kStationOk;
}

int findCustomer(const Arguments& a, StationClient& client, std::ostream& out, std::ostream& err) {
    CustomerQuery q;
    std::memset(&q, 0, sizeof q);
    q.from = wholeNumber(a.from).value_or(0);
    setFieldText(q.name, utf8ToWin1252(a.text));
    setFieldText(q.prefix, utf8ToWin1252(a.prefix));
    CustomerRecord c;
    if (Status s = client.findCustomer(q, c); !s) return report(err, s);
    if (c.number == 0)
        out << "No customer found.\n";
    else
        printCustomer(out, c);
    return kStationOk;
}

int fetch(const Arguments& a, StationClient& client, std::ostream& out, std::ostream& err) {
    const std::string& name = a.text;
    const std::string& target = a.outFile.empty() ? name : a.outFile;
    std::string content;
    if (Status s = client.fetchFile(name, content); !s) return report(err, s);
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!file.flush()) return report(err, Status::ioError("Cannot write " + target, kTitleProblem));
    out << "Fetched " << name << ": " << content.size() << " bytes into " << target << "\n";
    return kStationOk;
}

int pages(const Arguments& a, StationClient& client, std::ostream& out, std::ostream& err) {
    const int64_t next = wholeNumber(a.next).value_or(0);
    const int64_t previous = wholeNumber(a.previous).value_or(0);
    ItemPage page;
    std::memset(&page, 0, sizeof page);
    page.category = static_cast<int32_t>(wholeNumber(a.category).value_or(0));
    if (Status s = client.firstItemPage(page); !s) return report(err, s);
    printPage(out, page);
    for (int64_t i = 0; i < next + previous; ++i) {
        page.direction = i < next ? 0 : kPagePrevious;
        if (Status s = client.nextItemPage(page); !s) return report(err, s);
        printPage(out, page);
    }
    return kStationOk;
}

int customerCommand(const Arguments& a, bool adding, StationClient& client, std::ostream& out,
                    std::ostream& err) {
    std::optional<Json> json;
    if (Status s = readJsonFile(a.file, json); !s) return report(err, s);
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

int post(const Arguments& a, bool refund, StationClient& client, const Clock& clock,
         std::ostream& out, std::ostream& err) {
    std::optional<Json> json;
    if (Status s = readJsonFile(a.file, json); !s) return report(err, s);
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

int itemCall(const Arguments& a, StationClient& client, std::ostream& out, std::ostream& err) {
    ItemQuery q;
    std::memset(&q, 0, sizeof q);
    q.from = -1;
    std::snprintf(q.text, sizeof q.text, "%lld",
                  static_cast<long long>(wholeNumber(a.number).value_or(0)));
    InventoryRecord item;
    if (Status s = client.findItem(q, item); !s) return report(err, s);
    int32_t result = -1;
    const Procedure p = a.procedure == "10" ? Procedure::kItemRecord10 : Procedure::kItemRecord11;
    if (Status s = client.itemRecord(p, item, result); !s) return report(err, s);
    out << "Procedure " << a.procedure << " returned " << result << "\n";
    return kStationOk;
}

int run(const StationCommandLine& line, StationClient& client, const Clock& clock,
        std::ostream& out, std::ostream& err) {
    const std::string& name = line.commandName();
    const Arguments& a = line.arguments();

    if (name == "find-item") return findItem(a, client, out, err);
    if (name == "find-customer") return findCustomer(a, client, out, err);
    if (name == "fetch") return fetch(a, client, out, err);
    if (name == "page") return pages(a, client, out, err);
    if (name == "item-call") return itemCall(a, client, out, err);
    if (name == "add-customer") return customerCommand(a, true, client, out, err);
    if (name == "change-customer") return customerCommand(a, false, client, out, err);
    if (name == "sale") return post(a, false, client, clock, out, err);
    if (name == "refund") return post(a, true, client, clock, out, err);

    if (name == "config") {
        auto c = std::make_unique<ClientConfig>();
        if (Status s = client.clientConfig(*c); !s) return report(err, s);
        printConfig(out, *c);
        return kStationOk;
    }
    if (name == "words") {
        ReceiptWordsWire w;
        if (Status s = client.receiptWords(w); !s) return report(err, s);
        for (int i = 0; i < kClientWordEntries; ++i)
            out << (i < 10 ? " " : "") << i << "  " << text(w.words[i]) << "\n";
        return kStationOk;
    }
    if (name == "tables") {
        auto t = std::make_unique<StationTables>();
        std::memset(t.get(), 0, sizeof *t);
        if (Status s = client.stationTables(*t); !s) return report(err, s);
        out << "First text: " << text(t->texts[0]) << "\n";
        return kStationOk;
    }
    if (name == "suggest-customer") {
        NumberText n;
        if (Status s = client.suggestCustomerNumber(n); !s) return report(err, s);
        out << "Suggested customer number: " << text(n.text) << "\n";
        return kStationOk;
    }
    if (name == "large-page") {
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
    return line.usage(err, "unknown command " + name);
}

}  // namespace

int runStation(const std::vector<std::string>& args, StationEnvironment& env) {
    StationCommandLine line;
    if (auto code = line.parse(args, env.out, env.err)) return *code;
    const Arguments& a = line.arguments();
    StationConnection connection;
    connection.endpoint =
        a.endpoint.empty() ? socketEndpoint(resolveDataFolder(a.dataDir)) : a.endpoint;
    if (line.keyGiven()) {
        env.err << "kassio-station: warning: other users can read the station key on the "
                   "command line (ps); give it with --station-key-file FILE or $"
                << kStationKeyVariable << " instead\n";
        connection.key = a.key;
    } else if (line.keyFileGiven()) {
        if (Status s = readStationKeyFile(a.keyFile, connection.key); !s) {
            env.err << "kassio-station: " << s.message() << "\n";
            return kStationUsage;
        }
    } else if (const char* key = std::getenv(kStationKeyVariable)) {
        connection.key = key;
    }
    if (!a.tlsCa.empty()) {
        auto pem = readWholeFile(a.tlsCa);
        if (!pem || pem->empty()) {
            env.err << "kassio-station: cannot read the TLS certificate " << a.tlsCa << "\n";
            return kStationUsage;
        }
        connection.tlsRootCertificates.assign(pem->begin(), pem->end());
    }
    std::unique_ptr<StationClient> client = env.connect(connection);
    return run(line, *client, env.clock, env.out, env.err);
}

int runStationCommand(const std::vector<std::string>& command, StationClient& client,
                      const Clock& clock, std::ostream& out, std::ostream& err) {
    StationCommandLine line;
    if (auto code = line.parse(command, out, err)) return *code;
    return run(line, client, clock, out, err);
}

}  // namespace kassio
