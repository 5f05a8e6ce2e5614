// FaultyFileSystem: a FileSystem that passes every call to another one and
// fails the calls a test asks it to, for fault-injection tests of the write
// path. It also counts calls and can hold flushes until a test lets them go.
#pragma once

#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>

#include "store/file_system.h"

namespace kassio::test {

class FaultyFileSystem final : public FileSystem {
  public:
    enum class Fault {
        kNone,
        kWrite,    // the write (writeAt or truncate) fails, nothing written
        kNoSpace,  // the write stores its first half, then reports a full disk
        kSync,     // the flush (syncData or syncFolder) fails
        kRename,   // the rename fails, nothing renamed
    };

    explicit FaultyFileSystem(FileSystem& base) : m_base(base) {}

    // The nth call (from 1) of the fault's kind fails; later ones pass.
    void failAt(Fault fault, int nth) {
        std::lock_guard lock(m_mutex);
        m_fault = fault;
        m_nth = nth;
    }
    // Every write to a path for which `which` is true fails from now on.
    void failWritesTo(std::function<bool(const std::string&)> which) {
        std::lock_guard lock(m_mutex);
        m_failPaths = std::move(which);
    }
    // Every open of a path for which `which` is true is refused as one of a
    // file the user may not read (root reads any file, so tests cannot
    // chmod their way there).
    void denyOpensOf(std::function<bool(const std::string&)> which) {
        std::lock_guard lock(m_mutex);
        m_denied = std::move(which);
    }
    bool fired() const {
        std::lock_guard lock(m_mutex);
        return m_fired;
    }
    int syncDataCalls(const std::string& path) const {
        std::lock_guard lock(m_mutex);
        return path == m_countedPath ? m_countedSyncs : 0;
    }
    void countSyncsOf(const std::string& path) {
        std::lock_guard lock(m_mutex);
        m_countedPath = path;
        m_countedSyncs = 0;
    }
    // While held, syncData waits; a test builds up a queue behind it.
    // which: only the flushes of these paths wait (all when empty).
    void holdSyncs(bool hold, std::function<bool(const std::string&)> which = {}) {
        std::lock_guard lock(m_mutex);
        m_hold = hold;
        m_holdWhich = std::move(which);
        m_released.notify_all();
    }
    // Flushes waiting on holdSyncs() now.
    int heldSyncs() const {
        std::lock_guard lock(m_mutex);
        return m_heldSyncs;
    }

    Status writeAt(const std::string& path, uint64_t offset, const void* data,
                   std::size_t len) override {
        if (denied(path)) return Status::ioError("Cannot open " + path + ": Permission denied");
        switch (decide(Fault::kWrite, path)) {
            case Fault::kWrite:
                return Status::ioError("injected write failure: " + path);
            case Fault::kNoSpace:
                static_cast<void>(m_base.writeAt(path, offset, data, len / 2));  // a torn write
                return Status::ioError("No space left on device: " + path);
            default:
                return m_base.writeAt(path, offset, data, len);
        }
    }
    Status readAt(const std::string& path, uint64_t offset, void* buf, std::size_t len,
                  std::size_t* got) override {
        if (denied(path)) return Status::ioError("Cannot open " + path + ": Permission denied");
        return m_base.readAt(path, offset, buf, len, got);
    }
    Status size(const std::string& path, uint64_t* size) override {
        if (denied(path)) return Status::ioError("Cannot open " + path + ": Permission denied");
        return m_base.size(path, size);
    }
    Status truncate(const std::string& path, uint64_t size) override {
        if (decide(Fault::kWrite, path) != Fault::kNone)
            return Status::ioError("injected truncate failure: " + path);
        return m_base.truncate(path, size);
    }
    Status syncData(const std::string& path) override {
        {
            std::unique_lock lock(m_mutex);
            auto held = [&] { return m_hold && (!m_holdWhich || m_holdWhich(path)); };
            if (held()) {
                ++m_heldSyncs;
                m_released.wait(lock, [&] { return !held(); });
                --m_heldSyncs;
            }
            if (path == m_countedPath) ++m_countedSyncs;
        }
        if (decide(Fault::kSync, path) != Fault::kNone)
            return Status::ioError("injected flush failure: " + path);
        return m_base.syncData(path);
    }
    Status syncFolder(const std::string& path) override {
        if (decide(Fault::kSync, path) != Fault::kNone)
            return Status::ioError("injected folder flush failure: " + path);
        return m_base.syncFolder(path);
    }
    Status makeFolder(const std::string& path) override { return m_base.makeFolder(path); }
    Status rename(const std::string& from, const std::string& to) override {
        if (decide(Fault::kRename, from) != Fault::kNone)
            return Status::ioError("injected rename failure: " + from);
        return m_base.rename(from, to);
    }
    Status exchange(const std::string& a, const std::string& b) override {
        if (decide(Fault::kRename, a) != Fault::kNone)
            return Status::ioError("injected swap failure: " + a);
        return m_base.exchange(a, b);
    }
    Status remove(const std::string& path) override { return m_base.remove(path); }
    bool exists(const std::string& path) override { return m_base.exists(path); }
    void close(const std::string& path) override { m_base.close(path); }
    void closeAll() override { m_base.closeAll(); }

  private:
    bool denied(const std::string& path) {
        std::lock_guard lock(m_mutex);
        return m_denied && m_denied(path);
    }
    // Which fault this call suffers: kNone, or the configured one. kWrite
    // and kNoSpace count the same calls.
    Fault decide(Fault kind, const std::string& path) {
        std::lock_guard lock(m_mutex);
        if (kind == Fault::kWrite && m_failPaths && m_failPaths(path)) return Fault::kWrite;
        const bool counts =
            m_fault == kind || (kind == Fault::kWrite && m_fault == Fault::kNoSpace);
        if (!counts || m_nth <= 0) return Fault::kNone;
        if (--m_nth > 0) return Fault::kNone;
        m_fired = true;
        return m_fault;
    }

    FileSystem& m_base;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    Fault m_fault = Fault::kNone;
    int m_nth = 0;
    bool m_fired = false;
    bool m_hold = false;
    std::function<bool(const std::string&)> m_holdWhich;
    int m_heldSyncs = 0;
    std::function<bool(const std::string&)> m_failPaths;
    std::function<bool(const std::string&)> m_denied;
    std::string m_countedPath;
    int m_countedSyncs = 0;
};

}  // namespace kassio::test
