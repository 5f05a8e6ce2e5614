// ClientSale: a sale or refund as kassio-station reads it from a JSON file,
// and the Basket the client station builds from it and sends for posting.
//
// The JSON file (every member but "lines" may be left out):
//
//   {
//     "station": "TILL 2",          station name, into the Basket's first text
//     "clerk": 1,                   clerk number
//     "payment": "Cash",            sale: "Cash", "CH", "EFT" or "Credit";
//                                   refund: the payment word, "Refund" if none
//     "customer": 0,                customer number, 0 = none
//     "note": "",                   transaction note
//     "kind": 0,                    refund only: 0 cash, 1 CH, 2 EFT, 3 credit
//     "restock": 0,                 refund only: 0 back to stock, 1 faulty
//     "lines": [
//       {"item": 42},                         one unit of item 42
//       {"item": 7, "count": 3},              three units, three lines
//       {"description": "LOTTERY", "price": 2.00, "tax": 0, "cost": 0}
//     ]                                       a non-inventory line; tax as an
//   }                                         item's tax code 0..3
//
// Texts are UTF-8 in the file and Windows-1252 in the Basket.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/status.h"
#include "platform/clock.h"
#include "server/client_config.h"
#include "server/json_reader.h"
#include "store/basket.h"
#include "store/customer_record.h"
#include "store/inventory_record.h"

namespace kassio {

struct ClientSaleLine {
    int64_t item = 0;  // 0: a non-inventory line
    int count = 1;
    std::string description;  // non-inventory lines, Windows-1252
    double price = 0;
    int32_t tax = 0;
    double cost = 0;
};

struct ClientSale {
    bool refund = false;
    std::string station = "STATION";
    int32_t clerk = 1;
    std::string payment;
    int64_t customer = 0;
    std::string note;
    int32_t kind = 0;
    int32_t restock = 0;
    std::vector<ClientSaleLine> lines;
};

// Reads the JSON shape above; a wrong shape is an "Invalid entry" naming it.
// Prices and costs are sums of money within +-kMoneyLimit.
Status readClientSale(const Json& json, bool refund, ClientSale& out);

// Where the builder gets the station's items and customers from (procedures
// 0 and 1, or a test's table). A record whose number is 0 is "not found".
struct SaleLookups {
    std::function<Status(int64_t number, InventoryRecord& out)> item;
    std::function<Status(int64_t number, CustomerRecord& out)> customer;
};

// Builds the Basket as the till's item entry would: each unit one line at
// the item's retail price (buy-one-get-one and buy-two-get-one offers
// applied), tax 1 and tax 2 by the configured rates, threshold and rounding,
// totals money-rounded as they grow, then the header, customer and payment
// fields. Trade prices, discounts and bundles are not applied. For a
// refund the totals stay positive: the station negates them.
Status buildClientBasket(const ClientSale& sale, const ClientConfig& config,
                         const SaleLookups& lookups, const LocalTime& now, Basket& out);

}  // namespace kassio
