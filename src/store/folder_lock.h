// One running till per DataFolder: an exclusive advisory lock on
// "kassio.lock" in the folder, held for the whole run and dropped by the
// system when the process ends, however it ends.
#pragma once

#include <optional>
#include <string>

#include "base/status.h"

namespace kassio {

class FolderLock {
  public:
    // The lock, or nullopt with the reason in *why: kBusy when another
    // process holds it, kIoError when the lock file cannot be made or opened
    // (a read-only or foreign folder), so the two are never confused.
    static std::optional<FolderLock> tryAcquire(const std::string& dataFolder,
                                                Status* why = nullptr);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&&) = delete;
    FolderLock(const FolderLock&) = delete;
    ~FolderLock();

  private:
    explicit FolderLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

}  // namespace kassio
