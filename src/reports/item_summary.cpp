#include "reports/item_summary.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "base/text_format.h"

namespace kassio {

std::vector<Day> summaryDays(SummaryPeriod period, const Day& first, const Day& last) {
    std::vector<Day> days;
    switch (period) {
        case SummaryPeriod::kDay:
            days.push_back(first);
            break;
        case SummaryPeriod::kWeek: {
            Day d = first;
            for (int i = 0; i < 7; ++i, d = nextDay(d)) days.push_back(d);
            break;
        }
        case SummaryPeriod::kMonth:
            for (int d = 1; d <= daysInMonth(first.year, first.month); ++d)
                days.push_back({first.year, first.month, d});
            break;
        case SummaryPeriod::kPeriod:
            for (Day d = first; compareDays(d, last) <= 0; d = nextDay(d)) days.push_back(d);
            break;
    }
    return days;
}

namespace {

bool excluded(const SaleRecord& sale, const ItemSummaryFilter& f) {
    const char* p = sale.payment;
    if (p[0] == 'P') return true;
    if (p[0] == 'R') return f.excludeRefunds;
    if (p[0] == 'C' && p[1] == 'a') return f.excludeCash;
    if (p[0] == 'C' && p[1] == 'r') return f.excludeCredit;
    if (p[0] == 'C' && p[1] == 'H') return f.excludeCh;
    if (p[0] == 'E') return f.excludeEft;
    if (p[0] == 'S') return f.excludeSplit;
    return false;
}

// The exchange pass, done with a max tree: at each position the entry held
// there is swapped with every later entry of a larger count in turn, which
// is a walk over the later positions whose count beats the one held. The
// tree finds each such position in log n steps instead of comparing with
// every later entry; the order it leaves is the exchange pass's own.
class CountTree {
  public:
    explicit CountTree(const std::vector<SummaryEntry>& e) : m_size(1) {
        while (m_size < e.size()) m_size *= 2;
        m_max.assign(2 * m_size, -1);
        for (std::size_t i = 0; i < e.size(); ++i) m_max[m_size + i] = e[i].count;
        for (std::size_t i = m_size - 1; i >= 1; --i)
            m_max[i] = std::max(m_max[2 * i], m_max[2 * i + 1]);
    }
    void set(std::size_t pos, int value) {
        std::size_t i = m_size + pos;
        m_max[i] = value;
        for (i /= 2; i >= 1; i /= 2) m_max[i] = std::max(m_max[2 * i], m_max[2 * i + 1]);
    }
    // The first position at or after `from` whose count is above `value`.
    std::ptrdiff_t firstAbove(std::size_t from, int value) const {
        return find(1, 0, m_size, from, value);
    }

  private:
    std::ptrdiff_t find(std::size_t node, std::size_t lo, std::size_t hi, std::size_t from,
                        int value) const {
        if (hi <= from || m_max[node] <= value) return -1;
        if (hi - lo == 1) return static_cast<std::ptrdiff_t>(lo);
        const std::size_t mid = (lo + hi) / 2;
        std::ptrdiff_t r = find(2 * node, lo, mid, from, value);
        return r >= 0 ? r : find(2 * node + 1, mid, hi, from, value);
    }
    std::size_t m_size;
    std::vector<int> m_max;
};

}  // namespace

void takeLines(const DayJournal& day, const ItemSummaryFilter& filter, ItemSummary* into) {
    if (!day.hasSales) return;
    std::unordered_map<int64_t, std::vector<uint32_t>> linesOf;
    linesOf.reserve(day.sales.size() * 2 + 1);
    for (std::size_t i = 0; i < day.lines.size(); ++i)
        linesOf[day.lines[i].number].push_back(static_cast<uint32_t>(i));
    for (const SaleRecord& sale : day.sales) {
        if (excluded(sale, filter)) continue;
        auto it = linesOf.find(sale.number);
        if (it == linesOf.end()) continue;
        const bool refund = sale.payment[0] == 'R';
        const double sign = refund ? -1.0 : 1.0;
        for (uint32_t i : it->second) {
            const SaleLineRecord& l = day.lines[i];
            if (filter.category != kEveryCategory && l.display_category != filter.category)
                continue;
            SummaryEntry e;
            e.item = l.item;
            e.description = fieldText(l.description);
            e.category = l.display_category;
            e.nonTaxable = sign * l.non_taxable;
            e.taxable = sign * l.taxable;
            e.tax1 = sign * l.tax1;
            e.tax2 = sign * l.tax2;
            e.cost = sign * l.cost;
            e.discount = sign * l.discount;
            e.total = sign * l.total;
            e.kind = refund ? 'R' : sale.payment[0];
            into->items += 1;
            into->cost += e.cost;
            into->retail += e.nonTaxable + e.taxable;
            into->total += e.total;
            into->entries.push_back(std::move(e));
        }
    }
}

void mergeAndOrder(std::vector<SummaryEntry>* entries) {
    std::vector<SummaryEntry>& in = *entries;
    std::vector<SummaryEntry> merged;
    merged.reserve(in.size());
    std::unordered_map<int64_t, std::size_t> firstOf;  // item number -> entry in merged
    for (SummaryEntry& e : in) {
        if (e.kind == 'R' || e.item == 0) {
            merged.push_back(std::move(e));
            continue;
        }
        auto [it, isNew] = firstOf.try_emplace(e.item, merged.size());
        if (isNew) {
            merged.push_back(std::move(e));
            continue;
        }
        SummaryEntry& m = merged[it->second];
        m.count += 1;
        m.nonTaxable += e.nonTaxable;
        m.taxable += e.taxable;
        m.tax1 += e.tax1;
        m.tax2 += e.tax2;
        m.cost += e.cost;
        m.total += e.total;
        if (e.discount > 0) m.discount += e.discount;
    }
    if (!merged.empty()) {
        CountTree tree(merged);
        for (std::size_t i = 0; i + 1 < merged.size(); ++i) {
            SummaryEntry held = std::move(merged[i]);
            std::size_t from = i + 1;
            for (std::ptrdiff_t j; (j = tree.firstAbove(from, held.count)) >= 0;) {
                std::swap(held, merged[static_cast<std::size_t>(j)]);
                tree.set(static_cast<std::size_t>(j), merged[static_cast<std::size_t>(j)].count);
                from = static_cast<std::size_t>(j) + 1;
            }
            merged[i] = std::move(held);
            tree.set(i, -1);
        }
    }
    in = std::move(merged);
}

ItemSummary itemSummary(DataStore& store, const std::vector<Day>& days,
                        const ItemSummaryFilter& filter, const ReportProgress& progress) {
    ItemSummary s;
    for (std::size_t i = 0; i < days.size(); ++i) {
        if (progress && !progress(static_cast<int>(i), static_cast<int>(days.size()))) {
            s.cancelled = true;
            return s;
        }
        takeLines(readDayJournal(store, days[i]), filter, &s);
    }
    mergeAndOrder(&s.entries);
    return s;
}

std::string summaryTitle(SummaryPeriod period, const Day& first, const Day& last) {
    switch (period) {
        case SummaryPeriod::kDay:
            return formatted("Item report   Day %d Month %d %d", first.day, first.month,
                             first.year);
        case SummaryPeriod::kWeek:
            return formatted("Item report   Week from day %d month %d %d", first.day, first.month,
                             first.year);
        case SummaryPeriod::kMonth:
            return formatted("Item report   Month %d %d", first.month, first.year);
        case SummaryPeriod::kPeriod:
            break;
    }
    return formatted("Item report D:%d M:%d Y:%d  to  D:%d M:%d Y:%d", first.day, first.month,
                     first.year, last.day, last.month, last.year);
}

std::string summaryLine(const SummaryEntry& e) {
    std::string line =
        formatted("%lld, %s, %lld, %.2f, %.2f, %.2f, %.2f, %d", static_cast<long long>(e.item),
                  e.description.c_str(), static_cast<long long>(e.category), e.cost,
                  e.nonTaxable + e.taxable, e.tax1, e.total, e.count);
    return e.kind == 'R' ? "Refund: " + line : line;
}

std::vector<std::string> summaryLines(const ItemSummary& s) {
    std::vector<std::string> lines;
    lines.reserve(s.entries.size());
    for (const SummaryEntry& e : s.entries) lines.push_back(summaryLine(e));
    return lines;
}

std::string summaryTotalsLine(const ItemSummary& s) {
    return formatted("Items: %d, Cost: %.2f, Retail: %.2f", s.items, s.cost, s.retail);
}

Listing summaryPrint(SummaryPeriod period, const std::string& heading, const Day& first,
                     const Day& last, const ItemSummary& s) {
    const std::vector<Day> days = summaryDays(period, first, last);
    const Day end = days.empty() ? first : days.back();
    std::string firstHeading;
    const char* name = "Item list";
    switch (period) {
        case SummaryPeriod::kDay:
            name = "Daily item list";
            firstHeading = formatted("%s Daily item list: %s  page: %d", heading.c_str(),
                                     shortDateText(first).c_str(), 1);
            break;
        case SummaryPeriod::kWeek:
            name = "Weekly item list";
            firstHeading = formatted("%s Weekly item list to %s  page: %d", heading.c_str(),
                                     shortDateText(end).c_str(), 1);
            break;
        case SummaryPeriod::kMonth:
            name = "Monthly item list";
            firstHeading = formatted("%s Monthly item list to %s  page: %d", heading.c_str(),
                                     shortDateText(end).c_str(), 1);
            break;
        case SummaryPeriod::kPeriod:
            firstHeading = formatted("%s Item list D:%d M:%d Y:%d to D:%d M:%d Y:%d  page: %d",
                                     heading.c_str(), first.day, first.month, first.year, last.day,
                                     last.month, last.year, 1);
            break;
    }
    Listing l;
    l.heading = [firstHeading, heading, name = std::string(name)](int page) {
        return page == 1 ? firstHeading
                         : formatted("%s %s, page: %d", heading.c_str(), name.c_str(), page);
    };
    l.body = summaryLines(s);
    l.firstBodyLine = 2;
    l.extraPerLine = 2;
    l.footer = summaryTotalsLine(s);
    return l;
}

std::string summaryFileText(const ItemSummary& s) {
    std::string out;
    for (const SummaryEntry& e : s.entries) out += summaryLine(e) + "\r\n";
    return out + summaryTotalsLine(s);
}

Status itemsCsv(DataStore& store, const Day& first, bool week, std::string* text) {
    std::string out;
    const std::vector<Day> days =
        summaryDays(week ? SummaryPeriod::kWeek : SummaryPeriod::kDay, first);
    for (const Day& d : days) {
        const DayJournal day = readDayJournal(store, d);
        if (!day.hasSales && !week) return Status::invalid("No items for that day.");
        std::unordered_map<int64_t, std::vector<uint32_t>> linesOf;
        for (std::size_t i = 0; i < day.lines.size(); ++i)
            linesOf[day.lines[i].number].push_back(static_cast<uint32_t>(i));
        for (const SaleRecord& sale : day.sales) {
            auto it = linesOf.find(sale.number);
            if (it == linesOf.end()) continue;
            const std::string payment = fieldText(sale.payment);
            for (uint32_t i : it->second) {
                const SaleLineRecord& l = day.lines[i];
                out += formatted("%lld,%s,%lld,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%lld,%d,%s,\r\n",
                                 static_cast<long long>(l.item), fieldText(l.description).c_str(),
                                 static_cast<long long>(l.display_category), l.non_taxable,
                                 l.taxable, l.tax1, l.tax2, l.cost, l.total,
                                 static_cast<long long>(sale.number), l.clerk, payment.c_str());
            }
        }
    }
    *text = std::move(out);
    return Status::ok();
}

}  // namespace kassio
