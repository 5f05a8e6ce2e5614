#include "store/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace kassio {

File::~File() {
    if (m_fd >= 0) ::close(m_fd);
}

File::File(File&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

std::optional<File> File::open(const std::string& path, Mode mode) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::kRead:
            flags |= O_RDONLY;
            break;
        case Mode::kReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::kReadWriteCreate:
            flags |= O_RDWR | O_CREAT;
            break;
        case Mode::kAppendCreate:
            flags |= O_WRONLY | O_CREAT | O_APPEND;
            break;
        case Mode::kCreateTruncate:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return std::nullopt;
    // No fstat here: a record read is open, pread, close, and every call
    // counts at the till. A folder opened by mistake fails its first read.
    return File(fd);
}

long long File::readAt(uint64_t offset, void* buf, std::size_t len) const {
    std::size_t done = 0;
    auto* p = static_cast<unsigned char*>(buf);
    while (done < len) {
        ssize_t n = ::pread(m_fd, p + done, len - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

bool File::writeAt(uint64_t offset, const void* buf, std::size_t len) {
    std::size_t done = 0;
    const auto* p = static_cast<const unsigned char*>(buf);
    while (done < len) {
        ssize_t n = ::pwrite(m_fd, p + done, len - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool File::append(const void* buf, std::size_t len) {
    std::size_t done = 0;
    const auto* p = static_cast<const unsigned char*>(buf);
    while (done < len) {
        ssize_t n = ::write(m_fd, p + done, len - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<uint64_t> File::size() const {
    struct stat st;
    if (::fstat(m_fd, &st) != 0) return std::nullopt;
    return static_cast<uint64_t>(st.st_size);
}

bool File::sync() {
    return ::fsync(m_fd) == 0;
}

bool File::close() {
    if (m_fd < 0) return true;
    int rc = ::close(m_fd);
    m_fd = -1;
    return rc == 0;
}

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeDirectories(const std::string& path) {
    if (path.empty()) return false;
    if (isDirectory(path)) return true;
    std::string::size_type pos = 0;
    while ((pos = path.find('/', pos + 1)) != std::string::npos) {
        std::string part = path.substr(0, pos);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return isDirectory(path);
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool removeDirectory(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

bool copyFile(const std::string& from, const std::string& to) {
    auto data = readWholeFile(from);
    if (!data) return false;
    return replaceFileAtomically(to, data->data(), data->size());
}

std::optional<std::vector<unsigned char>> readWholeFile(const std::string& path) {
    auto f = File::open(path, File::Mode::kRead);
    if (!f) return std::nullopt;
    auto size = f->size();
    if (!size) return std::nullopt;
    std::vector<unsigned char> data(*size);
    long long got = f->readAt(0, data.data(), data.size());
    if (got < 0) return std::nullopt;
    data.resize(static_cast<std::size_t>(got));
    return data;
}

static std::string parentOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool syncDirectory(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool replaceFileAtomically(const std::string& path, const void* data, std::size_t len,
                           bool syncFolder) {
    std::string tmp = path + ".new";
    auto f = File::open(tmp, File::Mode::kCreateTruncate);
    if (!f) return false;
    bool ok = f->writeAt(0, data, len) && f->sync();
    ok = f->close() && ok;
    if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    // The new content is whole either way; only the rename's own durability
    // waits on the folder flush.
    return !syncFolder || syncDirectory(parentOf(path));
}

bool appendToFile(const std::string& path, const void* data, std::size_t len, bool sync) {
    auto f = File::open(path, File::Mode::kAppendCreate);
    if (!f) return false;
    bool ok = f->append(data, len);
    if (ok && sync) ok = f->sync();
    return f->close() && ok;
}

}  // namespace kassio
