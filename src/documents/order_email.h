// "Email document" in the summary box: the mailto: link of an order
// confirmation, which the desktop hands to the user's mail program (the
// till sends nothing itself).
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "store/basket.h"
#include "store/data_store.h"
#include "store/store_config.h"

namespace kassio {

// The link: "mailto:ADDRESS?subject=STORE Order Confirmation&body=" (no
// address without a customer e-mail) and the body of heading lines, order
// reference, date, associate, total and the closing words, lines broken by
// "%0D%0A". Texts from the files go in as UTF-8 with the characters that
// would end the body or start another field of the link ("%", "&", "#",
// "?", "+") and non-ASCII bytes percent-encoded, so a store called
// "Smith & Sons" cannot cut the message short.
std::string orderConfirmationLink(const StoreConfigRecord& cfg, const Basket& basket,
                                  const std::string& customerEmail, const LocalTime& now);

// The same for a Basket at the till: the customer's e-mail address is read
// from customer.dat under the DataMutex.
std::string orderConfirmationLink(DataStore& store, const Basket& basket);

}  // namespace kassio
