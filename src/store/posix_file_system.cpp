#include "store/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

// One open descriptor, closed by its last user.
class PosixFileSystem::Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { ::close(m_fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return m_fd; }

  private:
    int m_fd;
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
    while (m_open.size() > m_maxOpen) {
        m_open.erase(m_order.back());
        m_order.pop_back();
    }
    return made;
}

Status PosixFileSystem::writeAt(const std::string& path, uint64_t offset, const void* data,
                                std::size_t len) {
    Status s;
    auto d = descriptor(path, true, &s);
    if (!d) return s;
    const auto* p = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < len) {
        ssize_t n = ::pwrite(d->fd(), p + done, len - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failure("Cannot write", path, errno);
        if (n == 0) return failure("Cannot write", path, EIO);
        done += static_cast<std::size_t>(n);
    }
    return Status::ok();
}

Status PosixFileSystem::readAt(const std::string& path, uint64_t offset, void* buf, std::size_t len,
                               std::size_t* got) {
    *got = 0;
    Status s;
    auto d = descriptor(path, false, &s);
    if (!d) return s;
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
    struct stat st;
    if (::fstat(d->fd(), &st) != 0) return failure("Cannot read the size of", path, errno);
    *size = static_cast<uint64_t>(st.st_size);
    return Status::ok();
}

Status PosixFileSystem::truncate(const std::string& path, uint64_t size) {
    Status s;
    auto d = descriptor(path, true, &s);
    if (!d) return s;
    int rc;
    do {
        rc = ::ftruncate(d->fd(), static_cast<off_t>(size));
    } while (rc != 0 && errno == EINTR);
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
