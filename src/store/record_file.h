// A record file (inventory.dat, customer.dat, suppliers.dat) with its
// in-memory index: slot n is the record at byte n * record size; every
// record begins with its int64 number; -1 marks a deleted slot.
//
// Contract: every member is called with the DataMutex held. Reads and
// writes go through StoreFiles: a read is one pread on a descriptor kept
// open, and a write joins the caller's Batch (or is a Batch of its own).
// The index changes only after the write it describes has been accepted,
// so a refused write never leaves the index naming a slot the file does
// not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/status.h"
#include "store/record_index.h"
#include "store/store_files.h"

namespace kassio {

struct RecordFileSpec {
    std::string fileName;     // "inventory.dat"
    std::size_t recordSize;   // bytes per slot
    std::size_t extraRoom;    // index room beyond the slots at load
    int prefixOffset;         // first two bytes of this field; -1: no prefix table
    bool zeroNumbersDeleted;  // a slot numbered 0 or below is taken as deleted
};

class RecordFile {
  public:
    enum class LoadError { kNone, kCannotOpen, kEmpty, kBadSize, kReadFailed };

    // Told about every slot whose content the store now holds: after load
    // (live slots only), insert and write with the record, and after delete
    // with nullptr. Lets the item file keep its SKU lookup in step.
    using SlotObserver = std::function<void(uint64_t slot, const unsigned char* record)>;

    RecordFile(RecordFileSpec spec, StoreFiles& files);

    // Reads every slot and builds the index; the file is never written.
    LoadError load();

    std::optional<uint64_t> find(int64_t number) const { return m_index.find(number); }

    Status read(uint64_t slot, void* record) const;
    // Writes a record back to its slot (the number must not change).
    // before: the slot's record as the caller read it in this batch, when
    // it has it (StoreFiles::write).
    Status write(uint64_t slot, const void* record, const void* before = nullptr);
    // Stores a new record in the first deleted slot, else at the end; the
    // caller has checked its number is free. Gives the slot used.
    Status insert(const void* record, uint64_t* slotOut = nullptr);
    // Marks the slot deleted in the file (its number, and the first two bytes
    // of the prefix field when the file has a prefix table; the rest of the
    // record stays as it was) and moves its index entry to the deleted entries.
    Status remove(uint64_t slot);

    // The offered number for a new record: the candidate itself when free,
    // else the number after the run of consecutive numbers starting there.
    int64_t suggestNumber(int64_t candidate) const;

    void setObserver(SlotObserver observer) { m_observer = std::move(observer); }

    const RecordIndex& index() const { return m_index; }
    const RecordFileSpec& spec() const { return m_spec; }
    // The file's name in the DataFolder, and its full path.
    const std::string& name() const { return m_spec.fileName; }
    std::string path() const { return m_files.pathOf(m_spec.fileName); }

    // Every commit so far in the file itself (StoreFiles::settle()), before
    // a scan that reads the file directly.
    Status settle() const { return m_files.settle(); }

    Status notPresent() const;   // "Data file: %s, not present."
    Status cannotWrite() const;  // "Not able to write to %s"

  private:
    RecordIndex::Prefix prefixOf(const unsigned char* record) const;

    RecordFileSpec m_spec;
    StoreFiles& m_files;
    RecordIndex m_index;
    SlotObserver m_observer;
};

}  // namespace kassio
