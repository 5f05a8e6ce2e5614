#include "inventory/stock_received.h"

#include <map>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "inventory/item_fields.h"
#include "store/items.h"
#include "store/journal_format.h"

namespace kassio {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back; a day past
// the end of its month rolls into the next one.
int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

LocalTime civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    LocalTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    return t;
}

std::string reportDate(const LocalTime& t) {
    std::string text = localeDateText(t);
    // localeDateText falls back to its own form; the report's is "%d/%d/%d".
    if (text.rfind("D:", 0) == 0) return formatted("%d/%d/%d", t.day, t.month, t.year);
    return text;
}

std::string titleDate(int d, int m, int y) {
    LocalTime t;
    t.day = d;
    t.month = m;
    t.year = y;
    std::string text = localeDateText(t);
    if (text.rfind("D:", 0) == 0) return formatted("%2d/%2d/%d", d, m, y);
    return text;
}

}  // namespace

void applyReceipt(InventoryRecord& item, int32_t quantity, int day, int month, int yearIndex) {
    item.quantity += quantity;
    item.sell_by_day = day;
    item.sell_by_month = month;
    item.sell_by_year = yearIndex;
    if (item.on_order > 0) item.on_order = item.on_order > quantity ? item.on_order - quantity : 0;
}

std::string updatedTotalText(int held, const std::string& typed) {
    return formatted("%d", held + integerFromText(typed));
}

void receiveInventory(InventoryMaintenance& inventory, bool bySku1) {
    DataStore& store = inventory.store();
    for (;;) {
        std::optional<ItemHit> hit;
        if (bySku1) {
            auto text = inventory.ui().prompt("Find in SKU 1:");
            if (!text) return;
            hit = inventory.fragmentSearch(FragmentField::kSku1, *text);
        } else {
            auto text = inventory.ui().prompt("Inventory number / description");
            if (!text) return;
            hit = inventory.resolve(*text);
        }
        if (!hit) return;

        const InventoryRecord& item = hit->item;
        ReceiveRequest request;
        request.lineNumber = formatted("%lld", static_cast<long long>(item.number));
        request.description = fieldText(item.description);
        request.held = item.quantity;
        request.sellByDay = item.sell_by_day;
        request.sellByMonth = item.sell_by_month;
        request.sellByYearIndex = item.sell_by_year;
        ReceiveReply reply = inventory.forms().receive(request);
        if (reply.button == FormButton::kCancel) return;

        const int32_t quantity = integerFromText(reply.quantity);
        if (quantity < 1) {
            inventory.show(Status::invalid("Invalid quantity"));
            return;
        }
        // Read again and changed under one hold of the lock: a client
        // station may have sold some of it while the window was open.
        // The stock and its ininvent.dat record are one batch.
        InventoryRecord written;
        Status s;
        uint64_t ticket = 0;
        {
            StoreFiles::Batch batch(store.files());
            s = inventory.updateItem(
                item.number,
                [&](InventoryRecord& r) {
                    applyReceipt(r, quantity, reply.sellByDay, reply.sellByMonth,
                                 reply.sellByYearIndex);
                },
                &written);
            ReceivedRecord received{item.number, quantity};
            if (s && !store.journal().appendReceived(inventory.now(), received))
                s = Status::ioError("Unable to open incoming log.");
            Status committed = batch.commit(&ticket);
            if (s) s = committed;
        }
        if (s) s = store.waitDurable(ticket);
        if (!s) {
            inventory.show(s);
            return;
        }
        inventory.ui().inform(formatted("%d", written.quantity), "Updated quantity");
        if (reply.button != FormButton::kNext) return;
    }
}

bool receivedRangeUsable(const DateRange& r) {
    auto ok = [](int d, int m, int y) {
        return d >= 1 && d <= 31 && m >= 1 && m <= 12 && y >= 2000 && y <= 4000;
    };
    return ok(r.fromDay, r.fromMonth, r.fromYear) && ok(r.toDay, r.toMonth, r.toYear);
}

std::string receivedReportTitle(const DateRange& r) {
    return "Inventory received: " + titleDate(r.fromDay, r.fromMonth, r.fromYear) + " to " +
           titleDate(r.toDay, r.toMonth, r.toYear);
}

std::vector<std::string> receivedReportLines(DataStore& store, const DateRange& r) {
    std::vector<std::string> lines;
    std::map<int64_t, std::string> descriptions;
    auto describe = [&](int64_t number) -> std::string {
        if (number == 0) return "";
        auto it = descriptions.find(number);
        if (it != descriptions.end()) return it->second;
        auto item = readItem(store, number);
        std::string d = item ? fieldText(item->description) : "";
        descriptions.emplace(number, d);
        return d;
    };
    const int64_t first = daysFromCivil(r.fromYear, r.fromMonth, r.fromDay);
    const int64_t last = daysFromCivil(r.toYear, r.toMonth, r.toDay);
    for (int64_t day = first; day <= last; ++day) {
        const LocalTime t = civilFromDays(day);
        const auto records = store.journal().readReceived(t.year, t.month, t.day);
        if (records.empty()) continue;
        const std::string date = reportDate(t);
        for (const ReceivedRecord& rec : records)
            lines.push_back(formatted("%s         %lld %s        Quantity: %lld", date.c_str(),
                                      static_cast<long long>(rec.item), describe(rec.item).c_str(),
                                      static_cast<long long>(rec.quantity)));
    }
    return lines;
}

PagedText pageReceivedReport(const std::string& storeHeading, const std::vector<std::string>& lines,
                             int linesPerPage) {
    PagedText out;
    const std::size_t per = linesPerPage > 1 ? static_cast<std::size_t>(linesPerPage - 1) : 1;
    std::size_t i = 0;
    do {
        std::vector<std::string> page;
        page.push_back(formatted("%s Inventory received, page: %d", storeHeading.c_str(),
                                 static_cast<int>(out.pages.size()) + 1));
        for (std::size_t n = 0; n < per && i < lines.size(); ++n) page.push_back(lines[i++]);
        out.pages.push_back(std::move(page));
    } while (i < lines.size());
    return out;
}

void receivedReport(InventoryMaintenance& inventory, int linesPerPage) {
    auto range = inventory.forms().receivedRange();
    if (!range || !receivedRangeUsable(*range)) return;
    const auto lines = receivedReportLines(inventory.store(), *range);
    if (inventory.forms().receivedList(receivedReportTitle(*range), lines))
        inventory.forms().print(
            pageReceivedReport(inventory.store().config().heading(1), lines, linesPerPage));
}

}  // namespace kassio
