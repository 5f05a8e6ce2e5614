// A client station's till data against a real station server over gRPC:
// the same answers as the main station's own, postings online, sales kept
// on disk while the main station is away and sent once each when it is
// back, a refused kept sale reported and kept, and customers added and
// changed at the counter.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/text_format.h"
#include "customers/customer_fields.h"
#include "customers/scripted_customer_forms.h"
#include "integration/station_fixture.h"
#include "server/client_config.h"
#include "server/client_customers.h"
#include "server/station_till_data.h"
#include "store/items.h"
#include "support/scripted_ui.h"
#include "support/till_fakes.h"
#include "till/local_till_data.h"
#include "till/till.h"

namespace kassio::test {
namespace {

// Forwards to the real transport but, while `lose` is set, reports every
// posting's answer as lost after the main station has handled it.
class LosingTransport final : public StationTransport {
  public:
    explicit LosingTransport(StationTransport& real) : m_real(real) {}
    TransportReply call(Procedure p, const std::string& request,
                        const std::string& requestId) override {
        TransportReply r = m_real.call(p, request, requestId);
        if (lose && (p == Procedure::kPostSale || p == Procedure::kPostRefund))
            return {false, {}, "the connection was lost"};
        return r;
    }
    bool lose = false;

  private:
    StationTransport& m_real;
};

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class StationTillTest : public StationTest {
  protected:
    void SetUp() override {
        StationTest::SetUp();
        // Forty items in four categories, some left out of quick select,
        // with SKUs that contain one another; customers sharing a start.
        std::vector<InventoryRecord> items;
        for (int n = 1; n <= 40; ++n) {
            InventoryRecord item = makeItem(n, ("ITEM " + std::to_string(n)).c_str(), n);
            item.display_category = n % 4;
            item.omit_from_quick_select = n % 7 == 0 ? 2 : 0;
            item.picture_number = n % 3 + 1;
            setFieldText(item.sku1, n == 5 ? "XAB1" : n == 9 ? "AB12" : n == 12 ? "AB1" : "");
            setFieldText(item.sku2, n == 3 ? "AB1" : "");
            items.push_back(item);
        }
        std::vector<CustomerRecord> customers;
        for (int n = 1; n <= 12; ++n)
            customers.push_back(makeCustomer(n, n % 2 ? ("JONES " + std::to_string(n)).c_str()
                                                      : ("JAMES " + std::to_string(n)).c_str()));
        store.reset();
        writeRecords(data + "/inventory.dat", items);
        writeRecords(data + "/customer.dat", customers);
        open();
        startServer();
        ASSERT_TRUE(makeDirectories(clientFolder));
        client = std::make_unique<DataStore>(clientFolder, clock);
        client->setSync(false);
        ASSERT_TRUE(client->recover());
        real = std::make_unique<GrpcStationTransport>(server->socketEndpoint(), "");
        losing = std::make_unique<LosingTransport>(*real);
        stationClient = std::make_unique<StationClient>(*losing);
        reopenClient();
    }

    // A fresh StationTillData on the client's folder, as after a restart.
    void reopenClient() {
        remote = std::make_unique<StationTillData>(*stationClient, *client, "TILL 2");
        ASSERT_TRUE(remote->open());
    }

    void stopServer() {
        server->stop();
        server.reset();
    }

    // Sends what waits until the main station, started again, answers.
    std::vector<Status> sendOnceBack() {
        std::vector<Status> refusals;
        for (int i = 0; i < 100 && remote->waiting() > 0; ++i) {
            for (Status& s : remote->sendQueue()) refusals.push_back(s);
            if (remote->waiting() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return refusals;
    }

    std::string clientFolder = root / "client";
    std::unique_ptr<DataStore> client;
    std::unique_ptr<GrpcStationTransport> real;
    std::unique_ptr<LosingTransport> losing;
    std::unique_ptr<StationClient> stationClient;
    std::unique_ptr<StationTillData> remote;
};

std::vector<std::string> shown(const std::vector<QuickSelectEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(std::to_string(e.number) + " " + e.description + " " + e.picture);
    return out;
}

TEST_F(StationTillTest, AClientStationSeesWhatTheMainStationsTillSees) {
    LocalTillData local(*store);
    for (int64_t n = 0; n <= 42; ++n) {
        auto a = local.item(n, nullptr);
        auto b = remote->item(n, nullptr);
        ASSERT_EQ(a.has_value(), b.has_value()) << n;
        if (a) {
            EXPECT_EQ(a->number, b->number);
        }
    }
    for (const char* sku : {"AB1", "AB12", "XAB1", "B1", "NONE"}) {
        auto a = local.itemBySku1(sku);
        auto b = remote->itemBySku1(sku);
        ASSERT_EQ(a.has_value(), b.has_value()) << sku;
        if (a) {
            EXPECT_EQ(a->number, b->number) << sku;
        }
    }
    for (const char* pattern : {"J", "JO", "JA?ES 1", "JONES 11", "X"}) {
        std::vector<int64_t> a, b;
        for (const auto& c : local.customersNamed(pattern)) a.push_back(c.number);
        for (const auto& c : remote->customersNamed(pattern)) b.push_back(c.number);
        EXPECT_EQ(a, b) << pattern;
    }
    // Pages of every size, each way, for every category and from anywhere.
    for (int category : {0, 1, 3, kAllCategories})
        for (std::size_t want : {3u, 8u, 14u})
            for (int64_t from : {0, 1, 6, 7, 17, 33, 40, 41}) {
                EXPECT_EQ(shown(local.itemsAfter(from, category, want)),
                          shown(remote->itemsAfter(from, category, want)))
                    << "after " << from << " category " << category << " want " << want;
                EXPECT_EQ(shown(local.itemsBefore(from, category, want)),
                          shown(remote->itemsBefore(from, category, want)))
                    << "before " << from << " category " << category << " want " << want;
            }
    EXPECT_FALSE(remote->offline());
}

TEST_F(StationTillTest, SalesKeptWhileTheMainStationIsAwayArePostedOnceInOrder) {
    ASSERT_TRUE(remote->item(1, nullptr));
    auto sale = clientBasket({1, 2}, "Cash", "");
    TillPostOutcome online = remote->postSale(*sale, "clerk");
    ASSERT_TRUE(online.posted);
    EXPECT_EQ(online.number, nextTransaction() - 1);
    EXPECT_EQ(remote->nextTransaction(), nextTransaction());

    // On account: the main station's posting moves the balance; the
    // client's receipt shows the balance it expects.
    const double owed = readCustomer(*store, 2)->balance;
    auto credit = clientBasket({3}, "Credit", "");
    credit->customer = 2;
    credit->payment[kPayBalanceBefore] = owed;
    ASSERT_TRUE(remote->recordCustomerSale(2, *credit, true));
    EXPECT_DOUBLE_EQ(credit->payment[kPayBalanceAfter], owed + 4.0);
    ASSERT_TRUE(remote->postSale(*credit, "clerk").posted);
    EXPECT_DOUBLE_EQ(readCustomer(*store, 2)->balance, owed + 4.0);

    stopServer();
    const int before = nextTransaction();
    for (int64_t item : {3, 4}) {
        auto kept = clientBasket({item}, "Cash", "");
        TillPostOutcome outcome = remote->postSale(*kept, "clerk");
        EXPECT_TRUE(outcome.posted);
        EXPECT_EQ(outcome.number, 0);  // numbered when the main station posts it
        EXPECT_TRUE(remote->offline());
    }
    // Items once looked up are still there to sell.
    EXPECT_TRUE(remote->item(1, nullptr));
    Status why;
    EXPECT_FALSE(remote->item(40, &why));
    EXPECT_FALSE(why.isOk());
    EXPECT_EQ(remote->waiting(), 2u);

    // Killed and started again: the kept sales are read back from disk. A
    // cache grown with many versions of an item is cut to the newest.
    {
        InventoryRecord old = *readItem(*store, 1);
        old.retail_price = 99;
        std::string versions;
        for (int i = 0; i < 200; ++i)
            versions.append(reinterpret_cast<const char*>(&old), sizeof old);
        // Written before the newest: open() must keep the last of each.
        auto cache = readWholeFile(clientFolder + "/items.cache");
        ASSERT_TRUE(cache);
        versions.append(cache->begin(), cache->end());
        ASSERT_TRUE(
            replaceFileAtomically(clientFolder + "/items.cache", versions.data(), versions.size()));
    }
    reopenClient();
    EXPECT_LE(std::filesystem::file_size(clientFolder + "/items.cache"),
              4 * sizeof(InventoryRecord));
    EXPECT_NE(remote->item(1, nullptr)->retail_price, 99);
    EXPECT_EQ(remote->waiting(), 2u);
    EXPECT_TRUE(remote->item(1, nullptr));
    EXPECT_TRUE(remote->sendQueue().empty());
    EXPECT_EQ(remote->waiting(), 2u);  // still away: nothing sent, nothing lost

    startServer();
    EXPECT_TRUE(sendOnceBack().empty());
    EXPECT_EQ(remote->waiting(), 0u);
    EXPECT_FALSE(remote->offline());
    EXPECT_EQ(nextTransaction(), before + 2);
    const std::string log = logOfToday();
    EXPECT_EQ(countOf(log, "Station: TILL 2"), 4);
    // In the order they were sold.
    EXPECT_LT(log.find("ITEM 3"), log.find("ITEM 4"));
}

TEST_F(StationTillTest, ASaleWhoseAnswerWasLostIsNotPostedAgain) {
    losing->lose = true;
    auto sale = clientBasket({5}, "Cash", "");
    TillPostOutcome outcome = remote->postSale(*sale, "clerk");
    EXPECT_TRUE(outcome.posted);  // kept: the clerk may go on
    EXPECT_EQ(remote->waiting(), 1u);
    EXPECT_EQ(countOf(logOfToday(), "Station: TILL 2"), 1);  // it did get there

    losing->lose = false;
    EXPECT_TRUE(remote->sendQueue().empty());
    EXPECT_EQ(remote->waiting(), 0u);
    EXPECT_EQ(countOf(logOfToday(), "Station: TILL 2"), 1);
}

TEST_F(StationTillTest, AKeptSaleTheMainStationRefusesIsReportedAndKept) {
    ASSERT_TRUE(remote->item(6, nullptr));
    stopServer();
    auto sale = clientBasket({6}, "Cash", "");
    ASSERT_TRUE(remote->postSale(*sale, "clerk").posted);
    ASSERT_TRUE(deleteItem(*store, 6));
    startServer();
    std::vector<Status> refusals = sendOnceBack();
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_NE(refusals[0].message().find("Unknown item"), std::string::npos)
        << refusals[0].message();
    EXPECT_EQ(remote->waiting(), 0u);
    EXPECT_EQ(remote->refused(), 1u);
    reopenClient();
    EXPECT_EQ(remote->refused(), 1u);  // kept on disk, not dropped
    EXPECT_EQ(countOf(logOfToday(), "Station: TILL 2"), 0);

    // A kept file damaged on disk is not sent, and not left unseen; the
    // file of a sale being kept when the till was killed goes.
    ASSERT_TRUE(replaceFileAtomically(clientFolder + "/queue/00000007.queue", "KQS1 torn", 9));
    ASSERT_TRUE(replaceFileAtomically(clientFolder + "/queue/00000008.queue.new", "KQS1", 4));
    reopenClient();
    EXPECT_EQ(remote->waiting(), 1u);
    EXPECT_FALSE(fileExists(clientFolder + "/queue/00000008.queue.new"));
    refusals = remote->sendQueue();
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_NE(refusals[0].message().find("cannot be read back"), std::string::npos);
    EXPECT_EQ(remote->refused(), 2u);
    EXPECT_TRUE(fileExists(clientFolder + "/queue/refused/00000007.queue"));
    EXPECT_EQ(countOf(logOfToday(), "Station: TILL 2"), 0);
}

// A refund at a client: posted with the main station's number and negated
// totals, or kept while it is away; the Basket shows what the receipt
// prints either way, and a refused one leaves the Basket for another try.
TEST_F(StationTillTest, RefundsAtAClientArePostedOrKeptLikeSales) {
    const int stockBefore = readItem(*store, 7)->quantity;
    auto refund = clientBasket({7}, "", "");
    TillPostOutcome online = remote->postRefund(*refund, RefundChoices{0, 0}, "clerk");
    ASSERT_TRUE(online.posted);
    EXPECT_EQ(online.number, nextTransaction() - 1);
    EXPECT_EQ(refund->number, online.number);
    EXPECT_DOUBLE_EQ(refund->total, -8.0);
    EXPECT_EQ(readItem(*store, 7)->quantity, stockBefore + 1);  // back to stock
    EXPECT_NE(logOfToday().find(
                  formatted("Refund: %lld, Total: -8.00", static_cast<long long>(online.number))),
              std::string::npos);

    auto bad = clientBasket({7}, "", "");
    TillPostOutcome refused = remote->postRefund(*bad, RefundChoices{0, 5}, "clerk");
    EXPECT_TRUE(refused.stopped);
    EXPECT_DOUBLE_EQ(bad->total, 8.0);  // as it was: the clerk may try again

    stopServer();
    auto kept = clientBasket({7}, "", "");
    TillPostOutcome offline = remote->postRefund(*kept, RefundChoices{0, 0}, "clerk");
    EXPECT_TRUE(offline.posted);
    EXPECT_EQ(kept->number, 0);
    EXPECT_DOUBLE_EQ(kept->total, -8.0);
    startServer();
    EXPECT_TRUE(sendOnceBack().empty());
    EXPECT_EQ(readItem(*store, 7)->quantity, stockBefore + 2);
    EXPECT_EQ(countOf(logOfToday(), "Refund: "), 2);
}

TEST_F(StationTillTest, ACustomerAddedOrChangedAtAClientIsTheMainStationsAtOnce) {
    ScriptedUi ui;
    ScriptedCustomerForms forms;
    ClientCustomers desk(*stationClient, *remote, *client, ui, forms);

    // A number the main station already uses comes back to be put right.
    CustomerFormReply taken;
    taken.button = FormButton::kOk;
    taken.fields.number = "3";
    taken.fields.name = "CORNER CAFE";
    taken.fields.town = "LITTLETON";
    CustomerFormReply put = taken;
    put.fields.number = "50";
    forms.replies = {taken, put};
    desk.add();
    ASSERT_EQ(forms.requests.size(), 2u);
    EXPECT_EQ(forms.requests[0].fields.number, "13");  // the main station's suggestion
    EXPECT_EQ(forms.requests[1].fields.name, "CORNER CAFE");
    EXPECT_EQ(fieldText(readCustomer(*store, 3)->name), "JONES 3");
    auto added = readCustomer(*store, 50);
    ASSERT_TRUE(added);
    EXPECT_EQ(fieldText(added->town), "LITTLETON");

    // Changed by name: the main station's record and its ActivityLog.
    forms.entries = {"CORNER"};
    ui.picks = {0};
    CustomerFormReply changed;
    changed.button = FormButton::kOk;
    changed.fields = customerFields(*added);
    changed.fields.telephone = "555 0100";
    forms.replies = {changed};
    desk.amend();
    EXPECT_EQ(fieldText(readCustomer(*store, 50)->telephone), "555 0100");
    EXPECT_NE(logOfToday().find("Customer updated: 50, CORNER CAFE"), std::string::npos);

    // Without the main station nothing is pretended.
    stopServer();
    forms.replies = {put};
    forms.replies.back().fields.number = "51";
    CustomerFormReply cancel;
    forms.replies.push_back(cancel);
    ui.shown.clear();
    desk.add();
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown[0].title, "Offline");
    startServer();
    EXPECT_FALSE(readCustomer(*store, 51));
}

// The till itself at a client: a sale rung and paid by cheque is the main
// station's, and the totals show the number the main station will give next.
TEST_F(StationTillTest, AClientTillPostsThroughTheMainStationAndShowsItsNextNumber) {
    ScriptedUi ui;
    ScriptedPanels panels;
    RecordingSound sound;
    RecordingDevices devices;
    Till till(*client, *remote, ui, panels, sound, devices);
    ASSERT_TRUE(till.logOn(1, ""));
    ASSERT_TRUE(till.addFromEntry("2*4"));
    till.chequeTender();
    EXPECT_EQ(till.basket().line_count, 0);
    EXPECT_EQ(countOf(logOfToday(), "Station: TILL 2"), 1);
    EXPECT_EQ(readItem(*store, 4)->quantity, 8);
    EXPECT_EQ(till.totalsPanel().transaction, formatted("Transaction: %d", nextTransaction()));
}

TEST(ClientConfigTest, AClientKeepsItsOwnDeviceSettingsButNotTheShopsRules) {
    StoreConfig main;
    setFieldText(main.record().heading[0], "THE SHOP");
    main.record().settings_b[kSetBPoleInUse] = 0;
    main.record().options[kOptTradePrices] = 2;
    setFieldText(main.record().receipt_printer_name, "MAIN PRINTER");
    auto wire = std::make_unique<ClientConfig>();
    fillClientConfig(main, *wire);

    StoreConfig own;
    own.record().settings_b[kSetBPoleInUse] = 2;
    setFieldText(own.record().receipt_printer_name, "COUNTER 2");
    StoreConfig first = own;
    takeClientConfig(*wire, first, false);
    EXPECT_EQ(fieldText(first.record().heading[0]), "THE SHOP");
    EXPECT_EQ(first.record().settings_b[kSetBPoleInUse], 0);
    EXPECT_EQ(fieldText(first.record().receipt_printer_name), "MAIN PRINTER");

    takeClientConfig(*wire, own, true);
    EXPECT_EQ(fieldText(own.record().heading[0]), "THE SHOP");
    EXPECT_EQ(own.record().options[kOptTradePrices], 2);
    EXPECT_EQ(own.record().settings_b[kSetBPoleInUse], 2);
    EXPECT_EQ(fieldText(own.record().receipt_printer_name), "COUNTER 2");
}

}  // namespace
}  // namespace kassio::test
