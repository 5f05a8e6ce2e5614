// A first-start shop in a temporary DataFolder served by a real station
// server, and clients that reach it through gRPC.
#pragma once

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/fixed_text.h"
#include "platform/grpc/grpc_station_server.h"
#include "platform/grpc/grpc_station_transport.h"
#include "server/station_client.h"
#include "store/basket.h"
#include "store/store_fixture.h"

namespace kassio::test {

// A client station's basket: one unit per item (0 = a non-inventory line)
// at 1.00 more than the item number, no tax.
inline std::unique_ptr<Basket> clientBasket(const std::vector<int64_t>& items, const char* payment,
                                            const std::string& station) {
    auto b = std::make_unique<Basket>();
    std::memset(b.get(), 0, sizeof *b);
    for (int64_t item : items) {
        const int i = b->line_count++;
        b->item[i] = item;
        setFieldText(b->description[i], ("ITEM " + std::to_string(item)).c_str());
        b->non_taxable[i] = b->line_total[i] = 1.0 + static_cast<double>(item);
        b->cost[i] = b->non_taxable[i] / 2;
        b->total_non_taxable += b->non_taxable[i];
        b->total += b->line_total[i];
        b->subtotal += b->line_total[i];
        b->total_cost += b->cost[i];
    }
    b->clerk = 1;
    setFieldText(b->payment_word, payment);
    setFieldText(b->texts[0], station);
    return b;
}

class StationTest : public StoreTest {
  protected:
    void TearDown() override {
        if (server) server->stop();
    }

    void startServer(const ServerSettings& settings = {}) {
        server = GrpcStationServer::start(
            *store, settings,
            [this](const Status& notice) {
                // Whether another thread could take the DataMutex at this
                // moment: a notice must never be handed on while it is held.
                auto free = std::async(std::launch::async, [this] {
                    if (!store->mutex().try_lock()) return false;
                    store->mutex().unlock();
                    return true;
                });
                const bool mutexFree = free.get();
                std::lock_guard lock(m_noticesMutex);
                notices.push_back(notice);
                noticesWithMutexFree.push_back(mutexFree);
            },
            &startError, &startWarning);
        ASSERT_NE(server, nullptr) << startError.message();
    }

    std::unique_ptr<StationClient> clientOn(const std::string& endpoint,
                                            const std::string& key = {}) {
        m_transports.push_back(std::make_unique<GrpcStationTransport>(endpoint, key));
        return std::make_unique<StationClient>(*m_transports.back());
    }
    std::unique_ptr<StationClient> socketClient() { return clientOn(server->socketEndpoint()); }

    std::vector<Status> noticesSeen() {
        std::lock_guard lock(m_noticesMutex);
        return notices;
    }

    std::unique_ptr<GrpcStationServer> server;
    Status startError, startWarning;
    std::vector<Status> notices;
    std::vector<bool> noticesWithMutexFree;

  private:
    std::mutex m_noticesMutex;
    std::vector<std::unique_ptr<GrpcStationTransport>> m_transports;
};

}  // namespace kassio::test
