// Customer-level rules of customer.dat: the new-customer defaults,
// creation with its validations, delete with its ActivityLog line and the
// offered number. Each function takes the DataMutex itself.
#pragma once

#include <cstdint>
#include <optional>

#include "base/status.h"
#include "store/customer_record.h"
#include "store/data_store.h"

namespace kassio {

// A new customer as the form offers it: group 1, credit limit 2000,
// taxable, never bought ("NEW").
CustomerRecord blankCustomer();

Status validateNewCustomer(const CustomerRecord& customer);

// Validates, then inserts. The creation fields (last used "NEW", last
// payment empty, last transaction and the reserved counter 0) are set.
Status createCustomer(DataStore& store, CustomerRecord& customer);

// Marks the customer's slot deleted and logs "Customer %I64d, %s deleted.".
Status deleteCustomer(DataStore& store, int64_t number);

std::optional<CustomerRecord> readCustomer(DataStore& store, int64_t number,
                                           Status* error = nullptr);

int64_t suggestCustomerNumber(DataStore& store);

}  // namespace kassio
