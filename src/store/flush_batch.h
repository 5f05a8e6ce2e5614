// Group commit for postings: while a posting holds the DataMutex it writes
// its journal records, item records and kq.cfg without waiting for the disk,
// names each file here, and takes a ticket; after letting go of the mutex it
// waits until a flush has covered its ticket. Postings queued behind one
// another then share one flush of each file instead of paying for their own,
// and nobody holds the mutex while the disk works.
//
// A posting is reported done only after waitDurable() returns, so "done"
// still means "on disk".
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>

namespace kassio {

class FlushBatch {
  public:
    // While a Scope lives on this thread, the store's writers defer their
    // flushes to the batch instead of flushing at once.
    class Scope {
      public:
        explicit Scope(FlushBatch& batch);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        FlushBatch* m_previous;
    };

    // The batch this thread defers to, or nullptr.
    static FlushBatch* active();

    // A file (or folder) written and not yet flushed.
    void add(const std::string& path);
    // The calling posting has written everything: its ticket.
    uint64_t seal();
    // Returns once every file added up to this ticket is flushed; false when
    // a flush failed (the data may not be on disk).
    bool waitDurable(uint64_t ticket);

    // Flush rounds run so far (for tests and benchmarks).
    uint64_t rounds() const;

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    std::set<std::string> m_pending;
    uint64_t m_sealed = 0;
    uint64_t m_flushed = 0;
    uint64_t m_rounds = 0;
    bool m_flushing = false;
    // The tickets of the last round whose flush failed: (from, to].
    uint64_t m_failedFrom = 0;
    uint64_t m_failedTo = 0;
};

}  // namespace kassio
