#include "store/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kassio {

std::optional<FolderLock> FolderLock::tryAcquire(const std::string& dataFolder) {
    std::string path = dataFolder + "/kassio.lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return std::nullopt;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
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
