// kq.cfg of any length and content, loaded by DataStore::openData beside
// the sample shop, then read by everything that takes its values as they
// come: the configuration pages, the offered numbers, the client stations'
// copy, the receipts, the pole and the printer.
#include "device_consumers.h"
#include "devices/language_customization.h"
#include "fuzz_support.h"
#include "server/client_config.h"
#include "store/customers.h"
#include "store/items.h"

using namespace kassio;
using namespace kassio::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static ScratchFolder folder;
    static FuzzClock clock;
    folder.empty();
    SampleShop::get().writeTo(folder.path());
    writeFile(folder / "kq.cfg", std::string_view(reinterpret_cast<const char*>(data), size));

    DataStore store(folder.path(), clock);
    store.setSync(false);
    // A start refuses a kq.cfg that is not whole or holds impossible values,
    // leaving it as it was; a read-only open (kassio-admin check) reads any
    // kq.cfg as far as it goes, and the readers below must cope with it.
    Status s = store.openData();
    if (!s) {
        FUZZ_CHECK(s.kind() == Status::Kind::kCorruption && s.fatal(), s.message());
        FUZZ_CHECK(
            readFile(folder / "kq.cfg") == std::string(reinterpret_cast<const char*>(data), size),
            "a refused kq.cfg was changed");
        s = store.openData(DataStore::OpenMode::kReadOnly);
        FUZZ_CHECK(s.isOk(), s.message());
        FUZZ_CHECK(!store.configProblem().isOk(), "refused, yet no problem kept");
    } else {
        FUZZ_CHECK(size == kStoreConfigSize, "a kq.cfg of another size was taken");
    }

    StoreConfig& config = store.config();
    const StoreConfigRecord& r = config.record();
    FUZZ_CHECK(r.next_transaction != 0 && r.next_transaction <= kMaxTransactionNumber,
               "next transaction not repaired");
    FUZZ_CHECK(r.settings_a[kSetAHistoryStart + 2] >= kEarliestHistoryYear, "history year");
    FUZZ_CHECK(!config.heading(1).empty(), "empty heading not filled");

    for (int c = -1; c <= kDisplayCategories; ++c)
        FUZZ_CHECK(config.categoryCode(c).size() <= 3, "category code");
    for (int line = 0; line <= 8; ++line) static_cast<void>(config.heading(line));
    for (int clerk = 0; clerk <= kClerkCount + 1; ++clerk)
        static_cast<void>(config.clerkName(clerk));
    for (int band = 0; band <= 9; ++band) static_cast<void>(termsBandText(config, band));
    static_cast<void>(TermsPage::load(config));
    static_cast<void>(config.lastStart());

    const int64_t item = suggestItemNumber(store);
    FUZZ_CHECK(item > 0 && !store.items().find(item), "offered item number");
    const int64_t customer = suggestCustomerNumber(store);
    FUZZ_CHECK(customer > 0 && !store.customers().find(customer), "offered customer number");

    auto client = std::make_unique<ClientConfig>();
    fillClientConfig(config, *client);

    exerciseDevices(r, store.words());
    LanguageCustomization words(r, store.words());
    FUZZ_CHECK(words.language() >= 0 && words.language() < kLanguageCount, "language");

    // The General page opened and saved as it stands, twice: the second
    // save must find what the first one stored.
    GeneralPage page = GeneralPage::load(config);
    page.apply(config, clock.now());
    GeneralPage again = GeneralPage::load(config);
    again.apply(config, clock.now());
    const GeneralPage third = GeneralPage::load(config);
    FUZZ_CHECK(third.tax1Name == again.tax1Name && third.tax2Name == again.tax2Name,
               "tax names change on a second save");
    for (int c = 0; c < kDisplayCategories; ++c)
        FUZZ_CHECK(third.categoryCodes[c] == again.categoryCodes[c], "category codes");
    return 0;
}
