#include "store/flush_batch.h"

#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace kassio {

namespace {

thread_local FlushBatch* t_active = nullptr;

bool flushPath(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

FlushBatch::Scope::Scope(FlushBatch& batch) : m_previous(t_active) {
    t_active = &batch;
}
FlushBatch::Scope::~Scope() {
    t_active = m_previous;
}

FlushBatch* FlushBatch::active() {
    return t_active;
}

void FlushBatch::add(const std::string& path) {
    std::lock_guard lock(m_mutex);
    m_pending.insert(path);
}

uint64_t FlushBatch::seal() {
    std::lock_guard lock(m_mutex);
    return ++m_sealed;
}

bool FlushBatch::waitDurable(uint64_t ticket) {
    std::unique_lock lock(m_mutex);
    while (m_flushed < ticket) {
        if (m_flushing) {
            m_done.wait(lock);
            continue;
        }
        // This thread flushes for everyone sealed so far.
        m_flushing = true;
        const uint64_t from = m_flushed;
        const uint64_t upTo = m_sealed;
        std::set<std::string> paths;
        paths.swap(m_pending);
        lock.unlock();
        bool ok = true;
        for (const std::string& p : paths) ok = flushPath(p) && ok;
        lock.lock();
        if (!ok) {
            m_failedFrom = from;
            m_failedTo = upTo;
        }
        m_flushed = upTo;
        ++m_rounds;
        m_flushing = false;
        m_done.notify_all();
    }
    return !(ticket > m_failedFrom && ticket <= m_failedTo);
}

uint64_t FlushBatch::rounds() const {
    std::lock_guard lock(m_mutex);
    return m_rounds;
}

}  // namespace kassio
