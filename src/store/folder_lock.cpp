#include "store/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "base/text_format.h"

namespace kassio {

std::optional<FolderLock> FolderLock::tryAcquire(const std::string& dataFolder, Status* why) {
    const std::string path = dataFolder + "/kassio.lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        const int err = errno;
        if (why)
            *why = Status::ioError(
                formatted("Cannot create the lock file %s: %s", path.c_str(), std::strerror(err)),
                kTitleFatal);
        return std::nullopt;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (why)
            *why = err == EWOULDBLOCK
                       ? Status::busy("The till is already running on this data folder.")
                       : Status::ioError(
                             formatted("Cannot lock %s: %s", path.c_str(), std::strerror(err)),
                             kTitleFatal);
        return std::nullopt;
    }
    return FolderLock(fd);
}

FolderLock::FolderLock(FolderLock&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

FolderLock::~FolderLock() {
    if (m_fd >= 0) ::close(m_fd);
}

}  // namespace kassio
