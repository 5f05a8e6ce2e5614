// A client station's request as it arrives over the wire, run by
// StationServer::call on the sample shop: the first byte chooses the
// procedure (low four bits) and, when its top bit is set, the rest is cut
// or zero-padded to the size of the procedure's request so that the
// procedure always runs. Only a request of exactly the right size is taken;
// the reply has the size of the procedure's answer. After a procedure that
// writes, the station's indexes and configuration must agree with a fresh
// load of what it wrote; then the shop is put back for the next input.
#include <memory>

#include "fuzz_support.h"
#include "procedure_sizes.h"
#include "server/station_server.h"

namespace kassio::fuzz {
namespace {

bool writes(Procedure p) {
    return p == Procedure::kAddCustomer || p == Procedure::kChangeCustomer ||
           p == Procedure::kPostSale || p == Procedure::kPostRefund;
}

// The live entries of two indexes, in order, and the deleted count.
void checkSameIndex(const RecordFile& running, const RecordFile& loaded) {
    const RecordIndex& a = running.index();
    const RecordIndex& b = loaded.index();
    FUZZ_CHECK(a.slotCount() == b.slotCount() && a.deletedCount() == b.deletedCount(),
               running.spec().fileName + ": slots");
    for (std::size_t i = a.deletedCount(); i < a.entries().size(); ++i) {
        FUZZ_CHECK(a.entries()[i].number == b.entries()[i].number &&
                       a.entries()[i].slot == b.entries()[i].slot,
                   running.spec().fileName + ": index differs from the file");
        FUZZ_CHECK(a.prefix(a.entries()[i].slot) == b.prefix(a.entries()[i].slot),
                   running.spec().fileName + ": prefix differs from the file");
    }
}

class Shop {
  public:
    Shop() { reset(); }
    DataStore& store() { return *m_store; }
    const std::string& folder() const { return m_folder.path(); }

    void reset() {
        m_store.reset();
        m_folder.empty();
        SampleShop::get().writeTo(m_folder.path());
        m_store = std::make_unique<DataStore>(m_folder.path(), m_clock);
        m_store->setSync(false);
        if (!m_store->openData()) std::abort();
    }

  private:
    ScratchFolder m_folder;
    FuzzClock m_clock;
    std::unique_ptr<DataStore> m_store;
};

}  // namespace
}  // namespace kassio::fuzz

using namespace kassio;
using namespace kassio::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static Shop shop;
    static FuzzClock clock;
    if (size < 1) return 0;
    const int procedure = data[0] & 0x0f;
    const auto p = static_cast<Procedure>(procedure);
    const Sizes sizes = sizesOf(p);
    std::string request(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 0x80) request.resize(sizes.request, '\0');

    StationServer server(shop.store());
    const ProcedureReply reply = server.call(procedure, request);
    FUZZ_CHECK(reply.accepted == (request.size() == sizes.request), "accepted the wrong size");
    if (!reply.accepted) {
        FUZZ_CHECK(reply.ndr.empty(), "a refused call answered");
        return 0;
    }
    FUZZ_CHECK(reply.ndr.size() == sizes.reply, "reply size");
    if (!writes(p)) return 0;

    DataStore loaded(shop.folder(), clock);
    FUZZ_CHECK(loaded.openData().isOk(), "the station left files it cannot open");
    checkSameIndex(shop.store().items(), loaded.items());
    checkSameIndex(shop.store().customers(), loaded.customers());
    FUZZ_CHECK(shop.store().config().nextTransaction() == loaded.config().nextTransaction(),
               "next transaction number not on disk");
    shop.reset();
    return 0;
}
