// StationTillData: the till of a client station, working through the main
// station's procedures. Nothing of the shop's files is kept here; what the
// client station keeps, in its own folder, is
//
//   kq.cfg        the main station's configuration as last fetched, with this
//                 station's own device and screen settings (see
//                 takeClientConfig)
//   items.cache   every item this station has looked up, for selling while
//                 the main station cannot be reached
//   queue/        the sales and refunds tendered while it could not be
//                 reached, one file each, posted in order once it is back
//   pictures      the quick-select pictures, fetched once a run
//
// A queued posting keeps the request id it was first sent with, so a
// posting that reached the main station before the answer was lost is not
// posted twice when the queue is sent. A queued posting the main station
// refuses (an item deleted meanwhile) stays in queue/refused/ and is
// reported; it is never dropped.
//
// Used from the UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "server/client_config.h"
#include "server/station_client.h"
#include "store/data_store.h"
#include "till/till_data.h"

namespace kassio {

// Copies the main station's configuration into a client station's. With
// keepOwnSettings (every start but the first) the client keeps its own
// settings: settings block B (devices, sounds, button tips, the
// quick-select category, receipt options), the receipt printer choice and
// printer names, the pole texts, the cutter and drawer codes and the card
// terminal's folder and options.
void takeClientConfig(const ClientConfig& main, StoreConfig& client, bool keepOwnSettings);

// What a client station's start made of its configuration and wording.
struct ClientSettingsStart {
    bool hadCopy = false;  // its folder held them from an earlier run
    Status reached;        // ok, or why the main station gave none
    std::vector<Status> saveFailures;
};

// Loads a client station's configuration and wording as the last run left
// them, then, when the main station answers, lays its configuration over
// them (takeClientConfig, keeping the client's own settings when there was
// a copy) with its receipt words, and saves both in the client's folder.
ClientSettingsStart takeMainStationSettings(DataStore& local, StationClient& client);

class StationTillData final : public TillData {
  public:
    // local: the client station's own folder and configuration.
    StationTillData(StationClient& client, DataStore& local, std::string stationName);

    // Reads items.cache and queue/; call once before selling.
    Status open();

    std::optional<InventoryRecord> item(int64_t number, Status* error) override;
    std::optional<InventoryRecord> itemBySku1(const std::string& sku) override;
    Status itemsReachable() override;
    std::optional<CustomerRecord> customer(int64_t number, Status* error) override;
    std::vector<CustomerRecord> customersNamed(const std::string& pattern) override;
    std::vector<QuickSelectEntry> itemsAfter(int64_t after, int category,
                                             std::size_t want) override;
    std::vector<QuickSelectEntry> itemsBefore(int64_t before, int category,
                                              std::size_t want) override;
    int32_t nextTransaction() const override;
    Status logActivity(const LocalTime& now, const std::string& text) override;
    Status recordCustomerSale(int64_t customer, Basket& basket, bool onCredit) override;
    Status creditCustomer(int64_t customer, double amount) override;
    TillPostOutcome postSale(Basket& basket, const std::string& clerkName) override;
    TillPostOutcome postRefund(Basket& basket, const RefundChoices& choices,
                               const std::string& clerkName) override;

    // Whether the last call found the main station unreachable.
    bool offline() const { return m_offline; }
    // Postings waiting in queue/, and those the main station refused.
    std::size_t waiting() const { return m_queue.size(); }
    std::size_t refused() const { return m_refused; }
    // Sends what waits, oldest first, until one cannot be sent. Returns the
    // refusals, each to be shown to the clerk once.
    std::vector<Status> sendQueue();
    // Told whenever offline() or waiting() may have changed.
    void setChanged(std::function<void()> changed) { m_changed = std::move(changed); }

    static constexpr const char* kQueueFolder = "queue";

  private:
    struct Queued {
        std::string file;  // in queue/
        bool refund = false;
        std::string requestId;
    };
    TillPostOutcome post(Basket& basket, bool refund);
    // Keeps a posting for later; on disk before it returns.
    Status enqueue(const Basket& basket, bool refund, const std::string& requestId);
    // Reads a kept posting's Basket and fills in its kind and request id.
    bool readQueued(Queued& q, Basket* basket) const;
    void remember(const InventoryRecord& item);
    void fetchPicture(const std::string& name);
    // Records whether the main station answered; a failure's status back.
    Status reached(const Status& s);
    std::string path(const std::string& name) const { return m_local.pathOf(name); }

    StationClient& m_client;
    DataStore& m_local;
    std::string m_stationName;
    std::map<int64_t, InventoryRecord> m_items;  // looked up, by number
    std::vector<Queued> m_queue;
    uint64_t m_nextQueued = 1;
    std::size_t m_refused = 0;
    std::set<std::string> m_fetched;
    int32_t m_nextTransaction = 0;
    bool m_offline = false;
    std::function<void()> m_changed;
};

}  // namespace kassio
