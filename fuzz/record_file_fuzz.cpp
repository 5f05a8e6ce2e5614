// inventory.dat, customer.dat or suppliers.dat (the first byte chooses)
// as found on disk, loaded by DataStore::openData beside the sample shop's
// other files. A refused file must come back as a Status; a loaded one must
// have an index that agrees with the file slot by slot, before and after a
// delete and an insert through the index.
#include <algorithm>
#include <cstring>
#include <map>

#include "base/fixed_text.h"
#include "fuzz_support.h"
#include "store/customer_record.h"
#include "store/customers.h"
#include "store/inventory_record.h"
#include "store/items.h"
#include "store/supplier_record.h"
#include "store/suppliers.h"

namespace kassio::fuzz {
namespace {

const char* const kFileNames[3] = {"inventory.dat", "customer.dat", "suppliers.dat"};

RecordFile& fileOf(DataStore& store, int which) {
    return which == 0 ? store.items() : which == 1 ? store.customers() : store.suppliers();
}

int64_t numberAt(const std::string& bytes, std::size_t offset) {
    int64_t n;
    std::memcpy(&n, bytes.data() + offset, sizeof n);
    return n;
}

// Checks the loaded index against the file's bytes as they are on disk.
void checkIndex(const RecordFile& file, const std::string& bytes) {
    const RecordIndex& ix = file.index();
    const RecordFileSpec& spec = file.spec();
    const std::size_t rs = spec.recordSize;
    const std::size_t slots = bytes.size() / rs;
    FUZZ_CHECK(bytes.size() % rs == 0, spec.fileName);
    FUZZ_CHECK(ix.slotCount() == slots, spec.fileName);
    FUZZ_CHECK(ix.entries().size() == slots, spec.fileName);
    FUZZ_CHECK(ix.deletedCount() + ix.liveCount() == slots, spec.fileName);
    FUZZ_CHECK(ix.room() >= slots, spec.fileName);

    std::vector<bool> seen(slots, false);
    std::map<int64_t, uint64_t> firstSlot;  // lowest live slot per number
    const auto& entries = ix.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IndexEntry& e = entries[i];
        FUZZ_CHECK(e.slot < slots && !seen[e.slot], "each slot once");
        seen[e.slot] = true;
        const int64_t onDisk = numberAt(bytes, e.slot * rs);
        const bool deletedOnDisk = spec.zeroNumbersDeleted ? onDisk <= 0 : onDisk < 0;
        if (i < ix.deletedCount()) {
            FUZZ_CHECK(e.number == kDeletedNumber, "deleted entries first");
            FUZZ_CHECK(deletedOnDisk, "a deleted entry names a live slot");
            FUZZ_CHECK(ix.prefix(e.slot) == RecordIndex::Prefix{}, "deleted slot keeps a prefix");
            continue;
        }
        FUZZ_CHECK(!deletedOnDisk && e.number == onDisk, "live entry disagrees with the file");
        if (i > 0) {
            FUZZ_CHECK(entries[i - 1].number <= e.number, "entries out of order");
            if (entries[i - 1].number == e.number)
                FUZZ_CHECK(entries[i - 1].slot < e.slot, "duplicates out of slot order");
        }
        firstSlot.emplace(e.number, e.slot);
        if (spec.prefixOffset >= 0) {
            const std::size_t p = e.slot * rs + static_cast<std::size_t>(spec.prefixOffset);
            FUZZ_CHECK((ix.prefix(e.slot) == RecordIndex::Prefix{bytes[p], bytes[p + 1]}),
                       "prefix table");
        }
    }
    for (const auto& [number, slot] : firstSlot) {
        auto found = file.find(number);
        if (number <= 0)
            FUZZ_CHECK(!found, "number 0 or below found");
        else
            FUZZ_CHECK(found && *found == slot, "find() misses the first live slot");
    }
}

// The SKU lookup must give what a slot-by-slot scan of the item file gives.
void checkSkus(DataStore& store, const std::string& bytes) {
    std::map<std::string, uint64_t> first;
    const std::size_t slots = bytes.size() / kInventoryRecordSize;
    for (std::size_t s = 0; s < slots; ++s) {
        InventoryRecord r;
        std::memcpy(&r, bytes.data() + s * kInventoryRecordSize, sizeof r);
        if (r.number <= 0) continue;
        first.emplace(fieldText(r.sku1), s);
    }
    for (const auto& [sku, slot] : first) {
        auto found = store.skus().find(sku);
        FUZZ_CHECK(found && *found == slot, "SKU 1 lookup: " + sku);
    }
}

struct Target {
    ScratchFolder folder;
    FuzzClock clock;
};

}  // namespace
}  // namespace kassio::fuzz

using namespace kassio;
using namespace kassio::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static Target t;
    if (size < 1) return 0;
    const int which = data[0] % 3;
    const std::string fileBytes(reinterpret_cast<const char*>(data + 1), size - 1);

    t.folder.empty();
    SampleShop::get().writeTo(t.folder.path());
    writeFile(t.folder / kFileNames[which], fileBytes);

    DataStore store(t.folder.path(), t.clock);
    store.setSync(false);
    Status s = store.openData();
    if (!s) {
        FUZZ_CHECK(!s.message().empty() && s.fatal(), "a refused file needs a fatal message");
        FUZZ_CHECK(s.kind() == Status::Kind::kCorruption || s.kind() == Status::Kind::kNotFound,
                   s.message());
        return 0;
    }
    RecordFile& file = fileOf(store, which);
    checkIndex(file, fileBytes);
    if (which == 0) checkSkus(store, fileBytes);

    // Delete the live record the second byte points at, then insert a copy
    // of slot 0 under the number offered for a new record.
    const auto& entries = file.index().entries();
    const std::size_t live = file.index().liveCount();
    if (live > 0) {
        const std::size_t pick = file.index().deletedCount() + (size > 1 ? data[1] : 0) % live;
        const uint64_t slot = entries[pick].slot;
        FUZZ_CHECK(file.remove(slot).isOk(), "remove");
    }
    const int64_t number = which == 0   ? suggestItemNumber(store)
                           : which == 1 ? suggestCustomerNumber(store)
                                        : suggestSupplierNumber(store);
    FUZZ_CHECK(number > 0 && !file.find(number), "the offered number is taken");
    if (number <= kMaxRecordNumber) {
        std::string record(fileBytes.substr(0, file.spec().recordSize));
        std::memcpy(record.data(), &number, sizeof number);
        uint64_t slot = 0;
        FUZZ_CHECK(file.insert(record.data(), &slot).isOk(), "insert");
        FUZZ_CHECK(file.find(number) == slot, "inserted record not found");
    }
    const std::string after = readFile(t.folder / kFileNames[which]);
    checkIndex(file, after);
    if (which == 0) checkSkus(store, after);
    return 0;
}
