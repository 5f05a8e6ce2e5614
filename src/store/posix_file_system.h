// PosixFileSystem: the FileSystem of a running station, on POSIX calls.
//
// Descriptors stay open in a small cache keyed by path, so a posting's
// writes pay for no open or close, and files of a page or more are mapped,
// so a record read or a record written over is a copy with no system call
// at all (posix_file_system.cpp says when a write is not). When the cache
// is full the least recently used descriptor is closed. A descriptor in use
// by one thread stays valid while another thread evicts it: entries are
// shared and the last user closes it.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "store/file_system.h"

namespace kassio {

class PosixFileSystem final : public FileSystem {
  public:
    static constexpr std::size_t kDefaultMaxOpen = 64;
    // Reads and writes up to this size are copies to and from the mapping;
    // larger ones use pread and pwrite.
    static constexpr std::size_t kMappedReadMax = 64u << 10;

    explicit PosixFileSystem(std::size_t maxOpen = kDefaultMaxOpen);
    ~PosixFileSystem() override;
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

    Status writeAt(const std::string& path, uint64_t offset, const void* data,
                   std::size_t len) override;
    Status readAt(const std::string& path, uint64_t offset, void* buf, std::size_t len,
                  std::size_t* got) override;
    Status size(const std::string& path, uint64_t* size) override;
    Status truncate(const std::string& path, uint64_t size) override;
    Status syncData(const std::string& path) override;
    Status syncFolder(const std::string& path) override;
    Status makeFolder(const std::string& path) override;
    Status rename(const std::string& from, const std::string& to) override;
    Status exchange(const std::string& a, const std::string& b) override;
    Status remove(const std::string& path) override;
    bool exists(const std::string& path) override;
    void close(const std::string& path) override;
    void closeAll() override;

    // Descriptors held open now (for tests).
    std::size_t openCount() const;

  private:
    class Descriptor;
    // The cached descriptor of path, opened (creating the file when create)
    // on a miss. Sets *status on failure and returns nullptr.
    std::shared_ptr<Descriptor> descriptor(const std::string& path, bool create, Status* status);

    const std::size_t m_maxOpen;
    mutable std::mutex m_mutex;
    // Most recently used at the front.
    std::list<std::string> m_order;
    struct Entry {
        std::shared_ptr<Descriptor> fd;
        std::list<std::string>::iterator order;
    };
    std::unordered_map<std::string, Entry> m_open;
};

}  // namespace kassio
