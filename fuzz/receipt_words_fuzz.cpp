// language.ini of any length and content, loaded by DataStore::openData
// beside the sample shop, then read word by word by the wording page, the
// client stations' copy and the receipts.
#include "device_consumers.h"
#include "devices/language_customization.h"
#include "fuzz_support.h"
#include "server/station_server.h"

using namespace kassio;
using namespace kassio::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static ScratchFolder folder;
    static FuzzClock clock;
    folder.empty();
    SampleShop::get().writeTo(folder.path());
    writeFile(folder / "language.ini", std::string_view(reinterpret_cast<const char*>(data), size));

    DataStore store(folder.path(), clock);
    store.setSync(false);
    Status s = store.openData();
    FUZZ_CHECK(s.isOk(), s.message());

    const ReceiptWords& words = store.words();
    for (int slot = -1; slot <= kReceiptWordSlots; ++slot)
        FUZZ_CHECK(words.word(slot).size() <= kReceiptWordWidth, "a word longer than its slot");

    LanguageCustomization page(store.config().record(), words);
    for (int slot = 1; slot <= kCustomWordCount; ++slot)
        page.edit(slot, page.current(slot) + page.builtIn(slot));
    ReceiptWords edited = words;
    page.apply(store.config().record(), edited);

    StationServer server(store);
    ProcedureReply reply = server.call(static_cast<int>(Procedure::kReceiptWords), {});
    FUZZ_CHECK(reply.accepted && reply.ndr.size() == ndr::kWireSize<ReceiptWordsFormat>,
               "receipt words reply");

    exerciseDevices(store.config().record(), words);
    exerciseDevices(store.config().record(), edited);
    return 0;
}
