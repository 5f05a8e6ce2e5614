// Procedures 12 and 13: a client station adds a customer or changes one.
#include <cstring>

#include "base/fixed_text.h"
#include "base/money.h"
#include "base/timestamp.h"
#include "server/station_server.h"
#include "store/activity_log.h"
#include "store/record_layout.h"

namespace kassio {

namespace {

// StoreConfig option table: customers added at client stations (int64).
constexpr int kOptCustomersAddedAtClients = optionAt(4392);

bool numberInRange(int64_t number) {
    return number >= 1 && number <= kMaxRecordNumber;
}

template <std::size_t N>
void take(char (&stored)[N], const char (&received)[N]) {
    std::memcpy(stored, received, N);
}

// The texts a client may change; the number, name prefixes, group, terms,
// figures, timestamps, balance, credit limit and tax stay as stored.
void takeTexts(CustomerRecord& stored, const CustomerRecord& received) {
    take(stored.name, received.name);
    take(stored.road, received.road);
    take(stored.area, received.area);
    take(stored.town, received.town);
    take(stored.postcode, received.postcode);
    take(stored.telephone, received.telephone);
    take(stored.telephone_extension, received.telephone_extension);
    take(stored.telephone2, received.telephone2);
    take(stored.fax, received.fax);
    take(stored.shipping_address_1, received.shipping_address_1);
    take(stored.shipping_address_2, received.shipping_address_2);
    take(stored.shipping_address_3, received.shipping_address_3);
    take(stored.shipping_address_4, received.shipping_address_4);
    take(stored.shipping_address_5, received.shipping_address_5);
    take(stored.contact, received.contact);
    take(stored.notes, received.notes);
    take(stored.reserved_text1, received.reserved_text1);
    take(stored.comment, received.comment);
    take(stored.credit_card, received.credit_card);
    take(stored.credit_card2, received.credit_card2);
    take(stored.credit_card_expiry, received.credit_card_expiry);
    take(stored.credit_card2_expiry, received.credit_card2_expiry);
    take(stored.reserved_texts4_7, received.reserved_texts4_7);
    take(stored.comment2, received.comment2);
    take(stored.email, received.email);
    take(stored.reserved_text8, received.reserved_text8);
    take(stored.origination, received.origination);
}

}  // namespace

int32_t StationServer::addCustomer(const CustomerRecord& customer) {
    const int32_t code = [&] {
        if (!numberInRange(customer.number)) return kCustomerNumberOutOfRange;
        for (double v : {customer.total_purchases, customer.balance, customer.credit_limit})
            if (!isSaneMoney(v)) return kCustomerInsaneAmount;
        auto lock = m_store.lock();
        RecordFile& customers = m_store.customers();
        if (customers.find(customer.number)) return kCustomerNumberInUse;
        if (!customers.insert(&customer)) return kCustomerFileUnavailable;
        ++m_store.config().record().options[kOptCustomersAddedAtClients];
        return kCustomerDone;
    }();
    if (code == kCustomerFileUnavailable) reopenAfterDiskFailure(nullptr);
    return code;
}

int32_t StationServer::changeCustomer(const CustomerRecord& received) {
    const int32_t code = [&] {
        if (!numberInRange(received.number)) return kCustomerNumberOutOfRange;
        // The record and its log entry are one batch, committed under the
        // DataMutex and waited for after it.
        uint64_t ticket = 0;
        {
            StoreFiles::Batch batch(m_store.files());
            RecordFile& customers = m_store.customers();
            auto slot = customers.find(received.number);
            if (!slot) return kCustomerNotFound;
            CustomerRecord stored;
            if (!customers.read(*slot, &stored)) return kCustomerFileUnavailable;
            takeTexts(stored, received);
            if (!customers.write(*slot, &stored)) return kCustomerFileUnavailable;

            const LocalTime now = m_store.clock().now();
            // A folder that cannot be made shows up as the failure of the append that needs it.
            static_cast<void>(m_store.journal().ensureDayFolders(now));
            // The customer is stored: the client is told so even when the log line
            // could not be added (the log is the shop's diary, not its data).
            static_cast<void>(m_store.journal().appendActivity(
                now, activity::customerUpdated(
                         timestampText(now), stored.number, fieldText(stored.name),
                         fieldText(stored.road), fieldText(stored.area), fieldText(stored.town),
                         fieldText(stored.postcode), fieldText(stored.telephone), stored.group,
                         stored.balance)));
            if (!batch.commit(&ticket)) return kCustomerFileUnavailable;
        }
        if (!m_store.waitDurable(ticket)) return kCustomerFileUnavailable;
        return kCustomerDone;
    }();
    if (code == kCustomerFileUnavailable) reopenAfterDiskFailure(nullptr);
    return code;
}

}  // namespace kassio
