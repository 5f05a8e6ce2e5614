// CustomerRecordWire: a customer as it crosses to and from a client station
// (procedures 1, 12 and 13). The packed form is the CustomerRecord of
// customer.dat byte for byte; the runs follow its member types in order.
#pragma once

#include <cstddef>

#include "server/ndr.h"
#include "store/customer_record.h"

namespace kassio {

struct CustomerRecordFormat {
    using Packed = CustomerRecord;
    static constexpr ndr::Runs<26> kRuns{{
        {8, 1},    // number
        {1, 120},  // 4 x char[30]: name, road, area, town
        {1, 10},   // postcode
        {1, 80},   // 4 x char[20]: telephones, fax
        {1, 60},   // shipping address 1
        {1, 90},   // 3 x char[30]: shipping addresses 2..4
        {1, 10},   // shipping address 5
        {1, 6},    // name prefix 1
        {1, 8},    // name prefix 2
        {1, 60},   // contact
        {1, 200},  // notes
        {4, 1},    // group
        {1, 20},   // char[20]
        {1, 30},   // comment
        {1, 120},  // 3 x char[40]: credit cards, reserved
        {1, 60},   // 3 x char[20]: expiries, reserved
        {1, 120},  // 4 x char[30]
        {4, 2},    // 2 x long: terms, last transaction
        {1, 80},   // 2 x char[40]: second comment, e-mail
        {8, 1},    // total purchases
        {1, 24},   // 2 x char[12]: reserved, origination
        {1, 32},   // 2 x char[16]: last used, last payment
        {8, 6},    // 6 x double: balance, credit limit, reserved
        {4, 1},    // transactions
        {8, 1},    // tax
        {4, 6},    // 6 x long
    }};
};

static_assert(ndr::validRuns(CustomerRecordFormat::kRuns));
static_assert(ndr::packedSize(CustomerRecordFormat::kRuns) == kCustomerRecordSize);
static_assert(ndr::packedOffset(CustomerRecordFormat::kRuns, 8) ==
              offsetof(CustomerRecord, name_prefix2));
static_assert(ndr::packedOffset(CustomerRecordFormat::kRuns, 11) ==
              offsetof(CustomerRecord, group));
static_assert(ndr::packedOffset(CustomerRecordFormat::kRuns, 17) ==
              offsetof(CustomerRecord, terms));
static_assert(ndr::packedOffset(CustomerRecordFormat::kRuns, 19) ==
              offsetof(CustomerRecord, total_purchases));
static_assert(ndr::packedOffset(CustomerRecordFormat::kRuns, 22) ==
              offsetof(CustomerRecord, balance));
static_assert(ndr::packedOffset(CustomerRecordFormat::kRuns, 23) ==
              offsetof(CustomerRecord, transactions));
static_assert(ndr::packedOffset(CustomerRecordFormat::kRuns, 24) == offsetof(CustomerRecord, tax));
static_assert(ndr::packedOffset(CustomerRecordFormat::kRuns, 25) ==
              offsetof(CustomerRecord, reserved_ints));
static_assert(ndr::alignment(CustomerRecordFormat::kRuns) == 8);

}  // namespace kassio
