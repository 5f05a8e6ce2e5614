#include "inventory/inventory_maintenance.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "inventory/bundles.h"
#include "inventory/item_fields.h"
#include "store/activity_log.h"
#include "store/file_io.h"
#include "store/items.h"

namespace kassio {

namespace {

constexpr const char* kSearchTitle = "Search: No to continue";

std::string matchText(const InventoryRecord& item) {
    return formatted("%lld, %s", static_cast<long long>(item.number),
                     fieldText(item.description).c_str());
}

}  // namespace

Status noMatchFound() {
    return Status::finished("No match found");
}

InventoryMaintenance::InventoryMaintenance(DataStore& store, Ui& ui, ItemForms& forms, Sound& sound,
                                           std::function<int64_t()> clerk)
    : m_store(store), m_ui(ui), m_forms(forms), m_sound(sound), m_clerk(std::move(clerk)) {}

// --- Messages and sounds ---------------------------------------------------

void InventoryMaintenance::show(const Status& status) {
    if (status.isOk()) return;
    if (status.finished())
        m_ui.inform(status.message(), status.title());
    else
        m_ui.error(status.message(), status.title());
}

void InventoryMaintenance::refuse(const Status& status) {
    if (m_store.config().record().settings_b[kSetBSoundEffectsOff] == 0)
        m_sound.play(SoundId::kRefused);
    show(status);
}

void InventoryMaintenance::confirmSound() {
    if (m_store.config().record().settings_b[kSetBSoundEffectsOff] == 0)
        m_sound.play(SoundId::kAdded);
}

// --- Lookups ---------------------------------------------------------------

std::optional<ItemHit> InventoryMaintenance::lookUpByNumber(int64_t number) {
    Status failure;
    std::optional<ItemHit> hit;
    {
        auto lock = m_store.lock();
        if (auto slot = m_store.items().find(number)) {
            ItemHit h;
            h.slot = *slot;
            Status s = m_store.items().read(*slot, &h.item);
            if (s)
                hit = h;
            else if (s.kind() == Status::Kind::kNotFound)
                failure = s;
            else
                failure = Status::ioError("Not able to read inventory.dat", kTitleProblem);
        } else {
            failure = noMatchFound();
        }
    }
    show(failure);
    return hit;
}

std::optional<ItemHit> InventoryMaintenance::resolve(const std::string& text) {
    if (auto number = positiveNumber(text)) return lookUpByNumber(*number);
    return descriptionSearch(text);
}

std::optional<ItemHit> InventoryMaintenance::descriptionSearch(const std::string& typed) {
    auto query = initialsQuery(typed);
    if (!query) return std::nullopt;

    if (m_store.config().record().options[kOptInventorySearchAsList] != 0) {
        if (query->size() > 39) query->resize(39);
        Status error;
        ItemPickList list = initialsPickList(m_store, *query, &error);
        if (!error.isOk()) {
            show(error);
            return std::nullopt;
        }
        if (list.lines.empty()) {
            show(noMatchFound());
            return std::nullopt;
        }
        auto picked = m_ui.pickFromList("Please select", list.lines);
        if (!picked || *picked < 0 || *picked >= static_cast<int>(list.numbers.size()))
            return std::nullopt;
        return lookUpByNumber(list.numbers[static_cast<std::size_t>(*picked)]);
    }

    Status error;
    auto hit = nextByInitials(m_store, *query, 0, &error);
    if (!hit) {
        show(error.isOk() ? noMatchFound() : error);
        return std::nullopt;
    }
    ItemHit current = *hit;
    auto next = [&]() -> std::optional<FindInventoryView> {
        Status e;
        auto n = nextByInitials(m_store, *query, current.slot + 1, &e);
        if (!n) {
            show(e.isOk() ? noMatchFound() : e);
            return std::nullopt;
        }
        current = *n;
        return findView(current.item);
    };
    if (m_forms.findInventory(findView(current.item), next) == FormButton::kOk) return current;
    return std::nullopt;
}

std::optional<ItemHit> InventoryMaintenance::offerMatches(
    const std::function<std::optional<ItemHit>(uint64_t, Status*)>& next,
    const std::function<bool(const InventoryRecord&)>& stillMatches) {
    uint64_t from = 0;
    for (;;) {
        Status error;
        auto hit = next(from, &error);
        if (!hit) {
            show(error.isOk() ? noMatchFound() : error);
            return std::nullopt;
        }
        // The lock is not held while the box waits: a clerk who walks away
        // must not stall the client stations. The slot is read again after
        // a Yes, since it may have changed meanwhile.
        Ui::Answer a = m_ui.message(matchText(hit->item), kSearchTitle, Ui::Icon::kQuestion,
                                    Ui::Buttons::kYesNoCancel);
        if (a == Ui::Answer::kCancel) return std::nullopt;
        if (a == Ui::Answer::kYes) {
            if (auto fresh = recheckHit(m_store, *hit, stillMatches)) return fresh;
        }
        from = hit->slot + 1;
    }
}

std::optional<ItemHit> InventoryMaintenance::fragmentSearch(FragmentField field,
                                                            const std::string& typed) {
    const std::string query = upperCase(typed);
    if (query.empty()) return std::nullopt;
    return offerMatches(
        [&](uint64_t from, Status* e) { return nextByFragment(m_store, field, query, from, e); },
        [&](const InventoryRecord& item) {
            const std::string text = field == FragmentField::kDescription
                                         ? fieldText(item.description)
                                         : fieldText(item.sku1);
            return text.find(query) != std::string::npos;
        });
}

std::optional<ItemHit> InventoryMaintenance::advancedSearch(const AdvancedQuery& raw) {
    const AdvancedQuery query = upperCased(raw);
    return offerMatches(
        [&](uint64_t from, Status* e) { return nextAdvanced(m_store, query, from, e); },
        [&](const InventoryRecord& item) { return advancedMatches(query, item); });
}

std::optional<InventoryRecord> InventoryMaintenance::shown(const std::optional<ItemHit>& hit,
                                                           bool showResult) {
    if (!hit) return std::nullopt;
    if (showResult) showItem(hit->item);
    return hit->item;
}

bool InventoryMaintenance::copyIntoFolder(const std::string& from, const std::string& name) {
    auto data = readWholeFile(from);
    return data && m_store.files().replace(name, data->data(), data->size()).isOk();
}

// --- Write current item ----------------------------------------------------

Status InventoryMaintenance::updateItem(int64_t number,
                                        const std::function<void(InventoryRecord&)>& change,
                                        InventoryRecord* written) {
    if (number < 1) return Status::invalid("Invalid number.");
    auto lock = m_store.lock();
    auto slot = m_store.items().find(number);
    if (!slot) return Status::invalid("Invalid number.");
    InventoryRecord item;
    Status s = m_store.items().read(*slot, &item);
    if (s.kind() == Status::Kind::kNotFound)
        return Status::invalid("Data file: inventory.dat, not present.", kTitleProblem);
    if (!s) return Status::ioError(m_store.items().path(), kTitleProblem);
    change(item);
    item.number = number;  // the slot's number never changes here
    s = m_store.items().write(*slot, &item);
    if (s.kind() == Status::Kind::kNotFound)
        return Status::invalid("Data file: inventory.dat, not present.", kTitleProblem);
    if (!s) return Status::ioError(m_store.items().path(), kTitleProblem);
    if (written) *written = item;
    return Status::ok();
}

// --- New line ---------------------------------------------------------------

void InventoryMaintenance::newLine() {
    const bool offer = m_store.config().record().options[kOptNoNewInventoryBox] == 0;
    auto offered = [&]() -> std::string {
        return offer ? formatted("%lld", static_cast<long long>(suggestItemNumber(m_store))) : "";
    };
    ItemFormRequest request;
    request.presentation = ItemFormPresentation::kBlank;
    request.fields = blankItemFields(m_store.config(), now());
    request.fields.number = offered();
    request.focusNumber = !offer;
    request.dataFolder = m_store.folder();

    for (;;) {
        ItemFormReply reply = m_forms.itemForm(request);
        if (reply.button == FormButton::kCancel) return;

        InventoryRecord item = blankItem(m_store.config(), now());
        storeItemFields(reply.fields, item);
        if (Status s = validateNewItem(item); !s) {
            refuse(s);
            request.presentation = ItemFormPresentation::kAmend;
            request.fields = reply.fields;
            request.focusNumber = false;
            continue;
        }
        if (Status s = createItem(m_store, item); !s) {
            show(s);
            return;
        }
        switch (reply.button) {
            case FormButton::kNext:
                request.presentation = ItemFormPresentation::kBlank;
                request.fields = blankItemFields(m_store.config(), now());
                request.fields.number = offered();
                request.focusNumber = !offer;
                break;
            case FormButton::kCopy:
                request.presentation = ItemFormPresentation::kCopy;
                request.fields = reply.fields;
                request.fields.number = offered();
                request.focusNumber = !offer;
                break;
            default:
                confirmSound();
                return;
        }
    }
}

// --- Amend ------------------------------------------------------------------

void InventoryMaintenance::amend() {
    auto text = m_ui.prompt("Amend item");
    if (!text) return;
    auto hit = resolve(*text);
    if (!hit) return;
    if (hit->item.kind == kItemKindBundle) {
        amendBundle(*this, *hit);
        return;
    }
    ItemFormRequest request;
    request.presentation = ItemFormPresentation::kAmend;
    request.fields = itemFields(hit->item, now());
    request.dataFolder = m_store.folder();
    ItemFormReply reply = m_forms.itemForm(request);
    if (reply.button == FormButton::kCancel) return;

    InventoryRecord edited = hit->item;
    storeItemFields(reply.fields, edited);
    if (edited.number != hit->item.number) {
        show(Status::invalid("Number cannot be changed"));
        return;
    }
    if (fieldText(edited.description).size() < 2) {
        refuse(Status::invalid("The title must have at least two characters."));
        return;
    }
    Status s = updateItem(edited.number,
                          [&](InventoryRecord& item) { storeItemFields(reply.fields, item); });
    if (!s) {
        show(s);
        return;
    }
    confirmSound();
}

// --- Delete -----------------------------------------------------------------

void InventoryMaintenance::remove() {
    auto text = m_ui.prompt("Delete item number / description");
    if (!text) return;
    auto hit = resolve(*text);
    if (!hit) return;
    const std::string caption = formatted("%lld Item: %s", static_cast<long long>(hit->item.number),
                                          fieldText(hit->item.description).c_str());
    if (m_ui.message("Are you sure?", caption, Ui::Icon::kQuestion, Ui::Buttons::kOkCancel) !=
        Ui::Answer::kOk)
        return;

    Status failure;
    {
        auto lock = m_store.lock();
        auto slot = m_store.items().find(hit->item.number);
        InventoryRecord item;
        Status s = slot ? m_store.items().read(*slot, &item) : noMatchFound();
        if (s) s = m_store.items().remove(*slot);
        if (!s) {
            if (s.kind() == Status::Kind::kNotFound && s.fatal())
                failure = s;
            else if (s.finished())
                failure = s;
            else
                failure = Status::ioError("Not able to write inventory.dat", kTitleProblem);
        } else {
            const LocalTime t = now();
            // A folder that cannot be made shows up as the failure of the append that needs it.
            static_cast<void>(m_store.journal().ensureDayFolders(t));
            if (!m_store.journal().appendActivity(
                    t, activity::itemDeleted(item.number, fieldText(item.description),
                                             timestampText(t))))
                failure = Status::notFound("Data log text file not present.", kTitleFatal);
        }
    }
    show(failure);
}

// --- Finds ------------------------------------------------------------------

void InventoryMaintenance::find() {
    auto text = m_ui.prompt("Find item number / description / fragment");
    if (!text) return;
    auto number = positiveNumber(*text);
    if (number && *number <= kMaxRecordNumber) {
        if (auto hit = lookUpByNumber(*number)) showItem(hit->item);
        return;
    }
    const bool list = m_store.config().record().options[kOptInventorySearchAsList] != 0;
    auto hit = descriptionSearch(*text);
    // The FIND INVENTORY form has shown the match; a pick from the list is
    // shown in the view form.
    if (hit && list) showItem(hit->item);
}

std::optional<InventoryRecord> InventoryMaintenance::itemDescriptionSearch(bool showResult) {
    StoreConfigRecord& cfg = m_store.config().record();
    auto reply = m_forms.descriptionSearch(cfg.settings_b[kSetBDescriptionSearchWithin] == 2);
    if (!reply) return std::nullopt;
    if (reply->keepAsDefault) {
        {
            auto lock = m_store.lock();
            cfg.settings_b[kSetBDescriptionSearchWithin] = reply->withinDescription ? 2 : 0;
        }
        show(m_store.saveConfig());
    }
    if (reply->withinDescription)
        return shown(fragmentSearch(FragmentField::kDescription, reply->text), showResult);
    // The FIND INVENTORY form is the display of a search by initials.
    auto hit = descriptionSearch(reply->text);
    return hit ? std::optional<InventoryRecord>(hit->item) : std::nullopt;
}

std::optional<InventoryRecord> InventoryMaintenance::findThatContain(bool showResult) {
    auto text = m_ui.prompt("Fragment:");
    if (!text) return std::nullopt;
    return shown(fragmentSearch(FragmentField::kDescription, *text), showResult);
}

std::optional<InventoryRecord> InventoryMaintenance::findInSku1(bool showResult) {
    auto text = m_ui.prompt("Find in SKU 1:");
    if (!text) return std::nullopt;
    return shown(fragmentSearch(FragmentField::kSku1, *text), showResult);
}

std::optional<InventoryRecord> InventoryMaintenance::findAdvanced() {
    auto query = m_forms.advancedSearch();
    if (!query) return std::nullopt;
    return shown(advancedSearch(*query), true);
}

// --- View form --------------------------------------------------------------

FindInventoryView InventoryMaintenance::findView(const InventoryRecord& item) const {
    const StoreConfig& cfg = m_store.config();
    FindInventoryView v;
    v.number = formatted("%lld", static_cast<long long>(item.number));
    v.description = fieldText(item.description);
    v.sku = {fieldText(item.sku1), fieldText(item.sku2), fieldText(item.sku3),
             fieldText(item.sku4)};
    if (costVisible(cfg, clerk())) v.cost = formatted("%.2f", item.cost_price);
    v.price = formatted("%.2f", item.retail_price);
    v.category = categoryName(cfg, item.display_category);
    v.inStock = formatted("%d", item.quantity);
    v.tax = taxCodeName(item.tax);
    v.dateAdded = dateAddedText(fieldText(item.date_added));
    return v;
}

ItemView InventoryMaintenance::itemView(const InventoryRecord& item) const {
    const StoreConfig& cfg = m_store.config();
    auto money = [](double v) { return formatted("%.2f", v); };
    auto integer = [](int32_t v) { return formatted("%d", v); };
    auto yesNo = [](bool b) { return std::string(b ? "Yes" : "No"); };
    ItemView v;
    v.number = formatted("%lld", static_cast<long long>(item.number));
    v.picturePath =
        itemPicturePath(m_store.folder(), item.number, item.picture_number, item.own_picture == 1);
    v.rows = {
        {"Number", v.number},
        {"Description", fieldText(item.description)},
        {"SKU 1", fieldText(item.sku1)},
        {"SKU 2", fieldText(item.sku2)},
        {"SKU 3", fieldText(item.sku3)},
        {"SKU 4", fieldText(item.sku4)},
        {"Cost price", costVisible(cfg, clerk()) ? money(item.cost_price) : ""},
        {"Trade price", money(item.trade_price)},
        {"Retail price", money(item.retail_price)},
        {"Tax code", taxCodeName(item.tax)},
        {"No tax rounding", yesNo(item.no_tax_rounding == 2)},
        {"Display category", categoryName(cfg, item.display_category)},
        {"Quantity in stock", integer(item.quantity)},
        {"Restock level", integer(item.reorder_quantity)},
        {"Minimum order", integer(item.minimum_order)},
        {"Order quantity", integer(item.order_quantity)},
        {"On order", integer(item.on_order)},
        {"Committed", integer(item.committed)},
        {"Delivery lead", integer(item.delivery_lead)},
        {"Labels to print", integer(item.labels_to_print)},
        {"Delivery", money(item.delivery)},
        {"Weight", money(item.weight)},
        {"Order code", fieldText(item.order_code)},
        {"Location", fieldText(item.location)},
        {"Web URL", fieldText(item.website)},
        {"Web image URL", fieldText(item.web_image)},
        {"SOR", item.sale_or_return == 1 ? "YES" : "NO"},
        {"Special order", integer(item.special_order)},
        {"Age alert", item.age_limit == 0 ? "No" : integer(item.age_limit)},
        {"Omit from quick select buttons", yesNo(item.omit_from_quick_select == 2)},
        {"Buy one get one free", yesNo(item.offer == 2)},
        {"Buy two get one free", yesNo(item.offer == 4)},
        {"Sell by", item.sell_by_year == 0
                        ? std::string("Not set")
                        : formatted("D: %d M: %d Y: %d", item.sell_by_day, item.sell_by_month,
                                    kSellByBaseYear + item.sell_by_year)},
        {"Date added", dateAddedText(fieldText(item.date_added))},
        {"Total sold", integer(item.total_sold)},
        {"Notes", fieldText(item.notes)},
    };
    return v;
}

void InventoryMaintenance::showItem(const InventoryRecord& first) {
    if (first.kind == kItemKindBundle) {
        m_forms.viewBundle(bundleView(*this, first));
        return;
    }
    int64_t number = first.number;
    auto next = [&]() -> std::optional<ItemView> {
        InventoryRecord item;
        {
            auto lock = m_store.lock();
            const auto& entries = m_store.items().index().entries();
            std::size_t p = m_store.items().index().lowerBound(number + 1);
            if (p >= entries.size() || entries[p].number <= 0) return std::nullopt;
            if (!m_store.items().read(entries[p].slot, &item)) return std::nullopt;
        }
        number = item.number;
        return itemView(item);
    };
    m_forms.viewItem(itemView(first), next);
}

// --- Pictures ---------------------------------------------------------------

void InventoryMaintenance::addCustomImage() {
    auto file = m_forms.chooseBitmap();
    if (!file) return;
    auto text = m_ui.prompt("Add image to inventory number:");
    if (!text) return;
    auto hit = lookUpByNumber(numberFromText(*text));
    if (!hit) return;
    const std::string name = ownPictureName(hit->item.number);
    if (!copyIntoFolder(*file, name)) {
        show(Status::ioError("Not able to write to " + name));
        return;
    }
    Status s = updateItem(hit->item.number, [](InventoryRecord& item) { item.own_picture = 1; });
    if (!s) {
        show(s);
        return;
    }
    if (m_picturesChanged) m_picturesChanged();
    m_ui.inform("Updated.", "Picture");
}

void InventoryMaintenance::changeInbuiltPicture() {
    auto picture = m_forms.chooseInbuiltPicture();
    if (!picture || *picture < 1 || *picture > kInbuiltPictures) return;
    auto file = m_forms.chooseBitmap();
    if (!file) return;
    const std::string name = inbuiltPictureName(*picture);
    if (!copyIntoFolder(*file, name)) {
        show(Status::ioError("Not able to write to " + name));
        return;
    }
    if (m_picturesChanged) m_picturesChanged();
    m_ui.inform("Updated.", "Inbuilt picture");
}

}  // namespace kassio
