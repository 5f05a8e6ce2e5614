#include "store/posix_file_system.h"

#include "store/brief_lock.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <shared_mutex>

namespace kassio {

namespace {

constexpr mode_t kFileMode = 0600;
constexpr mode_t kFolderMode = 0700;

Status failure(const char* what, const std::string& path, int err) {
    std::string message = std::string(what) + " " + path + ": " + std::strerror(err);
    if (err == ENOENT) return Status::notFound(std::move(message), kTitleProblem);
    return Status::ioError(std::move(message));
}

}  // namespace

// One open descriptor, closed by its last user, with a shared mapping of the
// file for small reads and writes.
//
// A write of a record over bytes the file already has is a copy into the
// mapping, not a pwrite: the kernel's buffered write walks every block of
// the page-cache folio it lands in, and a file loaded or written in large
// pieces sits in folios of up to 2 MB, so a 2 kB pwrite into inventory.dat
// cost tens of microseconds. The page is the same page either way: a flush
// (fdatasync) writes it out, and a crash of the program leaves it to the
// kernel as it would a pwrite's. Only a file with every block allocated is
// written through its mapping; into a hole the kernel would have to find a
// block at the moment of the copy and could only answer a full disk with a
// signal, so there pwrite reports it instead.
//
// The mapping covers the file as long as it was when mapped. The file only
// grows past it (writes) or shrinks through truncate(), which drops the
// mapping first, under the exclusive lock, so a copy never touches a page
// past the file's end. (A file cut short by another program while mapped
// would fault; the folder lock keeps other programs out.)
class PosixFileSystem::Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        unmap();
        ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return m_fd; }

    // Copies [offset, offset + len) when the mapping holds it.
    bool copy(uint64_t offset, void* buf, std::size_t len) {
        std::shared_lock lock(m_mapLock, std::defer_lock);
        lockBriefly(lock);
        if (!m_map || offset > m_mapLen || len > m_mapLen - offset) return false;
        std::memcpy(buf, static_cast<const char*>(m_map) + offset, len);
        return true;
    }
    // Copies data over [offset, offset + len) when the mapping is writable
    // and holds it. Alone: a record is applied by the journal's flushing
    // thread while others read, and a copy out of bytes being copied in is
    // a data race even where the reader lays the same record over them.
    //
    // The pages are made writable first, under the shared lock: the
    // file system's work on the first write to a clean page (page_mkwrite,
    // which walks the whole folio) would otherwise be done with every
    // reader of the file held up behind the exclusive lock.
    bool copyIn(uint64_t offset, const void* data, std::size_t len) {
        {
            std::shared_lock lock(m_mapLock, std::defer_lock);
            lockBriefly(lock);
            if (!m_map || !m_writable || offset > m_mapLen || len > m_mapLen - offset) return false;
#ifdef MADV_POPULATE_WRITE
            const uint64_t first = offset & ~(kPageBytes - 1);
            // Failing changes nothing: the copy below then faults as before.
            static_cast<void>(::madvise(static_cast<char*>(m_map) + first, offset + len - first,
                                        MADV_POPULATE_WRITE));
#endif
        }
        std::unique_lock lock(m_mapLock, std::defer_lock);
        lockBriefly(lock);
        if (!m_map || !m_writable || offset > m_mapLen || len > m_mapLen - offset) return false;
        std::memcpy(static_cast<char*>(m_map) + offset, data, len);
        return true;
    }
    // Maps the file when it has grown past the mapping (or was never
    // looked at) and is large enough to be worth it.
    void remapIfGrown() {
        if (!m_grown.load(std::memory_order_relaxed)) return;
        std::unique_lock lock(m_mapLock);
        m_grown = false;
        struct stat st;
        if (::fstat(m_fd, &st) != 0) return;
        const auto size = static_cast<uint64_t>(st.st_size);
        if (size < kMapMinBytes || size <= m_mapLen) return;
        const bool whole = static_cast<uint64_t>(st.st_blocks) * 512 >= size;
        void* map =
            ::mmap(nullptr, size, whole ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, m_fd, 0);
        if (map == MAP_FAILED) return;
        unmapLocked();
        m_map = map;
        m_mapLen = size;
        m_writable = whole;
    }
    void wrote(uint64_t end) {
        if (end > m_mapLen.load(std::memory_order_relaxed)) m_grown = true;
    }
    // The file's length as this descriptor has seen it: asked of the
    // kernel once, then kept as writes and truncations change it (no other
    // program writes the shop's files while the folder lock is held). A
    // change of the length and the asking happen under sizeLock(), so an
    // answer never lags behind a write that was done.
    std::mutex& sizeLock() {
        return m_sizeLock;
    }
    std::optional<uint64_t> knownSize() const {
        if (m_size < 0) return std::nullopt;
        return static_cast<uint64_t>(m_size);
    }
    void setSize(uint64_t size) {
        m_size = static_cast<int64_t>(size);
    }
    void grewTo(uint64_t end) {
        if (m_size >= 0 && static_cast<uint64_t>(m_size) < end) m_size = static_cast<int64_t>(end);
    }
    void forgetSize() {
        m_size = -1;
    }
    // Held exclusively around a change of the file's length.
    std::shared_mutex& mapLock() {
        return m_mapLock;
    }
    void unmapLocked() {
        if (m_map) ::munmap(m_map, m_mapLen);
        m_map = nullptr;
        m_mapLen = 0;
        m_writable = false;
        m_grown = true;
    }

  private:
    void unmap() {
        std::unique_lock lock(m_mapLock);
        unmapLocked();
    }

    // Smaller files are read with pread: a mapping costs more than it saves.
    static constexpr uint64_t kMapMinBytes = 4096;
    static constexpr uint64_t kPageBytes = 4096;

    int m_fd;
    std::shared_mutex m_mapLock;
    void* m_map = nullptr;
    bool m_writable = false;  // every block of the mapped length allocated
    std::atomic<uint64_t> m_mapLen{0};
    std::atomic<bool> m_grown{true};
    std::mutex m_sizeLock;
    int64_t m_size = -1;  // -1: not known; under m_sizeLock
};

PosixFileSystem::PosixFileSystem(std::size_t maxOpen) : m_maxOpen(maxOpen ? maxOpen : 1) {}

PosixFileSystem::~PosixFileSystem() = default;

std::shared_ptr<PosixFileSystem::Descriptor> PosixFileSystem::descriptor(const std::string& path,
                                                                         bool create,
                                                                         Status* status) {
    {
        std::lock_guard lock(m_mutex);
        auto it = m_open.find(path);
        if (it != m_open.end()) {
            m_order.splice(m_order.begin(), m_order, it->second.order);
            return it->second.fd;
        }
    }
    // Opened outside the lock: an open that waits on a slow disk must not
    // hold up reads of files already open.
    int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0);
    int fd;
    do {
        fd = ::open(path.c_str(), flags, kFileMode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *status = failure("Cannot open", path, errno);
        return nullptr;
    }
    auto made = std::make_shared<Descriptor>(fd);
    std::lock_guard lock(m_mutex);
    auto it = m_open.find(path);
    if (it != m_open.end()) {
        // Another thread opened it meanwhile; keep one descriptor per path.
        m_order.splice(m_order.begin(), m_order, it->second.order);
        return it->second.fd;
    }
    m_order.push_front(path);
    m_open.emplace(path, Entry{made, m_order.begin()});
    // The least recently used descriptor no thread is using goes. One in
    // use stays (the cache may run over its size for a moment), so that a
    // path never has two descriptors at once, each with its own idea of
    // the file's length.
    for (auto victim = m_order.end(); m_open.size() > m_maxOpen && victim != m_order.begin();) {
        --victim;
        auto e = m_open.find(*victim);
        if (e->second.fd.use_count() > 1) continue;
        m_open.erase(e);
        victim = m_order.erase(victim);
    }
    return made;
}

Status PosixFileSystem::writeAt(const std::string& path, uint64_t offset, const void* data,
                                std::size_t len) {
    Status s;
    auto d = descriptor(path, true, &s);
    if (!d) return s;
    // Into a mapping a read made; a file only written (a log appended to)
    // is not mapped for it.
    if (len <= kMappedReadMax && d->copyIn(offset, data, len)) return Status::ok();
    d->wrote(offset + len);
    std::lock_guard sizeLock(d->sizeLock());
    const auto* p = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < len) {
        ssize_t n = ::pwrite(d->fd(), p + done, len - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || n == 0) {
            // Part may have been written: the length is asked again.
            d->forgetSize();
            return failure("Cannot write", path, n < 0 ? errno : EIO);
        }
        done += static_cast<std::size_t>(n);
    }
    d->grewTo(offset + len);
    return Status::ok();
}

Status PosixFileSystem::readAt(const std::string& path, uint64_t offset, void* buf, std::size_t len,
                               std::size_t* got) {
    *got = 0;
    Status s;
    auto d = descriptor(path, false, &s);
    if (!d) return s;
    // A record read is a copy from the mapping. Large reads (a whole file
    // loaded at the start) stream through pread instead, so that loading
    // does not map every page of the file into the station's memory.
    if (len <= kMappedReadMax) {
        if (d->copy(offset, buf, len)) {
            *got = len;
            return Status::ok();
        }
        d->remapIfGrown();
        if (d->copy(offset, buf, len)) {
            *got = len;
            return Status::ok();
        }
    }
    auto* p = static_cast<unsigned char*>(buf);
    while (*got < len) {
        ssize_t n = ::pread(d->fd(), p + *got, len - *got, static_cast<off_t>(offset + *got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failure("Cannot read", path, errno);
        if (n == 0) break;
        *got += static_cast<std::size_t>(n);
    }
    return Status::ok();
}

Status PosixFileSystem::size(const std::string& path, uint64_t* size) {
    Status s;
    auto d = descriptor(path, false, &s);
    if (!d) return s;
    std::lock_guard sizeLock(d->sizeLock());
    if (auto known = d->knownSize()) {
        *size = *known;
        return Status::ok();
    }
    struct stat st;
    if (::fstat(d->fd(), &st) != 0) return failure("Cannot read the size of", path, errno);
    *size = static_cast<uint64_t>(st.st_size);
    d->setSize(*size);
    return Status::ok();
}

Status PosixFileSystem::truncate(const std::string& path, uint64_t size) {
    Status s;
    auto d = descriptor(path, true, &s);
    if (!d) return s;
    // The mapping goes first: no copy may read a page the file gives up.
    std::unique_lock lock(d->mapLock());
    d->unmapLocked();
    std::lock_guard sizeLock(d->sizeLock());
    int rc;
    do {
        rc = ::ftruncate(d->fd(), static_cast<off_t>(size));
    } while (rc != 0 && errno == EINTR);
    if (rc == 0)
        d->setSize(size);
    else
        d->forgetSize();
    return rc == 0 ? Status::ok() : failure("Cannot set the length of", path, errno);
}

Status PosixFileSystem::syncData(const std::string& path) {
    Status s;
    auto d = descriptor(path, false, &s);
    if (!d) return s;
    return ::fdatasync(d->fd()) == 0 ? Status::ok() : failure("Cannot flush", path, errno);
}

Status PosixFileSystem::syncFolder(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return failure("Cannot open the folder", path, errno);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    return rc == 0 ? Status::ok() : failure("Cannot flush the folder", path, err);
}

Status PosixFileSystem::makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), kFolderMode) == 0) return Status::ok();
    const int err = errno;
    struct stat st;
    if (err == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Status::ok();
    return failure("Cannot create the folder", path, err);
}

Status PosixFileSystem::rename(const std::string& from, const std::string& to) {
    // The cached descriptors would name the old files after the rename.
    close(from);
    close(to);
    if (::rename(from.c_str(), to.c_str()) != 0) return failure("Cannot rename", from, errno);
    return Status::ok();
}

Status PosixFileSystem::exchange(const std::string& a, const std::string& b) {
    close(a);
    close(b);
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0)
        return Status::ok();
    const int err = errno;
    if (err == EINVAL || err == ENOSYS || err == ENOTSUP)
        return Status::invalid("Cannot swap " + a + " and " + b + ": " + std::strerror(err));
    return failure("Cannot swap", a, err);
}

Status PosixFileSystem::remove(const std::string& path) {
    close(path);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return failure("Cannot remove", path, errno);
    return Status::ok();
}

bool PosixFileSystem::exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

void PosixFileSystem::close(const std::string& path) {
    std::lock_guard lock(m_mutex);
    auto it = m_open.find(path);
    if (it == m_open.end()) return;
    m_order.erase(it->second.order);
    m_open.erase(it);
}

void PosixFileSystem::closeAll() {
    std::lock_guard lock(m_mutex);
    m_open.clear();
    m_order.clear();
}

std::size_t PosixFileSystem::openCount() const {
    std::lock_guard lock(m_mutex);
    return m_open.size();
}

}  // namespace kassio
