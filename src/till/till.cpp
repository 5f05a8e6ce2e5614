#include "till/till.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "store/activity_log.h"
#include "store/customers.h"
#include "store/file_io.h"
#include "store/items.h"
#include "till/discounts.h"
#include "till/posting_internal.h"
#include "till/tender.h"

namespace kassio {

namespace {

bool patternMatches(const std::string& pattern, const std::string& text) {
    if (text.size() < pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] != '?' && pattern[i] != text[i]) return false;
    return true;
}

}  // namespace

Till::Till(DataStore& store, Ui& ui, TillPanels& panels, Sound& sound, TillDevices& devices)
    : m_store(store),
      m_ui(ui),
      m_panels(panels),
      m_sound(sound),
      m_devices(devices),
      m_basket(std::make_unique<Basket>()),
      m_table(kBasketTableSize) {
    zeroBasket();
    std::memset(m_table.data(), 0, m_table.size() * sizeof(Basket));
}

Till::~Till() = default;

void Till::zeroBasket() {
    std::memset(m_basket.get(), 0, sizeof(Basket));
}

void Till::selectRow(int row) {
    if (row >= -1 && row < static_cast<int>(m_rows.size())) m_selected = row;
}

bool Till::soundsOn() const {
    return m_store.config().record().settings_b[kSetBSoundEffectsOff] == 0;
}

void Till::play(SoundId id) {
    if (soundsOn()) m_sound.play(id);
}

void Till::show(const Status& s) {
    if (!s.isOk()) m_ui.error(s.message(), s.title());
}

// --- Clerks ---------------------------------------------------------------

std::string Till::clerkName() const {
    return m_store.config().clerkName(m_clerk);
}

std::string Till::windowTitle() const {
    if (m_clerk == 0) return "KASSIO";
    return formatted("KASSIO SC    Assoc: %lld, %s", static_cast<long long>(m_clerk),
                     clerkName().c_str());
}

bool Till::logOn(int64_t clerk, const std::string& password) {
    if (clerk < 1 || clerk > 99) return false;
    const std::string typed = password.substr(0, 9);
    {
        auto lock = m_store.lock();
        if (fieldText(m_store.config().record().clerk_passwords[clerk]) != typed) return false;
        m_store.config().record().current_clerk = clerk;
    }
    m_clerk = clerk;
    m_accessLevel = clerk <= 2 ? 0 : 2;
    clearBasket();
    const LocalTime now = m_store.clock().now();
    const std::string ts = timestampText(now);
    const std::string text =
        formatted("\r\n%s  Log on.\r\n", logTimeText(ts).c_str()) +
        formatted("Clerk: %lld, %s\r\n", static_cast<long long>(clerk), clerkName().c_str());
    if (!m_store.journal().appendActivity(now, text))
        m_ui.error("Unable to open log file", kTitleProblem);
    return true;
}

// --- Item entry -----------------------------------------------------------

std::string Till::rowText(int line, int stock) const {
    const Basket& b = *m_basket;
    const std::string description = fieldText(b.description[line]);
    if (b.item[line] == 0) return formatted("%s  %.2f", description.c_str(), b.line_total[line]);
    if (m_store.config().record().settings_b[kSetBCartDescriptionOnly] != 0)
        return formatted("%s (%d)  %.2f", description.c_str(), stock, b.line_total[line]);
    return formatted("%lld  %s (%d)  %.2f", static_cast<long long>(b.item[line]),
                     description.c_str(), stock, b.line_total[line]);
}

bool Till::findItem(int64_t number, InventoryRecord* item) {
    Status error;
    auto found = readItem(m_store, number, &error);
    if (!found) {
        if (!error.isOk())
            show(m_store.items().notPresent());
        else
            m_ui.error(formatted("%lld", static_cast<long long>(number)), "Invalid entry");
        return false;
    }
    *item = *found;
    return true;
}

bool Till::addFromEntry(const std::string& entry) {
    const StoreConfigRecord& cfg = m_store.config().record();
    if (cfg.settings_b[kSetBEntryModeSku] == 2) {
        std::string text = entry;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        text = upperCase(text);
        auto item = findItemBySku1(m_store, text);
        if (!item) {
            m_ui.error(text, "Invalid entry");
            return false;
        }
        return addItem(item->number);
    }
    char* end = nullptr;
    long long number = std::strtoll(entry.c_str(), &end, 10);
    if (number < 0) {
        m_ui.error(entry, "Invalid entry");
        return false;
    }
    return addItem(number);
}

double Till::computeTax1(double price, const InventoryRecord*, int taxCode, bool noRounding,
                         bool applyThreshold) const {
    const StoreConfigRecord& cfg = m_store.config().record();
    const int64_t rate = cfg.options[kOptTax1Rate];
    if (cfg.options[kOptTax1InUse] == 0 || rate <= 0 || taxCode == 3 || taxCode == 0) return 0;
    const bool threshold = applyThreshold && cfg.settings_b[kSetBTax1Threshold] == 2;
    const double limit = cfg.money[kMoneyTax1Threshold];
    const double sofar = m_basket->total_taxable;
    double t1 = static_cast<double>(rate) * price / 10000;
    // The line that takes the taxable subtotal over the threshold carries
    // the tax on everything taxable so far.
    if (threshold && sofar < limit && sofar + price > limit)
        t1 = static_cast<double>(rate) * (sofar + price) / 10000;
    t1 = roundTax(t1, noRounding);
    if (threshold && !(sofar + price > limit)) t1 = 0;
    return t1;
}

double Till::computeTax2(double price, double tax1, int taxCode, bool noRounding) const {
    const StoreConfigRecord& cfg = m_store.config().record();
    const int64_t rate = cfg.options[kOptTax2Rate];
    if (cfg.options[kOptTax2InUse] == 0 || rate <= 0 || taxCode == 2 || taxCode == 0) return 0;
    const double base = cfg.options[kOptTax2OnTax1] == 0 ? price : price + tax1;
    return roundTax(static_cast<double>(rate) * base / 10000, noRounding);
}

bool Till::addItem(int64_t number, AddMode mode) {
    InventoryRecord item;
    if (!findItem(number, &item)) return false;
    Basket& b = *m_basket;

    if (item.kind == kItemKindBundle) return addBundle(item, mode);

    if (b.line_count >= kMaxBasketLines) {
        m_ui.error("Transaction limit 400 items", kTitleProblem);
        return false;
    }
    const StoreConfigRecord& cfg = m_store.config().record();
    int held = 0;
    for (int i = 0; i < b.line_count; ++i) held += b.item[i] == item.number;
    if (cfg.options[kOptPermitInsufficientStock] == 0 &&
        (item.quantity < 1 || held + 1 > item.quantity)) {
        m_ui.error("Item out of stock", kTitleProblem);
        return false;
    }

    double price = item.retail_price;
    if (cfg.options[kOptTradePrices] == 2) {
        if (cfg.settings_b[kSetBTradeDiscount] == 0) {
            if (!(item.trade_price > 0)) {
                m_ui.error("Trade price option active, no trade price", kTitleProblem);
                return false;
            }
            price = item.trade_price;
        } else if (cfg.discounts[0] != 0) {
            price = roundMoney(price - price * cfg.discounts[0] / 100);
        }
    }
    if (mode == AddMode::kFree) price = 0;
    if (item.offer == 2 && held % 2 == 1) price = 0;
    if (item.offer == 4 && held % 3 == 2) price = 0;

    const int i = b.line_count;
    b.item[i] = item.number;
    std::memset(b.description[i], 0, sizeof b.description[i]);
    setFieldText(b.description[i], fieldText(item.description));
    b.line_total[i] = price;
    b.discount[i] = 0;
    b.cost[i] = item.cost_price;
    if (price != 0) {
        if (item.tax == 0) {
            b.non_taxable[i] = price;
            b.total_non_taxable = roundMoney(b.total_non_taxable + price);
            b.total = roundMoney(b.total + price);
        } else {
            const bool noRounding = item.no_tax_rounding != 0;
            const double t1 = computeTax1(price, &item, item.tax, noRounding, true);
            b.total_tax1 = roundMoney(b.total_tax1 + t1);
            b.tax1[i] = t1;
            b.taxable[i] = price;
            b.total_taxable = roundMoney(b.total_taxable + price);
            const double t2 = computeTax2(price, t1, item.tax, noRounding);
            b.total_tax2 = roundMoney(b.total_tax2 + t2);
            b.tax2[i] = t2;
            b.total = roundMoney(b.total + price + t1 + t2);
            b.line_total[i] = price + t1 + t2;
        }
    }
    b.total_cost += item.cost_price;
    b.subtotal = roundMoney(b.subtotal + price);

    b.line_count += 1;
    m_rows.push_back(rowText(i, item.quantity));
    m_selected = static_cast<int>(m_rows.size()) - 1;
    if (!m_repeatRun) play(SoundId::kAdded);

    if (!m_repeatRun && item.age_limit > 1)
        m_ui.message(formatted("%d", item.age_limit), "Age alert", Ui::Icon::kWarning,
                     Ui::Buttons::kOk);
    if (cfg.settings_b[kSetBReorderAlerts] == 2 && held == 0 && item.reorder_quantity > 0 &&
        item.quantity <= item.reorder_quantity)
        m_ui.inform("Item stock level", "Reorder alert");
    if (!m_repeatRun && cfg.settings_b[kSetBPoleInUse] == 2) m_devices.poleShowItem(b);
    return true;
}

// A bundle sells as its components, free ones at 0. It goes in whole or not
// at all: a component that cannot be added takes the earlier ones out
// again. A bundle never holds a bundle; one that does (an import could
// bring it in) is refused rather than expanded without end.
bool Till::addBundle(const InventoryRecord& bundle, AddMode mode) {
    if (m_inBundle) {
        m_ui.error("Bundle may not contain a bundle", kTitleProblem);
        return false;
    }
    const char* slots[6] = {bundle.format,
                            bundle.bundle_component2,
                            bundle.bundle_component3,
                            bundle.bundle_component4,
                            bundle.bundle_component5,
                            bundle.bundle_component6};
    const Basket before = *m_basket;
    const std::vector<std::string> rowsBefore = m_rows;
    const int selectedBefore = m_selected;
    m_inBundle = true;
    bool ok = true, any = false;
    for (int n = 0; n < 6 && ok; ++n) {
        std::string text(slots[n], strnlen(slots[n], 20));
        if (text.empty()) continue;
        const int64_t component = std::strtoll(text.c_str(), nullptr, 10);
        const int quantity = bundle.bundle_quantity[n] > 0 ? bundle.bundle_quantity[n] : 1;
        const AddMode m = bundle.bundle_free[n] == 2 ? AddMode::kFree : mode;
        for (int q = 0; q < quantity && ok; ++q) {
            ok = addItem(component, m);
            any = any || ok;
        }
    }
    m_inBundle = false;
    if (!ok) {
        *m_basket = before;
        m_rows = rowsBefore;
        m_selected = selectedBefore;
    }
    return ok && any;
}

void Till::voidLine() {
    Basket& b = *m_basket;
    if (m_rows.empty() || b.line_count <= 0) {
        m_ui.error("No items", kTitleProblem);
        return;
    }
    const bool wasOnly = m_rows.size() == 1;
    int line = m_selected >= 0 && m_selected < b.line_count ? m_selected : b.line_count - 1;
    b.total_tax1 = roundMoney(b.total_tax1 - b.tax1[line]);
    b.total_tax2 = roundMoney(b.total_tax2 - b.tax2[line]);
    if (b.non_taxable[line] > 0) {
        b.total_non_taxable = roundMoney(b.total_non_taxable - b.non_taxable[line]);
        b.subtotal = roundMoney(b.subtotal - b.non_taxable[line]);
    }
    if (b.taxable[line] > 0) {
        b.total_taxable = roundMoney(b.total_taxable - b.taxable[line]);
        b.subtotal = roundMoney(b.subtotal - b.taxable[line]);
    }
    b.total = roundMoney(b.total - b.line_total[line]);
    b.total_cost -= b.cost[line];
    b.total_discount -= b.discount[line];

    const int last = b.line_count - 1;
    for (int i = line; i < last; ++i) {
        b.item[i] = b.item[i + 1];
        std::memcpy(b.description[i], b.description[i + 1], sizeof b.description[i]);
        b.non_taxable[i] = b.non_taxable[i + 1];
        b.taxable[i] = b.taxable[i + 1];
        b.tax1[i] = b.tax1[i + 1];
        b.tax2[i] = b.tax2[i + 1];
        b.cost[i] = b.cost[i + 1];
        b.discount[i] = b.discount[i + 1];
        b.line_total[i] = b.line_total[i + 1];
    }
    b.item[last] = 0;
    std::memset(b.description[last], 0, sizeof b.description[last]);
    b.non_taxable[last] = b.taxable[last] = b.tax1[last] = b.tax2[last] = 0;
    b.cost[last] = b.discount[last] = b.line_total[last] = 0;
    m_rows.erase(m_rows.begin() + line);
    b.line_count -= 1;
    if (b.line_count == 0) zeroBasket();
    m_selected = static_cast<int>(m_rows.size()) - 1;
    if (wasOnly && m_store.config().record().settings_b[kSetBPoleInUse] == 2)
        m_devices.poleShowPassiveText();
    play(SoundId::kVoided);
}

void Till::repeatLast(const std::string& entryText) {
    Basket& b = *m_basket;
    if (m_rows.empty() || b.line_count <= 0) {
        m_ui.error("No items", kTitleProblem);
        return;
    }
    const int64_t item = b.item[b.line_count - 1];
    if (item == 0) {
        m_ui.error("Non inventory item", kTitleProblem);
        return;
    }
    long n = std::strtol(entryText.c_str(), nullptr, 10);
    if (n == 0) n = 1;
    if (n < 0 || kMaxBasketLines - b.line_count < n) {
        m_ui.error("Transaction limit 400 items", kTitleProblem);
        return;
    }
    m_repeatRun = true;
    for (long k = 0; k < n; ++k)
        if (!addItem(item, AddMode::kRepeat)) break;
    m_repeatRun = false;
}

void Till::clearBasket() {
    if (m_rows.empty() && m_basket->line_count == 0) return;
    m_rows.clear();
    m_selected = -1;
    zeroBasket();
    if (m_store.config().record().settings_b[kSetBPoleInUse] == 2) m_devices.poleShowPassiveText();
    play(SoundId::kVoided);
}

void Till::changeBasket() {
    auto chosen = m_panels.selectBasket();
    if (!chosen) return;
    changeBasketTo(*chosen);
}

void Till::changeBasketTo(int number) {
    if (number < 1 || number > kBasketTableSize) {
        m_ui.error("Basket not valid", kTitleProblem);
        return;
    }
    if (number == m_currentBasket) return;
    m_table[static_cast<std::size_t>(m_currentBasket - 1)] = *m_basket;
    clearBasket();
    *m_basket = m_table[static_cast<std::size_t>(number - 1)];
    m_currentBasket = number;
    Basket& b = *m_basket;
    if (b.line_count < 0 || b.line_count > kMaxBasketLines) b.line_count = 0;
    const bool descriptionOnly =
        m_store.config().record().settings_b[kSetBCartDescriptionOnly] != 0;
    for (int i = 0; i < b.line_count; ++i) {
        const std::string d = fieldText(b.description[i]);
        if (b.item[i] == 0 || descriptionOnly)
            m_rows.push_back(formatted("%s  %.2f", d.c_str(), b.line_total[i]));
        else
            m_rows.push_back(formatted("%lld  %s  %.2f", static_cast<long long>(b.item[i]),
                                       d.c_str(), b.line_total[i]));
    }
    m_selected = static_cast<int>(m_rows.size()) - 1;
}

bool Till::addNonInventory(const NonInventoryLine& line) {
    Basket& b = *m_basket;
    if (b.line_count >= kMaxBasketLines) {
        m_ui.error("Transaction limit 400 items", kTitleProblem);
        return false;
    }
    const int i = b.line_count;
    b.item[i] = 0;
    std::memset(b.description[i], 0, sizeof b.description[i]);
    setFieldText(b.description[i], line.description);
    const double price = roundMoney(line.price);
    b.cost[i] = line.cost;
    b.line_total[i] = price;
    if (!line.taxable) {
        b.non_taxable[i] = price;
        b.total_non_taxable = roundMoney(b.total_non_taxable + price);
        b.total = roundMoney(b.total + price);
    } else {
        // Tax code 1 both taxes, 2 tax 1 only, 3 tax 2 only.
        const int code = line.tax1 && line.tax2 ? 1 : line.tax1 ? 2 : line.tax2 ? 3 : 0;
        const double t1 = code == 0 ? 0 : computeTax1(price, nullptr, code, false, true);
        const double t2 = code == 0 ? 0 : computeTax2(price, t1, code, false);
        b.taxable[i] = price;
        b.tax1[i] = t1;
        b.tax2[i] = t2;
        b.total_taxable = roundMoney(b.total_taxable + price);
        b.total_tax1 = roundMoney(b.total_tax1 + t1);
        b.total_tax2 = roundMoney(b.total_tax2 + t2);
        b.total = roundMoney(b.total + price + t1 + t2);
        b.line_total[i] = price + t1 + t2;
    }
    b.total_cost += line.cost;
    b.subtotal = roundMoney(b.subtotal + price);
    b.line_count += 1;
    m_rows.push_back(rowText(i, 0));
    m_selected = static_cast<int>(m_rows.size()) - 1;
    play(SoundId::kAdded);
    if (m_store.config().record().settings_b[kSetBPoleInUse] == 2) m_devices.poleShowItem(b);
    return true;
}

void Till::addNote() {
    auto text = m_ui.prompt("Add transaction note");
    if (!text) return;
    if (text->size() >= 80) return;  // a longer note is dropped without a word
    std::memset(m_basket->note, 0, sizeof m_basket->note);
    setFieldText(m_basket->note, *text);
    m_ui.inform("Added", "Transaction note");
}

std::optional<CustomerRecord> Till::pickCustomer(const std::string& entry) {
    if (m_customerLookUp) return m_customerLookUp(entry);
    char* end = nullptr;
    long long number = std::strtoll(entry.c_str(), &end, 10);
    if (!entry.empty() && end && *end == '\0' && number >= 1) {
        Status error;
        auto c = readCustomer(m_store, number, &error);
        if (!c) show(error.isOk() ? Status::finished("No match found") : error);
        return c;
    }
    std::string pattern = upperCase(entry);
    if (pattern.empty()) return std::nullopt;
    if (pattern.size() == 1) pattern += '?';
    std::vector<int64_t> numbers;
    std::vector<std::string> lines;
    {
        auto lock = m_store.lock();
        for (const IndexEntry& e : m_store.customers().index().entries()) {
            if (e.number < 0) continue;
            CustomerRecord c;
            if (!m_store.customers().read(e.slot, &c)) continue;
            if (!patternMatches(pattern, fieldText(c.name))) continue;
            numbers.push_back(c.number);
            lines.push_back(formatted("%lld %s,  %s", static_cast<long long>(c.number),
                                      fieldText(c.name).c_str(), fieldText(c.road).c_str()));
        }
    }
    if (numbers.empty()) {
        m_ui.inform("No match found", kTitleFinished);
        return std::nullopt;
    }
    auto pick = m_ui.pickFromList("Please select", lines);
    if (!pick) return std::nullopt;
    return readCustomer(m_store, numbers[static_cast<std::size_t>(*pick)]);
}

void attachCustomer(Basket& b, const CustomerRecord& c) {
    b.customer = c.number;
    std::memset(b.customer_name, 0, sizeof b.customer_name);
    setFieldText(b.customer_name, fieldText(c.name));
    setFieldText(b.customer_road, fieldText(c.road));
    setFieldText(b.customer_area, fieldText(c.area));
    setFieldText(b.customer_town, fieldText(c.town));
    setFieldText(b.customer_postcode, fieldText(c.postcode));
    setFieldText(b.customer_telephone, fieldText(c.telephone));
}

void Till::associateCustomer() {
    auto entry = m_panels.customerEntry();
    if (!entry) return;
    auto c = pickCustomer(*entry);
    if (!c) return;
    attachCustomer(*m_basket, *c);
    m_ui.inform(fieldText(c->name), "Customer associated");
}

void Till::toggleTradePrices() {
    auto lock = m_store.lock();
    int64_t& v = m_store.config().record().options[kOptTradePrices];
    v = v == 2 ? 0 : 2;
}

// --- Quick select ---------------------------------------------------------

void Till::setVisibleButtons(int count) {
    m_visibleButtons = count < 1 ? 1 : count > kQuickSelectButtons ? kQuickSelectButtons : count;
}

int Till::category() const {
    return m_store.config().record().settings_b[kSetBQuickSelectCategory];
}

std::string Till::categoryLabel() const {
    int c = category();
    return c >= 0 && c < kDisplayCategories ? m_store.config().categoryCode(c) : "ALL";
}

// Fills the visible buttons with the matching items from index position
// `start`, walking forwards, or backwards (nearest last) from just before it.
void Till::collectQuickSelect(std::size_t start, bool forward) {
    const int c = category();
    std::vector<QuickSelectEntry> found;
    {
        auto lock = m_store.lock();
        const auto& entries = m_store.items().index().entries();
        auto take = [&](const IndexEntry& e) {
            if (e.number < 0) return;
            InventoryRecord item;
            if (!m_store.items().read(e.slot, &item)) return;
            if ((c != kAllCategories && item.display_category != c) ||
                item.omit_from_quick_select == 2)
                return;
            QuickSelectEntry q;
            q.number = item.number;
            q.description = fieldText(item.description);
            q.picture = item.own_picture == 1
                            ? formatted("m%lld.bmp", static_cast<long long>(item.number))
                            : formatted("STOCK%d.bmp", item.picture_number);
            found.push_back(std::move(q));
        };
        const std::size_t want = static_cast<std::size_t>(m_visibleButtons);
        if (forward) {
            for (std::size_t p = start; p < entries.size() && found.size() < want; ++p)
                take(entries[p]);
        } else {
            for (std::size_t p = start; p > 0 && found.size() < want; --p) take(entries[p - 1]);
            std::reverse(found.begin(), found.end());
        }
    }
    if (found.empty() && m_quick[0].number != 0) return;  // nothing further: the page stays
    for (auto& q : m_quick) q = QuickSelectEntry{};
    for (std::size_t i = 0; i < found.size(); ++i) m_quick[i] = std::move(found[i]);
}

void Till::fillQuickSelect() {
    collectQuickSelect(0, true);
}

void Till::quickSelectForward() {
    int last = -1;
    for (int i = 0; i < m_visibleButtons; ++i)
        if (m_quick[static_cast<std::size_t>(i)].number != 0) last = i;
    if (last < 0) return;
    const auto& idx = m_store.items().index();
    int64_t number = m_quick[static_cast<std::size_t>(last)].number;
    collectQuickSelect(idx.lowerBound(number + 1), true);
}

void Till::quickSelectBack() {
    if (m_quick[0].number == 0) return;
    collectQuickSelect(m_store.items().index().lowerBound(m_quick[0].number), false);
}

void Till::selectCategory(int c) {
    if (c < 0 || c > kAllCategories) return;
    m_store.config().record().settings_b[kSetBQuickSelectCategory] = c;
    for (auto& q : m_quick) q = QuickSelectEntry{};
    fillQuickSelect();
}

void Till::categoryLeft() {
    int c = category() - 1;
    selectCategory(c < 0 ? kAllCategories : c);
}

void Till::categoryRight() {
    int c = category() + 1;
    selectCategory(c > kAllCategories ? 0 : c);
}

void Till::pressQuickSelect(int button) {
    if (button < 0 || button >= kQuickSelectButtons || m_tenderState != 0) return;
    int64_t number = m_quick[static_cast<std::size_t>(button)].number;
    if (number != 0) addItem(number);
}

TotalsPanel Till::totalsPanel() const {
    const Basket& b = *m_basket;
    const StoreConfigRecord& cfg = m_store.config().record();
    TotalsPanel p;
    p.lines = b.line_count;
    p.trade = cfg.options[kOptTradePrices] == 2;
    p.skuMode = cfg.settings_b[kSetBEntryModeSku] == 2;
    p.transaction = formatted("Transaction: %d", cfg.next_transaction);
    p.showTotals = b.line_count > 0;
    if (p.showTotals) {
        p.taxable = moneyText(b.total_taxable);
        p.nonTaxable = moneyText(b.total_non_taxable);
        p.subtotal = moneyText(b.subtotal);
        p.tax1 = moneyText(b.total_tax1);
        p.tax2 = moneyText(b.total_tax2);
        if (b.total_discount != 0) p.discount = formatted("(%.2f)", b.total_discount);
        p.total = moneyText(b.total);
        const double rate = cfg.money[kMoneySecondCurrencyRate];
        if (cfg.settings_b[kSetBSecondCurrency] == 2 && rate > 0)
            p.secondCurrency =
                formatted("%s%.2f", fieldText(cfg.second_currency_symbol).c_str(), b.total * rate);
    }
    return p;
}

void Till::refreshLastRow(int stock) {
    Basket& b = *m_basket;
    if (b.line_count <= 0 || m_rows.empty()) return;
    m_rows.back() = rowText(b.line_count - 1, stock);
    m_selected = static_cast<int>(m_rows.size()) - 1;
}

// --- Completing a sale ----------------------------------------------------

void Till::closePanels() {
    m_closedCash = std::move(m_cash);
    m_closedSplit = std::move(m_split);
    m_closedDiscount = std::move(m_discount);
    m_closedPrice = std::move(m_price);
    m_tenderState = 0;
}

void Till::stampHeader() {
    const LocalTime now = m_store.clock().now();
    Basket& b = *m_basket;
    {
        // Client postings move the number on from the station server's threads.
        auto lock = m_store.lock();
        b.number = m_store.config().nextTransaction();
    }
    std::memset(b.time, 0, sizeof b.time);
    setFieldText(b.time, formatted("%02d:%02d", now.hour, now.minute));
    std::memset(b.date, 0, sizeof b.date);
    setFieldText(b.date, localeDateText(now));
    b.clerk = static_cast<int32_t>(m_clerk);
}

bool Till::completeSale(double tendered, double change) {
    m_tendered = tendered;
    m_change = change;
    // The sale is journalled before the drawer opens or a receipt says it
    // is done; the after-sale sequence works on the posted image.
    Basket posted = *m_basket;
    if (!postLocalSale()) return false;
    posted.number = m_lastPosted;
    if (m_salePosted) m_salePosted();
    m_devices.printAfterSale(posted, tendered, change);
    play(SoundId::kAdded);
    return true;
}

bool Till::postLocalSale() {
    Basket& b = *m_basket;
    if (b.line_count <= 0) return false;
    auto discard = [this](const Status& s) {
        m_rows.clear();
        m_selected = -1;
        zeroBasket();
        show(s);
        return false;
    };
    if (m_rows.empty()) return discard(Status::invalid("No items"));
    if (b.line_count > kMaxBasketLines)
        return discard(Status::invalid("Transaction limit 400 items"));
    // A folder that cannot be made shows up as the failure of the append that needs it.
    static_cast<void>(m_store.journal().ensureMonthFolders(m_store.clock().now()));

    Status refused;
    {
        auto lock = m_store.lock();
        const bool permitted = m_store.config().record().options[kOptPermitInsufficientStock] != 0;
        if (!fileExists(m_store.items().path())) {
            refused = Status::invalid("Insufficient items");
        } else {
            for (int i = 0; i < b.line_count && refused.isOk(); ++i) {
                if (b.item[i] == 0) continue;
                auto slot = m_store.items().find(b.item[i]);
                InventoryRecord item;
                if (!slot) {
                    refused = Status::invalid("Unknown item");
                } else if (!m_store.items().read(*slot, &item)) {
                    refused = Status::invalid("Insufficient items");
                } else if (!permitted && item.quantity < 1) {
                    refused = Status::invalid("Insufficient items");
                }
            }
        }
    }
    if (!refused.isOk()) return discard(refused);

    m_rows.clear();
    m_selected = -1;
    SaleWriteOptions opt;
    opt.clerkName = clerkName();
    SalePostOutcome outcome = writeSale(m_store, b, opt);
    // The records are written either way; a failed flush is reported, and
    // the basket is not offered again, which would journal it twice.
    if (!m_store.flushBatch().waitDurable(outcome.ticket)) {
        outcome.messages.push_back(
            Status::ioError("Unable to write the sale to disk", kTitleFatal));
    }
    m_lastPosted = outcome.number;
    for (const Status& s : outcome.messages) show(s);
    if (outcome.posted) zeroBasket();
    return outcome.posted;
}

}  // namespace kassio
