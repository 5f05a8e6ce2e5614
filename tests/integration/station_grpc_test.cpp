// The station server over real gRPC: every procedure through the unix
// socket, the station key on TCP, start-up on a stale socket, notices for
// the station, and a stop that lets a posting finish.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "base/fixed_text.h"
#include "server/basket_wire.h"
#include "station_fixture.h"
#include "store/items.h"

namespace kassio::test {
namespace {

std::unique_ptr<Basket> oneLineBasket(int64_t item, const char* payment = "Cash") {
    return clientBasket({item}, payment, "TILL 2");
}

TEST_F(StationTest, TcpCallsNeedTheStationKeyAndChangeNothingWithout) {
    ServerSettings settings;
    settings.listenAddress = "127.0.0.1:0";
    settings.stationKey = "k3y-for-tests";
    startServer(settings);
    ASSERT_GT(server->tcpPort(), 0);
    const std::string tcp = "127.0.0.1:" + std::to_string(server->tcpPort());

    struct Case {
        std::string key;
        bool served;
    };
    const Case cases[] = {{"", false},
                          {"wrong", false},
                          {"k3y-for-tests-", false},
                          {"k3y-for-test", false},
                          {"k3y-for-tests", true}};
    int64_t number = 20;
    for (const Case& c : cases) {
        auto client = clientOn(tcp, c.key);
        CustomerRecord rec = makeCustomer(++number, "BY TCP");
        int32_t result = -1;
        Status s = client->addCustomer(rec, result);
        EXPECT_EQ(s.isOk(), c.served) << c.key;
        EXPECT_EQ(readCustomer(*store, number).has_value(), c.served) << c.key;
        if (!c.served) {
            EXPECT_NE(s.message().find("station key"), std::string::npos) << s.message();
            auto b = oneLineBasket(1);
            EXPECT_FALSE(client->postSale(*b, result));
        }
    }
    EXPECT_EQ(nextTransaction(), 1);  // no refused posting got through
    // The DataFolder's socket needs no key.
    int32_t result = -1;
    CustomerRecord local = makeCustomer(99, "ON THE SOCKET");
    ASSERT_TRUE(socketClient()->addCustomer(local, result));
    EXPECT_EQ(result, 0);
}

TEST_F(StationTest, UnusableTcpSettingsLeaveTheSocketServing) {
    int taken = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(taken, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(taken, 1), 0);
    socklen_t len = sizeof addr;
    ::getsockname(taken, reinterpret_cast<sockaddr*>(&addr), &len);
    const std::string busy = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));

    struct Case {
        const char* listen;
        const char* key;
        std::string warning;
    };
    const Case cases[] = {{"127.0.0.1:0", "", "No station key set"},
                          {"unix:/tmp/other.sock", "k3y", "must be host:port"},
                          {busy.c_str(), "k3y", "cannot listen on " + busy}};
    for (const Case& c : cases) {
        ServerSettings settings;
        settings.listenAddress = c.listen;
        settings.stationKey = c.key;
        startServer(settings);
        EXPECT_EQ(server->tcpPort(), 0) << c.listen;
        EXPECT_NE(startWarning.message().find(c.warning), std::string::npos)
            << startWarning.message();
        NumberText n;
        EXPECT_TRUE(socketClient()->suggestCustomerNumber(n)) << c.listen;
        server->stop();
    }
    ::close(taken);
}

TEST_F(StationTest, StartsOverAStaleSocketButNotOverAFile) {
    // What a station that did not close down leaves behind.
    const std::string path = data + "/rpc4.sock";
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    startServer();
    ItemQuery q{};
    setFieldText(q.text, "2");
    InventoryRecord item;
    ASSERT_TRUE(socketClient()->findItem(q, item));
    EXPECT_EQ(+item.number, 2);
    server->stop();

    ASSERT_TRUE(replaceFileAtomically(path, "MINE", 4));
    Status error;
    auto refused = GrpcStationServer::start(*store, {}, {}, &error);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(error.message(), "Registering server");
    EXPECT_EQ(readWholeFile(path)->size(), 4u);
}

TEST_F(StationTest, MalformedRequestsAreRefused) {
    startServer();
    GrpcStationTransport raw(server->socketEndpoint(), "");
    EXPECT_FALSE(raw.call(Procedure::kFindItem, std::string(47, 'x')).ok);
    EXPECT_FALSE(raw.call(Procedure::kPostSale, std::string(kBasketSize, '\0')).ok);
    EXPECT_FALSE(raw.call(Procedure::kPostSale, std::string(200000, '\0')).ok);  // too big
    EXPECT_FALSE(raw.call(Procedure::kClientConfig, "x").ok);
    EXPECT_TRUE(raw.call(Procedure::kClientConfig, "").ok);
    EXPECT_EQ(nextTransaction(), 1);
}

TEST_F(StationTest, NoticeForTheStationComesAfterTheMutexIsFree) {
    startServer();
    auto refund = oneLineBasket(999, "Refund");  // an item the station does not know
    int32_t result = -1;
    ASSERT_TRUE(socketClient()->postRefund(*refund, result));
    EXPECT_EQ(result, 8);
    auto seen = noticesSeen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message(), "Invalid entry");
    EXPECT_EQ(seen[0].title(), "Problem");
    EXPECT_TRUE(noticesWithMutexFree[0]);
}

TEST_F(StationTest, StopLetsAPostingInProgressFinish) {
    startServer();
    auto client = socketClient();
    std::unique_lock hold(store->mutex());  // the till is busy: the posting waits
    int32_t result = -1;
    std::thread poster([&] {
        auto b = oneLineBasket(1);
        EXPECT_TRUE(client->postSale(*b, result));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::thread stopper([&] { server->stop(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    hold.unlock();
    poster.join();
    stopper.join();
    EXPECT_EQ(result, 2 + 20);
    EXPECT_EQ(nextTransaction(), 2);
}

// The answer lost on the way back: the call reached the server, the client
// heard nothing.
class AnswerLostOnce final : public StationTransport {
  public:
    explicit AnswerLostOnce(StationTransport& real) : m_real(real) {}
    TransportReply call(Procedure p, const std::string& request,
                        const std::string& requestId = {}) override {
        ids.push_back(requestId);
        TransportReply r = m_real.call(p, request, requestId);
        if (ids.size() == 1) return {false, {}, "connection reset"};
        return r;
    }
    std::vector<std::string> ids;

  private:
    StationTransport& m_real;
};

TEST_F(StationTest, ARetriedPostingWithTheSameRequestIdPostsOnce) {
    startServer();
    GrpcStationTransport grpc(server->socketEndpoint(), "");
    const LocalTime today = clock.now();
    auto salesToday = [&] {
        return store->journal().readSales(today.year, today.month, today.day);
    };

    // The same id twice on the wire, for a sale and for a refund: the second
    // call gets the first answer and posts nothing.
    struct Case {
        Procedure procedure;
        const char* id;
        const char* payment;
    };
    for (const Case& c : {Case{Procedure::kPostSale, "sale-1", "Cash"},
                          Case{Procedure::kPostRefund, "refund-1", "Refund"}}) {
        SCOPED_TRACE(c.id);
        const std::string ndr = ndr::encode<BasketFormat>(*oneLineBasket(2, c.payment));
        const std::size_t salesBefore = salesToday().size();
        TransportReply first = grpc.call(c.procedure, ndr, c.id);
        TransportReply again = grpc.call(c.procedure, ndr, c.id);
        ASSERT_TRUE(first.ok && again.ok);
        EXPECT_EQ(first.ndr, again.ndr);
        EXPECT_EQ(salesToday().size(), salesBefore + 1);
        TransportReply fresh = grpc.call(c.procedure, ndr, std::string(c.id) + "-new");
        ASSERT_TRUE(fresh.ok);
        EXPECT_NE(fresh.ndr, first.ndr);
        EXPECT_EQ(salesToday().size(), salesBefore + 2);
    }
    const int stock = readItem(*store, 2)->quantity;

    // StationClient sends the same id again when the answer is lost.
    AnswerLostOnce lossy(grpc);
    StationClient client(lossy);
    int32_t result = -1;
    const int next = nextTransaction();
    ASSERT_TRUE(client.postSale(*oneLineBasket(2), result));
    EXPECT_EQ(result, next + 1 + kPostedOffset);
    ASSERT_EQ(lossy.ids.size(), 2u);
    EXPECT_EQ(lossy.ids[0], lossy.ids[1]);
    EXPECT_EQ(lossy.ids[0].size(), 32u);
    EXPECT_EQ(readItem(*store, 2)->quantity, stock - 1);
    EXPECT_EQ(nextTransaction(), next + 1);

    // An id longer than the server remembers is refused, not posted.
    EXPECT_FALSE(grpc.call(Procedure::kPostSale, ndr::encode<BasketFormat>(*oneLineBasket(2)),
                           std::string(65, 'x'))
                     .ok);
    EXPECT_EQ(nextTransaction(), next + 1);
}

}  // namespace
}  // namespace kassio::test
