// StationServer: the sixteen procedures client stations call, working on
// this station's DataStore (the same files, indexes and StoreConfig the
// till uses).
//
// Threads: every member may be called from any thread, several at once.
// Each procedure works on its own buffers and takes the DataMutex around
// its file and index work; it never shows anything. What a procedure wants
// shown at this station comes back as a notice, to be shown by the caller
// once the call is over (the DataMutex is then released).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "base/status.h"
#include "server/client_config.h"
#include "server/customer_query.h"
#include "server/file_chunk.h"
#include "server/item_page.h"
#include "server/item_query.h"
#include "server/large_item_page.h"
#include "server/number_text.h"
#include "server/procedure.h"
#include "server/receipt_words_wire.h"
#include "server/station_tables.h"
#include "store/basket.h"
#include "store/customer_record.h"
#include "store/data_store.h"
#include "store/inventory_record.h"
#include "till/posting.h"

namespace kassio {

// One call in wire form.
struct ProcedureReply {
    // False when the request was not exactly the structures the procedure
    // takes (or the procedure number is unknown): nothing was done.
    bool accepted = false;
    std::string ndr;  // the reply's structures or long return value
    Status notice;    // for the person at this station; ok() = nothing to show
};

class StationServer {
  public:
    explicit StationServer(DataStore& store) : m_store(store) {}

    // Decodes the request, runs the procedure, encodes the reply. requestId
    // (procedures 14 and 15 only; may be empty) makes a posting idempotent:
    // a repeated id gets the first answer. An id over 64 bytes is refused.
    ProcedureReply call(int procedure, std::string_view request, std::string_view requestId = {});

    // 0: an item by number, description pattern, SKU 1 or SKU fragment.
    // Nothing found: a zero record (number 0).
    void findItem(const ItemQuery& query, InventoryRecord& out);
    // 1: a customer by number or name pattern (and name prefix 2 pattern).
    void findCustomer(const CustomerQuery& query, CustomerRecord& out);
    // 2
    void clientConfig(ClientConfig& out);
    // 3
    void receiptWords(ReceiptWordsWire& out);
    // 4: puts store heading line 1 into the first text.
    void stationTables(StationTables& tables);
    // 5
    void suggestCustomerNumber(NumberText& out);
    // 6: one chunk of a plain file of the DataFolder; position 0 comes back
    // when the file cannot be read (or its name is not a plain file name).
    void fileChunk(FileChunk& chunk);
    // 7: the first page of quick-select items of the page's category.
    void firstItemPage(ItemPage& page);
    // 8: the next or previous page. A missing inventory.dat empties the page
    // and comes back as a notice.
    Status nextItemPage(ItemPage& page);
    // 12 and 13: 0 done, 2 number out of range, 3 number in use (12) or not
    // found (13), 4 customer.dat unavailable.
    int32_t addCustomer(const CustomerRecord& customer);
    int32_t changeCustomer(const CustomerRecord& customer);
    // 14 and 15: the client postings. A basket whose line count is outside
    // 0..400 is refused before anything is read, with code 1.
    ClientPostResult postSale(const Basket& basket, const std::string& requestId = {});
    ClientPostResult postRefund(const Basket& basket, const std::string& requestId = {});

  private:
    bool inventoryPresent() const;  // DataMutex held
    // After a posting that met a failing disk; a reopen that fails too is
    // put in *message unless that already says something.
    void reopenAfterDiskFailure(Status* message);

    // Client postings take turns in the order they arrived. The DataMutex
    // alone serialises them but hands itself to whichever waiter the
    // scheduler picks, so with ten stations posting at once one of them
    // could wait through many others' postings.
    class PostingTurns {
      public:
        // Waits for the caller's turn; the turn passes on at release() (once
        // the posting is committed: the wait for the disk is shared with the
        // next postings) or when the guard goes, however the posting ends.
        class Turn {
          public:
            explicit Turn(PostingTurns& turns) : m_turns(turns) { m_turns.wait(); }
            ~Turn() { release(); }
            Turn(const Turn&) = delete;
            Turn& operator=(const Turn&) = delete;
            void release() {
                if (m_held) m_turns.done();
                m_held = false;
            }

          private:
            PostingTurns& m_turns;
            bool m_held = true;
        };

      private:
        void wait();
        void done();

      private:
        std::mutex m_mutex;
        std::condition_variable m_turn;
        uint64_t m_next = 0;
        uint64_t m_serving = 0;
    };

    DataStore& m_store;
    PostingTurns m_postings;
};

// Whether procedure 6 may open this name: a plain name of a file in the
// DataFolder, never a path ("a/b", "../x") nor "." or "..".
bool isPlainFileName(std::string_view name);

}  // namespace kassio
