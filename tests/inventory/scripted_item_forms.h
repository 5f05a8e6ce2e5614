// A scripted ItemForms: every panel answers from a queue and records what it
// was shown. An empty queue answers Cancel.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "inventory/item_forms.h"
#include "support/scripted_answers.h"

namespace kassio::test {

class ScriptedItemForms final : public ItemForms {
  public:
    ItemFormReply itemForm(const ItemFormRequest& request) override {
        itemRequests.push_back(request);
        if (onItemForm) onItemForm();
        return takeNext(itemReplies).value_or(ItemFormReply{});
    }

    // Each scripted answer is one button press: kNext asks for the next
    // match; the form closes (kCancel) when there is none.
    FormButton findInventory(
        const FindInventoryView& first,
        const std::function<std::optional<FindInventoryView>()>& next) override {
        return pressFindButtons(findButtons, findShown, first, next);
    }

    void viewItem(const ItemView& first,
                  const std::function<std::optional<ItemView>()>& next) override {
        viewsShown.push_back(first);
        for (int i = 0; i < viewNexts; ++i) {
            auto v = next();
            if (!v) break;
            viewsShown.push_back(*v);
        }
    }

    BundleFormReply bundleForm(const BundleFormRequest& request) override {
        bundleRequests.push_back(request);
        if (onBundleForm) onBundleForm(request);
        return takeNext(bundleReplies).value_or(BundleFormReply{});
    }
    void viewBundle(const BundleView& view) override { bundlesShown.push_back(view); }

    std::optional<DescriptionSearchReply> descriptionSearch(bool preselectWithin) override {
        preselectedWithin.push_back(preselectWithin);
        return takeNext(descriptionReplies);
    }
    std::optional<AdvancedQuery> advancedSearch() override { return advanced; }

    ReceiveReply receive(const ReceiveRequest& request) override {
        receiveRequests.push_back(request);
        if (onReceive) onReceive();
        return takeNext(receiveReplies).value_or(ReceiveReply{});
    }
    std::optional<DateRange> receivedRange() override { return range; }
    bool receivedList(const std::string& title, const std::vector<std::string>& lines) override {
        listTitle = title;
        listLines = lines;
        return printList;
    }
    void print(const PagedText& pages) override { printed.push_back(pages); }
    std::optional<std::string> chooseBitmap() override { return bitmap; }
    std::optional<int> chooseInbuiltPicture() override { return inbuilt; }

    std::deque<ItemFormReply> itemReplies;
    std::vector<ItemFormRequest> itemRequests;
    std::function<void()> onItemForm;  // runs while the form is open
    std::deque<FormButton> findButtons;
    std::vector<FindInventoryView> findShown;
    int viewNexts = 0;
    std::vector<ItemView> viewsShown;
    std::deque<BundleFormReply> bundleReplies;
    std::vector<BundleFormRequest> bundleRequests;
    std::function<void(const BundleFormRequest&)> onBundleForm;
    std::vector<BundleView> bundlesShown;
    std::deque<DescriptionSearchReply> descriptionReplies;
    std::vector<bool> preselectedWithin;
    std::optional<AdvancedQuery> advanced;
    std::deque<ReceiveReply> receiveReplies;
    std::vector<ReceiveRequest> receiveRequests;
    std::function<void()> onReceive;
    std::optional<DateRange> range;
    bool printList = false;
    std::string listTitle;
    std::vector<std::string> listLines;
    std::vector<PagedText> printed;
    std::optional<std::string> bitmap;
    std::optional<int> inbuilt;
};

}  // namespace kassio::test
