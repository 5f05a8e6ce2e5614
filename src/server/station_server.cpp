#include "server/station_server.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "server/basket_wire.h"
#include "server/customer_record_wire.h"
#include "server/item_record_wire.h"
#include "store/customers.h"
#include "store/write_batch.h"

namespace kassio {

void StationServer::clientConfig(ClientConfig& out) {
    auto lock = m_store.lock();
    fillClientConfig(m_store.config(), out);
}

// The words and the heading are read under the DataMutex although no file is
// touched: the station may be replacing them at that moment.
void StationServer::receiptWords(ReceiptWordsWire& out) {
    std::memset(&out, 0, sizeof out);
    auto lock = m_store.lock();
    const unsigned char* words = m_store.words().bytes();
    for (int i = 0; i < kClientWordEntries; ++i) {
        if (i == kClientWordSkipped) continue;
        std::memcpy(out.words[i], words + i * kReceiptWordWidth, sizeof out.words[i]);
    }
}

void StationServer::stationTables(StationTables& tables) {
    auto lock = m_store.lock();
    setFieldText(tables.texts[0], m_store.config().heading(1));
}

void StationServer::suggestCustomerNumber(NumberText& out) {
    std::memset(&out, 0, sizeof out);
    const int64_t number = kassio::suggestCustomerNumber(m_store);
    std::snprintf(out.text, sizeof out.text, "%lld", static_cast<long long>(number));
}

namespace {

bool trustedLineCount(const Basket& basket) {
    return basket.line_count >= 0 && basket.line_count <= kMaxBasketLines;
}

}  // namespace

void StationServer::PostingTurns::wait() {
    std::unique_lock lock(m_mutex);
    const uint64_t ticket = m_next++;
    m_turn.wait(lock, [&] { return m_serving == ticket; });
}

void StationServer::PostingTurns::done() {
    {
        std::lock_guard lock(m_mutex);
        ++m_serving;
    }
    m_turn.notify_all();
}

ClientPostResult StationServer::postSale(const Basket& basket, const std::string& requestId) {
    if (!trustedLineCount(basket)) return {kPostNoLines, Status::ok()};
    ClientPostResult result;
    {
        PostingTurns::Turn turn(m_postings);
        result = postClientSale(m_store, basket, requestId, [&turn] { turn.release(); });
    }
    reopenAfterDiskFailure(&result.stationMessage);
    return result;
}

ClientPostResult StationServer::postRefund(const Basket& basket, const std::string& requestId) {
    if (!trustedLineCount(basket)) return {kPostNoLines, Status::ok()};
    ClientPostResult result;
    {
        PostingTurns::Turn turn(m_postings);
        result = postClientRefund(m_store, basket, requestId, [&turn] { turn.release(); });
    }
    reopenAfterDiskFailure(&result.stationMessage);
    return result;
}

void StationServer::reopenAfterDiskFailure(Status* message) {
    if (m_store.files().error()) return;
    // The station has had its answer. As the till does, the server puts the
    // shop's files and its memory back in step at once (recovery, then the
    // data read again) rather than refuse every posting until it is started
    // again; while the disk still fails, this fails too and postings stay
    // refused. Left to a later posting when another is under way.
    Status s = m_store.reopen();
    if (!s && message && *message) *message = s;
}

namespace {

ProcedureReply refused() {
    return {};
}

ProcedureReply answer(std::string ndr, Status notice = Status::ok()) {
    return {true, std::move(ndr), std::move(notice)};
}

// Runs a procedure that takes one structure in and hands one back: the
// structure lives on the heap (a basket is 43 KB, too much for a thread's
// stack to carry comfortably several times over).
template <typename InFormat, typename OutFormat, typename Run>
ProcedureReply inOut(std::string_view request, Run run) {
    auto in = std::make_unique<typename InFormat::Packed>();
    if (!ndr::decode<InFormat>(request, *in)) return refused();
    if constexpr (std::is_same_v<InFormat, OutFormat>) {
        Status notice = run(*in);
        return answer(ndr::encode<OutFormat>(*in), std::move(notice));
    } else {
        auto out = std::make_unique<typename OutFormat::Packed>();
        run(*in, *out);
        return answer(ndr::encode<OutFormat>(*out));
    }
}

template <typename OutFormat, typename Run>
ProcedureReply outOnly(std::string_view request, Run run) {
    if (!request.empty()) return refused();
    auto out = std::make_unique<typename OutFormat::Packed>();
    run(*out);
    return answer(ndr::encode<OutFormat>(*out));
}

template <typename InFormat, typename Run>
ProcedureReply returnsLong(std::string_view request, Run run) {
    auto in = std::make_unique<typename InFormat::Packed>();
    if (!ndr::decode<InFormat>(request, *in)) return refused();
    Status notice;
    const int32_t value = run(*in, notice);
    return answer(ndr::encodeLong(value), std::move(notice));
}

}  // namespace

ProcedureReply StationServer::call(int procedure, std::string_view request,
                                   std::string_view requestId) {
    if (procedure < 0 || procedure >= kProcedureCount) return refused();
    if (requestId.size() > WriteBatch::kMaxRequestIdBytes) return refused();
    const std::string id(requestId);
    switch (static_cast<Procedure>(procedure)) {
        case Procedure::kFindItem:
            return inOut<ItemQueryFormat, ItemRecordFormat>(
                request, [&](const ItemQuery& q, InventoryRecord& r) { findItem(q, r); });
        case Procedure::kFindCustomer:
            return inOut<CustomerQueryFormat, CustomerRecordFormat>(
                request, [&](const CustomerQuery& q, CustomerRecord& r) { findCustomer(q, r); });
        case Procedure::kClientConfig:
            return outOnly<ClientConfigFormat>(request, [&](ClientConfig& c) { clientConfig(c); });
        case Procedure::kReceiptWords:
            return outOnly<ReceiptWordsFormat>(request,
                                               [&](ReceiptWordsWire& w) { receiptWords(w); });
        case Procedure::kStationTables:
            return inOut<StationTablesFormat, StationTablesFormat>(request, [&](StationTables& t) {
                stationTables(t);
                return Status::ok();
            });
        case Procedure::kSuggestCustomerNumber:
            return outOnly<NumberTextFormat>(request,
                                             [&](NumberText& n) { suggestCustomerNumber(n); });
        case Procedure::kFileChunk:
            return inOut<FileChunkFormat, FileChunkFormat>(request, [&](FileChunk& c) {
                fileChunk(c);
                return Status::ok();
            });
        case Procedure::kFirstItemPage:
            return inOut<ItemPageFormat, ItemPageFormat>(request, [&](ItemPage& p) {
                firstItemPage(p);
                return Status::ok();
            });
        case Procedure::kNextItemPage:
            return inOut<ItemPageFormat, ItemPageFormat>(
                request, [&](ItemPage& p) { return nextItemPage(p); });
        case Procedure::kLargeItemPage:
            return inOut<LargeItemPageFormat, LargeItemPageFormat>(
                request, [](LargeItemPage&) { return Status::ok(); });
        case Procedure::kItemRecord10:
        case Procedure::kItemRecord11:
            return returnsLong<ItemRecordFormat>(request,
                                                 [](const InventoryRecord&, Status&) { return 0; });
        case Procedure::kAddCustomer:
            return returnsLong<CustomerRecordFormat>(
                request, [&](const CustomerRecord& c, Status&) { return addCustomer(c); });
        case Procedure::kChangeCustomer:
            return returnsLong<CustomerRecordFormat>(
                request, [&](const CustomerRecord& c, Status&) { return changeCustomer(c); });
        case Procedure::kPostSale:
            return returnsLong<BasketFormat>(request, [&](const Basket& b, Status& notice) {
                ClientPostResult r = postSale(b, id);
                notice = r.stationMessage;
                return r.code;
            });
        case Procedure::kPostRefund:
            return returnsLong<BasketFormat>(request, [&](const Basket& b, Status& notice) {
                ClientPostResult r = postRefund(b, id);
                notice = r.stationMessage;
                return r.code;
            });
    }
    return refused();
}

}  // namespace kassio
