#include "commands/inventory_commands.h"

#include "inventory/bundles.h"
#include "inventory/stock_received.h"

namespace kassio {

void registerInventoryCommands(CommandRouter& router, Till& till, InventoryMaintenance& inv) {
    using namespace backoffice_command;
    Till* t = &till;
    InventoryMaintenance* m = &inv;
    inv.setPicturesChanged([t] { t->quickSelect().fill(); });

    router.set(command::kNewLine, [m, t] {
        m->newLine();
        t->quickSelect().fill();
    });
    router.set(command::kAmendInventory, [m, t] {
        m->amend();
        t->quickSelect().fill();
    });
    router.set(command::kDeleteInventory, [m, t] {
        m->remove();
        t->quickSelect().fill();
    });
    router.set(command::kFindInventory, [m] { m->find(); });
    router.set(kFindByDescription, [m] { m->itemDescriptionSearch(true); });
    router.set(kFindThatContain, [m] { m->findThatContain(true); });
    router.set(kFindInSku1, [m] { m->findInSku1(true); });
    router.set(command::kSkuSearch, [m, t] {
        if (auto item = m->findInSku1(false)) t->addItem(item->number);
    });
    router.set(kFindAdvanced, [m] { m->findAdvanced(); });
    router.set(kAddImage, [m] { m->addCustomImage(); });
    router.set(kChangeInbuiltPicture, [m] { m->changeInbuiltPicture(); });
    router.set(command::kNewBundle, [m] { newBundle(*m); });
    router.set(command::kInventoryReceived, [m] { receiveInventory(*m, false); });
    router.set(command::kFunctionReceived, [m] { receiveInventory(*m, false); });
    router.set(kReceivedBySku1, [m] { receiveInventory(*m, true); });
    router.set(kReceivedReport, [m] { receivedReport(*m); });

    // ENTER in an empty entry box: the description search by entry mode,
    // and the item it leaves goes into the basket.
    router.setEmptyEntrySearch([m, t] {
        const bool skuMode = skuEntryMode(t->store().config().record());
        auto item = skuMode ? m->findInSku1(false) : m->itemDescriptionSearch(false);
        if (item) t->addItem(item->number);
    });
}

void registerSupplierCommands(CommandRouter& router, SupplierMaintenance& suppliers) {
    using namespace backoffice_command;
    SupplierMaintenance* s = &suppliers;
    router.set(kViewSupplier, [s] { s->view(); });
    router.set(kAddSupplier, [s] { s->add(); });
    router.set(kAmendSupplier, [s] { s->amend(); });
    router.set(kDeleteSupplier, [s] { s->remove(); });
}

}  // namespace kassio
