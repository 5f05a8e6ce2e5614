// One day of the journal as found on disk: the year index, the sales log,
// the line log, the stock-received log and the activity log (five sections
// of the input, see splitSections). Read back through every reader: the pick
// lists, recall, find, the stock-received report and kassio-admin's listing.
// Whatever the bytes, a reader may only hand back whole records of the day.
#include <algorithm>

#include "admin/admin_program.h"
#include "fuzz_support.h"
#include "inventory/stock_received.h"
#include "support/scripted_ui.h"

using namespace kassio;
using namespace kassio::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static ScratchFolder folder;
    static FuzzClock clock;
    const LocalTime today = clock.now();
    folder.empty();
    SampleShop::get().writeTo(folder.path());

    const auto parts = splitSections(data, size, 5);
    DataStore store(folder.path(), clock);
    store.setSync(false);
    Journal& journal = store.journal();
    if (!makeDirectories(journal.dayFolder(today.year, today.month, today.day))) std::abort();
    writeFile(journal.yearIndexPath(today.year), parts[0]);
    writeFile(journal.salesLogPath(today.year, today.month, today.day), parts[1]);
    writeFile(journal.itemsLogPath(today.year, today.month, today.day), parts[2]);
    writeFile(journal.receivedLogPath(today.year, today.month, today.day), parts[3]);
    writeFile(journal.activityLogPath(today.year, today.month, today.day), parts[4]);
    // A start refuses a day whose files end in a partial record, or a year
    // index whose last number is not below kq.cfg's next one; the files are
    // then still read as they are (kassio-admin check).
    if (Status s = store.openData(); !s) {
        FUZZ_CHECK(s.kind() == Status::Kind::kCorruption && s.fatal(), s.message());
        FUZZ_CHECK(store.openData(DataStore::OpenMode::kReadOnly).isOk(), "read-only openData");
    }

    const auto index = journal.readYearIndex(today.year);
    const auto sales = journal.readSales(today.year, today.month, today.day);
    const auto lines = journal.readLines(today.year, today.month, today.day);
    const auto received = journal.readReceived(today.year, today.month, today.day);
    const std::size_t indexBytes = parts[0].size() < 4 ? 0 : parts[0].size() - 4;
    FUZZ_CHECK(index.size() == indexBytes / sizeof(TransactionIndexEntry), "year index count");
    FUZZ_CHECK(sales.size() == parts[1].size() / sizeof(SaleRecord), "sales count");
    FUZZ_CHECK(lines.size() == parts[2].size() / sizeof(SaleLineRecord), "lines count");
    FUZZ_CHECK(received.size() == parts[3].size() / sizeof(ReceivedRecord), "received count");
    FUZZ_CHECK(journal.readActivityLog(today.year, today.month, today.day) == parts[4],
               "activity log");

    for (const SaleRecord& sale : sales) {
        auto t = journal.recall(sale.number, today.day, today.month, today.year);
        FUZZ_CHECK(t && t->sale.number == sale.number, "recall misses a sale on file");
        const auto expected =
            std::count_if(lines.begin(), lines.end(),
                          [&](const SaleLineRecord& l) { return l.number == sale.number; });
        FUZZ_CHECK(static_cast<long>(t->lines.size()) == expected, "recalled lines");
    }
    for (const TransactionIndexEntry& e : index) {
        auto ref = journal.find(e.number, today.year - 1, today.year);
        FUZZ_CHECK(ref && ref->number == e.number && ref->year == today.year, "find");
    }

    const LocalTime start{today.year, today.month, 1, 0, 0, 0};
    for (PickListKind kind :
         {PickListKind::kWholeHistory, PickListKind::kYear, PickListKind::kMonth,
          PickListKind::kDay, PickListKind::kDiscounted}) {
        PickList list = journal.pickList(kind, start, today, today.year, today.month, today.day);
        FUZZ_CHECK(list.entries.size() == list.texts.size(), "pick list texts");
        FUZZ_CHECK(list.entries.size() <= kPickListLimit, "pick list limit");
    }

    DateRange range{1, today.month, today.year, today.day, today.month, today.year};
    const auto report = receivedReportLines(store, range);
    FUZZ_CHECK(report.size() == received.size(), "received report lines");
    static_cast<void>(pageReceivedReport(store.config().heading(1), report, 60));

    test::ScriptedUi ui;
    std::FILE* out = std::fopen("/dev/null", "w");
    AdminEnvironment env{clock, ui, out, "", "", {}};
    const std::string year = std::to_string(today.year);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"journal", "--data-dir", folder.path()},
          {"journal", "--data-dir", folder.path(), year, "12", "6"}})
        static_cast<void>(runAdmin(args, env));
    std::fclose(out);
    return 0;
}
