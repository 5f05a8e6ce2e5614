// One running till per DataFolder: an exclusive advisory lock on
// "kassio.lock" in the folder, held for the whole run and dropped by the
// system when the process ends, however it ends.
#pragma once

#include <optional>
#include <string>

namespace kassio {

class FolderLock {
  public:
    // The lock, or nullopt when another process holds it (or the folder
    // cannot hold the lock file).
    static std::optional<FolderLock> tryAcquire(const std::string& dataFolder);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&&) = delete;
    FolderLock(const FolderLock&) = delete;
    ~FolderLock();

  private:
    explicit FolderLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

}  // namespace kassio
