#include "till/till.h"

#include <algorithm>
#include <charconv>
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
#include "till/local_till_data.h"
#include "till/tender.h"

namespace kassio {

namespace {

bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

EntryQuantity splitEntryQuantity(const std::string& raw) {
    const std::string entry = withoutLineEnd(raw);
    const std::size_t star = entry.find('*');
    if (star == std::string::npos || star == 0 || !allDigits(entry.substr(0, star)))
        return {1, entry};
    int quantity = 0;
    const char* first = entry.data();
    auto [end, ec] = std::from_chars(first, first + star, quantity);
    if (ec != std::errc() || quantity < 1 || quantity > kMaxEntryQuantity) quantity = 0;
    return {quantity, entry.substr(star + 1)};
}

Till::Till(DataStore& store, Ui& ui, TillPanels& panels, Sound& sound, TillDevices& devices)
    : Till(store, std::make_unique<LocalTillData>(store), nullptr, ui, panels, sound, devices) {}

Till::Till(DataStore& store, TillData& data, Ui& ui, TillPanels& panels, Sound& sound,
           TillDevices& devices)
    : Till(store, nullptr, &data, ui, panels, sound, devices) {}

Till::Till(DataStore& store, std::unique_ptr<TillData> own, TillData* data, Ui& ui,
           TillPanels& panels, Sound& sound, TillDevices& devices)
    : m_store(store),
      m_ownData(std::move(own)),
      m_data(data ? *data : *m_ownData),
      m_ui(ui),
      m_panels(panels),
      m_sound(sound),
      m_devices(devices),
      m_quick(store, m_data),
      m_clerks(store) {}

Till::~Till() = default;

bool Till::soundsOn() const {
    return m_store.config().record().settings_b[kSetBSoundEffectsOff] == 0;
}

bool Till::descriptionOnlyRows() const {
    return m_store.config().record().settings_b[kSetBCartDescriptionOnly] != 0;
}

void Till::play(SoundId id) {
    if (soundsOn()) m_sound.play(id);
}

void Till::show(const Status& s) {
    if (!s.isOk()) m_ui.error(s.message(), s.title());
}

// --- Clerks ---------------------------------------------------------------

Status Till::logOn(int64_t clerk, const std::string& password) {
    if (Status s = m_clerks.logOn(clerk, password); !s) return s;
    clearBasket();
    const LocalTime now = m_store.clock().now();
    show(m_data.logActivity(now, m_clerks.logOnLines(now)));
    return Status::ok();
}

// --- Item entry -----------------------------------------------------------

bool Till::findItem(int64_t number, InventoryRecord* item) {
    Status error;
    auto found = m_data.item(number, &error);
    if (!found) {
        if (!error.isOk())
            show(error);
        else
            m_ui.error(formatted("%lld", static_cast<long long>(number)), "Invalid entry");
        return false;
    }
    *item = *found;
    return true;
}

int64_t Till::resolveEntry(const std::string& key) {
    const std::string upper = upperCase(key);
    const bool skuMode = skuEntryMode(m_store.config().record());
    auto byNumber = [&]() -> int64_t {
        if (!allDigits(key)) return 0;
        int64_t number = 0;
        auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), number);
        if (ec != std::errc() || number < 1) return 0;
        return m_data.item(number) ? number : 0;
    };
    auto bySku = [&]() -> int64_t {
        if (upper.empty()) return 0;
        auto item = m_data.itemBySku1(upper);
        return item ? item->number : 0;
    };
    int64_t number = skuMode ? bySku() : byNumber();
    if (number == 0) number = skuMode ? byNumber() : bySku();
    if (number != 0) return number;
    if (Status reach = m_data.itemsReachable(); !reach)
        show(reach);
    else
        m_ui.error("No item or SKU " + key, "Invalid entry");
    return 0;
}

bool Till::addFromEntry(const std::string& entry) {
    const EntryQuantity q = splitEntryQuantity(entry);
    if (q.quantity == 0) {
        m_ui.error(formatted("Quantity 1 to %d, then * and the item", kMaxEntryQuantity),
                   "Invalid entry");
        return false;
    }
    const int64_t number = resolveEntry(q.key);
    if (number == 0) return false;
    return addUnits(number, q.quantity);
}

// The first unit as an ordinary add (sound, alerts, pole); the others as a
// repeat run, as Repeat adds them.
bool Till::addUnits(int64_t number, int quantity) {
    if (quantity > 1 && kMaxBasketLines - basket().line_count < quantity) {
        m_ui.error("Transaction limit 400 items", kTitleProblem);
        return false;
    }
    if (!addItem(number)) return false;
    m_repeatRun = true;
    for (int k = 1; k < quantity; ++k)
        if (!addItem(number, AddMode::kRepeat)) break;
    m_repeatRun = false;
    return true;
}

bool Till::addItem(int64_t number, AddMode mode) {
    InventoryRecord item;
    if (!findItem(number, &item)) return false;
    Basket& b = basket();

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

    NewLine line;
    line.item = item.number;
    line.description = fieldText(item.description);
    line.price = price;
    line.taxable = item.tax != 0;
    line.taxCode = item.tax;
    line.noTaxRounding = item.no_tax_rounding != 0;
    line.cost = item.cost_price;
    m_current.append(taxRules(), line, item.quantity, descriptionOnlyRows());
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
    const CurrentBasket::Snapshot before = m_current.snapshot();
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
    if (!ok) m_current.restore(before);
    return ok && any;
}

void Till::voidLine() {
    if (m_current.rows().empty() || basket().line_count <= 0) {
        m_ui.error("No items", kTitleProblem);
        return;
    }
    const bool wasOnly = m_current.rows().size() == 1;
    m_current.remove(m_current.selectedOrLast());
    if (wasOnly && m_store.config().record().settings_b[kSetBPoleInUse] == 2)
        m_devices.poleShowPassiveText();
    play(SoundId::kVoided);
}

void Till::repeatLast(const std::string& entryText) {
    const Basket& b = basket();
    if (m_current.rows().empty() || b.line_count <= 0) {
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
    if (m_current.empty()) return;
    m_current.clear();
    if (m_store.config().record().settings_b[kSetBPoleInUse] == 2) m_devices.poleShowPassiveText();
    play(SoundId::kVoided);
}

std::optional<int> Till::parkBasket() {
    if (m_current.empty() || basket().line_count <= 0) return std::nullopt;
    auto slot = m_table.freeSlot();
    if (!slot) return std::nullopt;
    m_table.park(*slot, basket());
    m_current.clear();
    if (m_store.config().record().settings_b[kSetBPoleInUse] == 2) m_devices.poleShowPassiveText();
    return slot;
}

void Till::changeBasket() {
    auto chosen = m_panels.selectBasket();
    if (!chosen) return;
    changeBasketTo(*chosen);
}

void Till::changeBasketTo(int number) {
    if (!BasketTable::valid(number)) {
        m_ui.error("Basket not valid", kTitleProblem);
        return;
    }
    if (number == m_table.current()) return;
    const Basket kept = m_table.swap(basket(), number);
    clearBasket();
    m_current.load(kept, descriptionOnlyRows());
}

bool Till::addNonInventory(const NonInventoryLine& in) {
    if (m_current.full()) {
        m_ui.error("Transaction limit 400 items", kTitleProblem);
        return false;
    }
    NewLine line;
    line.description = in.description;
    line.price = roundMoney(in.price);
    line.taxable = in.taxable;
    // Tax code 1 both taxes, 2 tax 1 only, 3 tax 2 only.
    line.taxCode = in.tax1 && in.tax2 ? 1 : in.tax1 ? 2 : in.tax2 ? 3 : 0;
    line.cost = in.cost;
    m_current.append(taxRules(), line, 0, descriptionOnlyRows());
    play(SoundId::kAdded);
    if (m_store.config().record().settings_b[kSetBPoleInUse] == 2) m_devices.poleShowItem(basket());
    return true;
}

void Till::addNote() {
    auto text = m_ui.prompt("Add transaction note");
    if (!text) return;
    if (text->size() >= 80) return;  // a longer note is dropped without a word
    std::memset(basket().note, 0, sizeof basket().note);
    setFieldText(basket().note, *text);
    m_ui.inform("Added", "Transaction note");
}

std::optional<CustomerRecord> pickCustomerFrom(TillData& data, Ui& ui, const std::string& entry) {
    char* end = nullptr;
    long long number = std::strtoll(entry.c_str(), &end, 10);
    if (!entry.empty() && end && *end == '\0' && number >= 1) {
        Status error;
        auto c = data.customer(number, &error);
        if (!c) {
            const Status why = error.isOk() ? Status::finished("No match found") : error;
            ui.error(why.message(), why.title());
        }
        return c;
    }
    std::string pattern = upperCase(entry);
    if (pattern.empty()) return std::nullopt;
    if (pattern.size() == 1) pattern += '?';
    std::vector<int64_t> numbers;
    std::vector<std::string> lines;
    for (const CustomerRecord& c : data.customersNamed(pattern)) {
        numbers.push_back(c.number);
        lines.push_back(formatted("%lld %s,  %s", static_cast<long long>(c.number),
                                  fieldText(c.name).c_str(), fieldText(c.road).c_str()));
    }
    if (numbers.empty()) {
        ui.inform("No match found", kTitleFinished);
        return std::nullopt;
    }
    auto pick = ui.pickFromList("Please select", lines);
    if (!pick) return std::nullopt;
    return data.customer(numbers[static_cast<std::size_t>(*pick)]);
}

std::optional<CustomerRecord> Till::pickCustomer(const std::string& entry) {
    if (m_customerLookUp) return m_customerLookUp(entry);
    return pickCustomerFrom(m_data, m_ui, entry);
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
    attachCustomer(basket(), *c);
    m_ui.inform(fieldText(c->name), "Customer associated");
}

void Till::toggleTradePrices() {
    auto lock = m_store.lock();
    int64_t& v = m_store.config().record().options[kOptTradePrices];
    v = v == 2 ? 0 : 2;
}

void Till::pressQuickSelect(int button) {
    if (tenderState() != TenderState::kNone) return;
    if (int64_t number = m_quick.itemAt(button); number != 0) addItem(number);
}

TotalsPanel Till::totalsPanel() const {
    return totalsPanelOf(basket(), m_store.config().record(), m_data.nextTransaction());
}

// --- The open panel -------------------------------------------------------

std::shared_ptr<TillPanel> Till::openPanel() {
    m_tender.settle();
    if (auto due = m_tender.takeSplitCash())
        m_tender.open(std::make_shared<CashPanel>(*this, *due, true));
    return m_tender.openPanel();
}

CashPanel* Till::openCashPanel() {
    return dynamic_cast<CashPanel*>(openPanel().get());
}

SplitPanel* Till::openSplitPanel() {
    return dynamic_cast<SplitPanel*>(openPanel().get());
}

DiscountPanel* Till::openDiscountPanel() {
    return dynamic_cast<DiscountPanel*>(openPanel().get());
}

PricePanel* Till::openPricePanel() {
    return dynamic_cast<PricePanel*>(openPanel().get());
}

// --- Completing a sale ----------------------------------------------------

void Till::stampHeader() {
    const LocalTime now = m_store.clock().now();
    Basket& b = basket();
    b.number = m_data.nextTransaction();
    std::memset(b.time, 0, sizeof b.time);
    setFieldText(b.time, formatted("%02d:%02d", now.hour, now.minute));
    std::memset(b.date, 0, sizeof b.date);
    setFieldText(b.date, localeDateText(now));
    b.clerk = static_cast<int32_t>(m_clerks.clerk());
}

bool Till::completeSale(double tendered, double change) {
    m_tender.setTendered(tendered, change);
    // The sale is journalled before the drawer opens or a receipt says it
    // is done; the after-sale sequence works on the posted image.
    auto posted = std::make_unique<Basket>(basket());
    if (!postSale()) return false;
    posted->number = m_lastPosted;
    if (m_salePosted) m_salePosted();
    m_devices.printAfterSale(*posted, tendered, change);
    play(SoundId::kAdded);
    return true;
}

bool Till::postSale() {
    Basket& b = basket();
    if (b.line_count <= 0) return false;
    auto discard = [this](const Status& s) {
        m_current.clear();
        show(s);
        return false;
    };
    if (m_current.rows().empty()) return discard(Status::invalid("No items"));
    if (b.line_count > kMaxBasketLines)
        return discard(Status::invalid("Transaction limit 400 items"));
    TillPostOutcome outcome = m_data.postSale(b, m_clerks.name());
    m_lastPosted = outcome.number;
    // A posting that stopped part way has journalled some of it: the basket
    // goes either way, so that a second try cannot journal it twice.
    m_current.clear();
    for (const Status& s : outcome.messages) show(s);
    return outcome.posted;
}

}  // namespace kassio
