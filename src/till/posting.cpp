#include "till/posting.h"

#include <charconv>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"
#include "till/posting_internal.h"
#include "till/stock_check.h"

namespace kassio {

namespace {

template <std::size_t N, std::size_t M>
void copyText(char (&to)[N], const char (&from)[M]) {
    std::memset(to, 0, N);
    setFieldText(to, fieldText(from));
}

bool validLineCount(const Basket& b) {
    return b.line_count > 0 && b.line_count <= kMaxBasketLines;
}

// The two sale counters and the sales total of a display category.
void addCategorySale(StoreConfigRecord& cfg, int c, double lineTotal, int direction,
                     bool clientSale) {
    if (c < 0 || c >= kDisplayCategories) return;
    const int first = c < 9 ? 80 + c : 31 + c;
    cfg.counters[first] += direction;
    cfg.counters[first + 10] += direction;
    if (clientSale)
        cfg.money[kMoneyClientCategorySales + c] += lineTotal;
    else
        cfg.sales_totals[kSalesTotalsByCategory + c] += lineTotal;
}

SaleLineRecord lineRecordOf(const Basket& b, int i, int64_t number, int64_t customer,
                            int category) {
    SaleLineRecord l;
    std::memset(&l, 0, sizeof l);
    l.number = number;
    l.display_category = category;
    l.customer = customer;
    l.item = b.item[i];
    copyText(l.description, b.description[i]);
    l.non_taxable = b.non_taxable[i];
    l.taxable = b.taxable[i];
    l.tax1 = b.tax1[i];
    l.tax2 = b.tax2[i];
    l.cost = b.cost[i];
    l.discount = b.discount[i];
    l.total = b.line_total[i];
    l.clerk = b.clerk;
    return l;
}

std::string itemLines(const Basket& b) {
    std::string out;
    for (int i = 0; i < b.line_count; ++i)
        out += formatted("%lld  %s\r\n", static_cast<long long>(b.item[i]),
                         fieldText(b.description[i]).c_str());
    return out;
}

}  // namespace

SaleRecord saleRecordOf(const Basket& b) {
    SaleRecord s;
    std::memset(&s, 0, sizeof s);
    s.number = b.number;
    s.reserved8 = b.reserved8;
    s.customer = b.customer;
    s.clerk = b.clerk;
    s.line_count = b.line_count;
    // Totals and payment amounts lie in the same order in both images.
    static_assert(offsetof(SaleRecord, time) - offsetof(SaleRecord, non_taxable) ==
                  offsetof(Basket, time) - offsetof(Basket, total_non_taxable));
    std::memcpy(&s.non_taxable, &b.total_non_taxable,
                offsetof(Basket, time) - offsetof(Basket, total_non_taxable));
    copyText(s.time, b.time);
    copyText(s.date, b.date);
    copyText(s.customer_name, b.customer_name);
    copyText(s.customer_road, b.customer_road);
    copyText(s.customer_area, b.customer_area);
    copyText(s.customer_town, b.customer_town);
    copyText(s.customer_postcode, b.customer_postcode);
    copyText(s.customer_telephone, b.customer_telephone);
    copyText(s.payment, b.payment_word);
    for (int i = 0; i < 5; ++i) copyText(s.copied_texts[i], b.texts[i]);
    copyText(s.copied_text686, b.text20);
    copyText(s.copied_text706, b.texts40[0]);
    copyText(s.copied_text746, b.texts40[1]);
    copyText(s.copied_text786, b.text80);
    copyText(s.copied_text866, b.texts40b[0]);
    copyText(s.copied_text906, b.texts40b[1]);
    s.copied_value946 = b.values[0];
    s.copied_value950 = b.values[1];
    std::memcpy(s.copied_value954, &b.doubles5[0], 8);
    std::memcpy(s.copied_value962, &b.doubles5[1], 8);
    copyText(s.note, b.note);
    return s;
}

// ---------------------------------------------------------------------------
// The journal pass shared by sales and refunds

namespace {

// Failure codes of a client posting for each step of the pass.
struct StopCodes {
    int yearIndex, salesLog, itemsLog, missingItem, unreadableItem;
};

// Notes each failure for the caller and remembers whether any record went
// into the journal: from then on the transaction number is used up.
struct Pass {
    SalePostOutcome& out;
    bool client;
    bool appended = false;

    // False when a client posting stops at this failure.
    bool step(Status s) {
        if (s.isOk()) {
            appended = true;
            return true;
        }
        out.messages.push_back(std::move(s));
        return !client;
    }
};

// The index entry, the SaleRecord, then one SaleLineRecord per line with
// `update` applied to each inventory line's record (written back when it
// returns true). Returns the client stop code, or 0 when the pass ran.
int journalPass(DataStore& store, const Basket& b, int64_t number, const SaleRecord& sale,
                Pass& pass, const StopCodes& codes,
                const std::function<bool(InventoryRecord&, int line)>& update) {
    const LocalTime now = store.clock().now();
    Journal& journal = store.journal();
    if (!pass.step(
            journal.appendYearIndex(now, {static_cast<int32_t>(number), now.day, now.month})))
        return codes.yearIndex;
    if (!pass.step(journal.appendSale(now, sale))) return codes.salesLog;

    std::vector<SaleLineRecord> lines;
    lines.reserve(static_cast<std::size_t>(b.line_count));
    RecordFile& items = store.items();
    auto stop = [&](Status why, int code) {
        // The lines already taken are kept as far as they go; the stop itself
        // is what the caller reports.
        static_cast<void>(journal.appendLines(now, lines));
        pass.out.stopped = true;
        pass.out.messages.push_back(std::move(why));
        return code;
    };
    for (int i = 0; i < b.line_count; ++i) {
        int category = kNonInventoryCategory;
        if (b.item[i] != 0) {
            auto slot = items.find(b.item[i]);
            if (!slot)
                return stop(Status::invalid("Invalid entry").withCode(Status::Code::kItemMissing),
                            codes.missingItem);
            InventoryRecord item;
            if (!items.read(*slot, &item)) return stop(items.notPresent(), codes.unreadableItem);
            category = item.display_category;
            const InventoryRecord before = item;
            if (update(item, i)) {
                if (Status s = items.write(*slot, &item, &before); !s)
                    pass.out.messages.push_back(s);
            }
        }
        lines.push_back(lineRecordOf(b, i, number, b.customer, category));
    }
    if (!pass.step(journal.appendLines(now, lines))) return codes.itemsLog;
    return 0;
}

}  // namespace

// Commits the posting's batch (a client posting's outer batch commits it
// instead, and out.ticket stays 0). A refused commit means nothing of the
// posting reached the journal.
static void commitPosting(StoreFiles::Batch& batch, SalePostOutcome& out) {
    if (Status s = batch.commit(&out.ticket); !s) {
        out.posted = false;
        out.failed = true;
        out.messages.push_back(s);
    }
}

// ---------------------------------------------------------------------------
// Sales

SalePostOutcome writeSale(DataStore& store, Basket& b, const SaleWriteOptions& opt) {
    SalePostOutcome out;
    auto lock = store.lock();
    // Every file the sale touches, kq.cfg included, goes into the posting
    // journal as one record: all of it survives a crash or none of it.
    StoreFiles::Batch batch(store.files());
    StoreConfigRecord& cfg = store.config().record();
    const int64_t number = cfg.next_transaction;
    out.number = number;
    if (!opt.client) b.number = number;
    SaleRecord sale = saleRecordOf(b);
    sale.number = number;
    const LocalTime now = store.clock().now();
    const std::string ts = timestampText(now);

    // From the first record appended, this number belongs to this sale: a
    // stop further on still advances the counter so that no later
    // transaction is journalled under the same number.
    Pass pass{out, opt.client};
    auto finish = [&](int code) {
        out.code = code;
        if (pass.appended) {
            cfg.next_transaction = number + 1;
            if (Status s = store.saveConfig(opt.configFailure, kTitleFatal); !s) {
                out.configFailed = true;
                out.messages.push_back(s);
            }
        }
        commitPosting(batch, out);
        return out;
    };

    const StopCodes codes{6, 7, 8, 3, opt.client ? 12 : 3};
    const int stopped =
        journalPass(store, b, number, sale, pass, codes, [&](InventoryRecord& item, int i) {
            item.total_sold += 1;
            setFieldText(item.last_used, ts);
            addCategorySale(cfg, item.display_category, b.line_total[i], +1, opt.client);
            if (item.quantity > 0) item.quantity -= 1;  // stock never goes below 0 through a sale
            return true;
        });
    if (stopped) return finish(stopped);

    // The day's ActivityLog entry.
    std::string text = formatted("\r\n%s Sale: %lld, Total: %.2f\r\n", logTimeText(ts).c_str(),
                                 static_cast<long long>(number), b.total);
    if (opt.client) text += formatted("Station: %s\r\n", fieldText(b.texts[0]).c_str());
    text += itemLines(b);
    text +=
        formatted("Clerk: %d, %s   Items: %d\r\n", b.clerk, opt.clerkName.c_str(), b.line_count);
    text += formatted("Payment type: %s\r\n", fieldText(b.payment_word).c_str());
    const std::string word = fieldText(b.payment_word);
    if (!opt.client && word == "Split")
        text += formatted("Cash: %.2f  CH: %.2f  EFT: %.2f\r\n", b.payment[kPayCash],
                          b.payment[kPayCheque], b.payment[kPayCard]);
    if (b.customer != 0)
        text += formatted("Customer: %lld %s\r\n", static_cast<long long>(b.customer),
                          fieldText(b.customer_name).c_str());
    if (!opt.client && b.total_discount != 0)
        text += formatted("Discount: %.2f\r\n", b.total_discount);
    if (!store.journal().appendActivity(now, text))
        out.messages.push_back(Status::ioError("Data log file not present."));

    if (word != "Credit") cfg.running_totals[kRunningTakings] += b.total;
    out.posted = true;
    pass.appended = true;
    return finish(0);
}

namespace {

// A request id seen before gets the answer it was given, once that answer's
// posting is on disk; nullopt when the id is new (or none was sent).
std::optional<ClientPostResult> rememberedAnswer(DataStore& store, const std::string& requestId) {
    if (requestId.empty()) return std::nullopt;
    auto first = store.files().remembered(requestId);
    if (!first) return std::nullopt;
    ClientPostResult result;
    int32_t code = 0;
    const std::string& text = first->result;
    if (std::from_chars(text.data(), text.data() + text.size(), code).ec != std::errc())
        return std::nullopt;
    result.code = store.waitDurable(first->ticket) ? code : kClientNotSaved;
    return result;
}

}  // namespace

ClientPostResult postClientSale(DataStore& store, const Basket& received,
                                const std::string& requestId,
                                const std::function<void()>& onCommitted) {
    ClientPostResult result;
    // The line count comes from the network: anything outside 1..400 is
    // refused before a single array is read.
    if (!validLineCount(received)) {
        result.code = 1;
        return result;
    }
    if (!basketAmountsSane(received)) {
        result.code = kClientInsaneAmount;
        return result;
    }
    Basket b = received;
    const LocalTime now = store.clock().now();
    {
        auto lock = store.lock();
        if (auto answer = rememberedAnswer(store, requestId)) return *answer;
        if (b.customer > 0) {
            if (!store.customers().find(b.customer) ||
                !store.files().exists(store.customers().name())) {
                result.code = 2;
                return result;
            }
        }
    }
    switch (checkBasketStock(store, b)) {
        case StockProblem::kNone:
            break;
        case StockProblem::kUnknownItem:
            result.code = 4;
            return result;
        case StockProblem::kOutOfStock:
            result.code = 5;
            return result;
        case StockProblem::kNoItemFile:
        case StockProblem::kUnreadableItem:
            result.code = 3;
            return result;
    }
    // A folder that cannot be made shows up as the failure of the append that needs it.
    static_cast<void>(store.journal().ensureMonthFolders(now));

    // The customer's update and the sale are one batch: a balance never
    // rises without its transaction. It is committed under the DataMutex
    // and waited for after it.
    uint64_t ticket = 0;
    Status committed;
    SalePostOutcome outcome;
    {
        StoreFiles::Batch batch(store.files());
        StoreConfigRecord& cfg = store.config().record();
        auto refuse = [&](int32_t code) {
            // Nothing was written: the batch goes away empty.
            result.code = code;
            return result;
        };
        if (b.customer > 0) {
            auto slot = store.customers().find(b.customer);
            CustomerRecord c;
            if (!slot || !store.customers().read(*slot, &c)) return refuse(12);
            c.transactions += 1;
            c.total_purchases += b.total;
            setFieldText(c.last_used, timestampText(store.clock().now()));
            c.last_transaction = cfg.next_transaction;
            if (fieldText(b.payment_word) == "Credit") c.balance += b.total;
            if (!store.customers().write(*slot, &c)) return refuse(12);
        }
        SaleWriteOptions opt;
        opt.client = true;
        opt.clerkName = store.config().clerkName(b.clerk);
        opt.configFailure = "Unable to update the configuration file for client";
        outcome = writeSale(store, b, opt);
        const int32_t next = cfg.next_transaction;
        result.code = outcome.code != 0 ? outcome.code : next + kClientPostedOffset;
        if (!requestId.empty()) batch.setRequest(requestId, std::to_string(result.code));
        committed = batch.commit(&ticket);
    }
    if (onCommitted) onCommitted();
    if (!committed || !store.waitDurable(ticket)) result.code = kClientNotSaved;
    if (outcome.configFailed)
        result.stationMessage =
            Status::ioError("Unable to update the configuration file for client", kTitleFatal);
    return result;
}

// ---------------------------------------------------------------------------
// Refunds

const char* refundFormWord(int kind) {
    switch (kind) {
        case 0:
            return "Form: Cash";
        case 1:
            return "Form: CH";
        case 2:
            return "Form: EFT";
        default:
            return "Form: Credit";
    }
}

void negateTotals(Basket& b) {
    b.total_non_taxable = -b.total_non_taxable;
    b.total_taxable = -b.total_taxable;
    b.subtotal = -b.subtotal;
    b.total_tax1 = -b.total_tax1;
    b.total_tax2 = -b.total_tax2;
    b.total_cost = -b.total_cost;
    b.total = -b.total;
    b.total_discount = -b.total_discount;
}

RefundPostOutcome writeRefund(DataStore& store, Basket& b, const RefundWriteOptions& opt) {
    RefundPostOutcome out;
    auto lock = store.lock();
    StoreFiles::Batch batch(store.files());
    StoreConfigRecord& cfg = store.config().record();
    const int64_t number = cfg.next_transaction;
    out.number = number;
    b.number = number;

    // Totals negated; the lines keep their positive values.
    negateTotals(b);
    if (!opt.client) setFieldText(b.payment_word, "Refund");
    if (opt.kind == 0) b.payment[kPayCash] = b.total;
    if (opt.kind == 1) b.payment[kPayCheque] = b.total;
    if (opt.kind == 2) b.payment[kPayCard] = b.total;
    if (opt.client) b.reserved8 = cfg.client_table2[0];

    cfg.running_totals[2] += b.total_non_taxable;
    cfg.running_totals[3] += b.total_taxable;
    cfg.running_totals[4] += b.subtotal;
    cfg.running_totals[5] += b.total_tax1;
    cfg.running_totals[6] += b.total_tax2;
    cfg.running_totals[7] += b.total_discount;
    cfg.running_totals[8] += b.total;
    cfg.sales_totals[2] += b.total_cost;

    const LocalTime now = store.clock().now();
    const std::string ts = timestampText(now);

    // The counter moves with the first record appended, whatever follows,
    // so that the number is never used twice; kq.cfg is written before the
    // refund returns so a restart cannot hand it out again either.
    Pass pass{out, opt.client};
    auto finish = [&](int code) {
        out.code = code;
        if (pass.appended) {
            cfg.next_transaction = number + 1;
            if (opt.client) {
                cfg.money[2] += b.total_cost;
                cfg.client_table2[0] += 1;
            }
            if (Status s = store.saveConfig("Unable to update the configuration file", kTitleFatal);
                !s) {
                out.configFailed = true;
                out.messages.push_back(s);
            }
        }
        commitPosting(batch, out);
        return out;
    };

    const StopCodes codes{5, 6, 7, 8, 9};
    const int stopped = journalPass(
        store, b, number, saleRecordOf(b), pass, codes, [&](InventoryRecord& item, int i) {
            addCategorySale(cfg, item.display_category, -b.line_total[i], -1, false);
            if (opt.restock != 0) return false;  // faulty items leave the record untouched
            item.quantity += 1;
            setFieldText(item.last_used, ts);
            return true;
        });
    if (stopped) return finish(stopped);

    std::string text = formatted("\r\n%s Refund: %lld, Total: %.2f\r\n", logTimeText(ts).c_str(),
                                 static_cast<long long>(number), b.total);
    text += itemLines(b);
    text +=
        formatted("Clerk: %d, %s   Items: %d\r\n", b.clerk, opt.clerkName.c_str(), b.line_count);
    text += refundFormWord(opt.kind);
    text += formatted("\r\nCustomer: %lld %s\r\n", static_cast<long long>(b.customer),
                      fieldText(b.customer_name).c_str());
    if (!store.journal().appendActivity(now, text))
        out.messages.push_back(Status::ioError("Data log text file not present.", kTitleFatal));

    // A client's credit refund reaches the customer's balance last.
    if (opt.client && opt.kind == 3) {
        auto slot = store.customers().find(b.customer);
        CustomerRecord c;
        if (!slot) return finish(10);
        if (!store.customers().read(*slot, &c)) return finish(12);
        c.balance += b.total;
        setFieldText(c.last_used, ts);
        if (!store.customers().write(*slot, &c)) return finish(12);
    }
    out.posted = true;
    pass.appended = true;
    return finish(0);
}

ClientPostResult postClientRefund(DataStore& store, const Basket& received,
                                  const std::string& requestId,
                                  const std::function<void()>& onCommitted) {
    ClientPostResult result;
    if (!validLineCount(received)) {
        result.code = 1;
        return result;
    }
    if (!basketAmountsSane(received)) {
        result.code = kClientInsaneAmount;
        return result;
    }
    const int kind = received.values[kValueRefundKind];
    const int restock = received.values[kValueRestock];
    if (kind < 0 || kind > 3 || restock < 0 || restock > 1) {
        result.code = 2;
        return result;
    }
    Basket b = received;
    {
        auto lock = store.lock();
        if (auto answer = rememberedAnswer(store, requestId)) return *answer;
    }
    // A folder that cannot be made shows up as the failure of the append that needs it.
    static_cast<void>(store.journal().ensureMonthFolders(store.clock().now()));
    uint64_t ticket = 0;
    Status committed;
    RefundPostOutcome outcome;
    {
        StoreFiles::Batch batch(
            store.files());  // committed under the DataMutex, waited for after it
        if (kind == 3) {
            auto slot = store.customers().find(b.customer);
            if (!slot) {
                result.code = 3;
                return result;
            }
            CustomerRecord c;
            if (!store.customers().read(*slot, &c)) {
                result.code = 4;
                return result;
            }
        }
        RefundWriteOptions opt;
        opt.client = true;
        opt.kind = kind;
        opt.restock = restock;
        opt.clerkName = store.config().clerkName(b.clerk);
        outcome = writeRefund(store, b, opt);
        const int32_t next = store.config().nextTransaction();
        result.code = outcome.code != 0 ? outcome.code : next + kClientPostedOffset;
        if (!requestId.empty()) batch.setRequest(requestId, std::to_string(result.code));
        committed = batch.commit(&ticket);
    }
    if (onCommitted) onCommitted();
    if (!committed || !store.waitDurable(ticket)) result.code = kClientRefundNotSaved;
    for (const Status& s : outcome.messages)
        if (s.code() == Status::Code::kItemMissing) result.stationMessage = s;
    if (outcome.configFailed)
        result.stationMessage =
            Status::ioError("Unable to update the configuration file", kTitleFatal);
    return result;
}

}  // namespace kassio
