#include "admin/listing_commands.h"

#include <CLI/CLI.hpp>

#include <memory>

#include "admin/admin_open.h"
#include "base/numbers.h"
#include "listings/record_list.h"
#include "store/data_store.h"

namespace kassio {

namespace {

struct ListOptions {
    std::string what;
    int64_t from = 1;
    std::string alpha, category, sku, name, address;
    bool top = false, credit = false, notGroup1 = false, active = false, overdue = false,
         takings = false;
};

// "A-Z", "A", "AZ": the start and end characters.
bool alphaRange(const std::string& text, std::string* start, std::string* end) {
    if (text.empty()) return false;
    *start = text.substr(0, 1);
    const std::size_t dash = text.find('-');
    *end = dash != std::string::npos && dash + 1 < text.size() ? text.substr(dash + 1, 1)
           : text.size() > 1 && dash == std::string::npos      ? text.substr(1, 1)
                                                               : *start;
    return true;
}

// A display category as 1..18 or its three-letter code; -1 when unknown.
int categoryFrom(DataStore& store, const std::string& text) {
    if (auto n = positiveNumber(text); n && *n <= kDisplayCategories)
        return static_cast<int>(*n) - 1;
    auto lock = store.lock();
    for (int c = 0; c < kDisplayCategories; ++c) {
        std::string code = store.config().categoryCode(c);
        bool same = code.size() == text.size();
        for (std::size_t i = 0; same && i < code.size(); ++i)
            same = std::toupper(static_cast<unsigned char>(code[i])) ==
                   std::toupper(static_cast<unsigned char>(text[i]));
        if (same) return c;
    }
    return -1;
}

int runList(DataStore& store, AdminEnvironment& env, const ListOptions& o) {
    if (Status s = store.openData(DataStore::OpenMode::kReadOnly); !s) return fail(env.ui, s);
    ListRequest r;
    r.fromNumber = o.from;
    r.clerk = 1;
    if (!o.category.empty()) {
        r.category = categoryFrom(store, o.category);
        if (r.category < 0) return fail(env.ui, Status::invalid("Invalid selection"));
    }
    if (o.what == "items") {
        r.kind = ListKind::kItemsFromNumber;
        if (!o.alpha.empty()) {
            r.kind = ListKind::kItemsAlphabetical;
            alphaRange(o.alpha, &r.text, &r.endText);
        } else if (o.top) {
            r.kind = ListKind::kItemsTopVolume;
        } else if (!o.sku.empty()) {
            r.kind = ListKind::kItemsBySku;
            r.text = o.sku;
        } else if (!o.category.empty()) {
            r.kind = ListKind::kItemsByCategory;
        }
    } else if (o.what == "suppliers") {
        r.kind = ListKind::kSuppliers;
    } else {
        r.kind = !o.alpha.empty()     ? ListKind::kCustomersAlphabetical
                 : o.credit           ? ListKind::kCustomersWithCredit
                 : o.notGroup1        ? ListKind::kCustomersNotGroup1
                 : o.active           ? ListKind::kCustomersActive
                 : o.overdue          ? ListKind::kCustomersOverdue
                 : o.takings          ? ListKind::kCustomersTakings
                 : !o.name.empty()    ? ListKind::kCustomersByName
                 : !o.address.empty() ? ListKind::kCustomersByAddress
                                      : ListKind::kCustomersFromNumber;
        if (!o.alpha.empty()) alphaRange(o.alpha, &r.text, &r.endText);
        if (!o.name.empty()) r.text = o.name;
        if (!o.address.empty()) r.text = o.address;
    }
    Status error;
    auto source = makeListSource(store, r, &error);
    if (!source) return error ? 0 : fail(env.ui, error);
    ListPager pager(*source);
    if (Status s = pager.open(); !s) return fail(env.ui, s);
    std::fprintf(env.out, "%s\n", listTitle(store, r).c_str());
    for (;;) {
        const std::vector<ListRow> rows = pager.rows();
        for (std::size_t i = 0; i < pager.found(); ++i) {
            const ListRow& row = rows[i];
            std::fprintf(env.out, "%s\t%s\t%s\t%s\n", row.number.c_str(), row.name.c_str(),
                         row.second.c_str(), row.third.c_str());
        }
        if (pager.onlyOk()) break;
        if (Status s = pager.more(); !s) return fail(env.ui, s);
    }
    return 0;
}

}  // namespace

Status listingRequestFrom(const ListingPrintOptions& o, ListingRequest* r) {
    if (!printedListingFrom(o.kind, &r->kind)) return Status::invalid("Unknown listing: " + o.kind);
    r->fromNumber = o.from;
    if (!o.alpha.empty() && !alphaRange(o.alpha, &r->startChar, &r->endChar))
        return Status::invalid("Invalid selection");
    r->category = o.category > 0 ? o.category - 1 : 0;
    r->location = o.location;
    return Status::ok();
}

void addListingCommands(CLI::App& app, AdminCommands& commands) {
    auto list = std::make_shared<ListOptions>();
    CLI::App* l = app.add_subcommand("list", "list items, customers or suppliers");
    l->add_option("WHAT", list->what, "items, customers or suppliers")
        ->required()
        ->check(CLI::IsMember({"items", "customers", "suppliers"}));
    l->add_option("--from", list->from, "start at this number");
    l->add_option("--alpha", list->alpha, "alphabetical, first characters A-Z");
    l->add_option("--category", list->category, "items of a display category (1-18 or code)");
    l->add_option("--sku", list->sku, "items whose SKUs contain the text");
    l->add_flag("--top", list->top, "items by volume sold (with --category: of one category)");
    l->add_flag("--credit", list->credit, "customers with a balance not zero");
    l->add_flag("--not-group1", list->notGroup1, "customers not in category 1");
    l->add_flag("--active", list->active, "customers active this year");
    l->add_flag("--overdue", list->overdue, "customers overdue");
    l->add_flag("--takings", list->takings, "customers with purchases");
    l->add_option("--name", list->name, "customers whose name contains the text");
    l->add_option("--address", list->address, "customers whose address contains the text");
    commands.push_back({l, [list](DataStore& store, AdminEnvironment& env) {
                            return runList(store, env, *list);
                        }});
}

}  // namespace kassio
