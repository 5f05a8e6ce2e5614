#include "commands/customer_commands.h"

namespace kassio {

void registerCustomerCommands(CommandRouter& router, CustomerMaintenance& customers) {
    using namespace customer_command;
    CustomerMaintenance* c = &customers;
    router.set(command::kAddCustomer, [c] { c->add(); });
    router.set(kAmendCustomer, [c] { c->amend(); });
    router.set(command::kDeleteCustomer, [c] { c->remove(); });
    router.set(kPruneCustomers, [c] { c->prune(); });
    router.set(command::kFindCustomer, [c] { c->find(); });
    router.set(kFindThatContain, [c] { c->findThatContain(); });
    router.set(kFindTelephone, [c] { c->findTelephone(); });
    router.set(kFunctionTelephone, [c] { c->findTelephone(); });
    router.set(kAmendBalance, [c] { c->amendBalance(); });
    router.set(kLoyaltyCard, [c] { c->loyaltyCard(); });
}

}  // namespace kassio
