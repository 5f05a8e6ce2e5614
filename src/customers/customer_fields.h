// The customer form's fields as the clerk sees them and their conversions
// to and from a CustomerRecord; the texts of the view and "FIND CUSTOMER"
// forms; the web map search of a customer's address.
#pragma once

#include <array>
#include <string>

#include "store/customer_record.h"
#include "store/store_config.h"

namespace kassio {

struct CustomerFormFields {
    std::string number, name, road, area, town, postcode, email;
    std::string telephone, extension, telephone2, fax, contact;
    int taxable = 1;  // list "0" / "1"
    std::string group = "1";
    std::string comment, comment2;
    std::string card1, card1Expiry, card2, card2Expiry;
    std::string balance = "0", creditLimit = "2000", transactions = "0", totalPurchases = "0";
    std::string shippingName, shippingRoad, shippingArea, shippingTown, shippingPostcode;
    std::string notes;
    int termsIndex = 0;  // list position; terms band = position + 1
};

// The first showing of the New presentation; the number is the caller's.
CustomerFormFields blankCustomerFields();
CustomerFormFields customerFields(const CustomerRecord& customer);

// Stores the form into the record, texts cut to the form's limits. The
// balance is taken only when readBalance is set (a customer being added).
void storeCustomerFields(const CustomerFormFields& fields, CustomerRecord& customer,
                         bool readBalance);

// The eight entries of the Terms list.
std::array<std::string, 8> termsList(const StoreConfig& config);

// "Last used" and "Last payment" of the view: "hh:mm" and the date (the
// local long form when it is a real date), or empty for "NEW" and nothing.
std::string lastUsedText(const std::string& timestamp);

// The map search of the billing address: road, then ","-led area, town and
// postcode, each only when present.
std::string mapQuery(const CustomerRecord& customer);
// The map search page with the query as its where1 parameter.
std::string mapUrl(const CustomerRecord& customer);

}  // namespace kassio
