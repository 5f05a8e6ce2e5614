// Plain POSIX file access for the data store. Every call opens, works and
// closes: no descriptor outlives the call, so other programs (backup, copy)
// see consistent files between operations. None of these take the DataMutex;
// the caller holds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kassio {

// An open descriptor, closed when it goes out of scope.
class File {
  public:
    enum class Mode { kRead, kReadWrite, kReadWriteCreate, kAppendCreate, kCreateTruncate };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    static std::optional<File> open(const std::string& path, Mode mode);

    // Reads up to len bytes at offset; returns the count read (short at the
    // end of the file) or -1 on an error.
    long long readAt(uint64_t offset, void* buf, std::size_t len) const;
    // Writes all len bytes at offset; false when any byte could not be written.
    [[nodiscard]] bool writeAt(uint64_t offset, const void* buf, std::size_t len);
    // Writes all len bytes at the end of the file.
    [[nodiscard]] bool append(const void* buf, std::size_t len);
    std::optional<uint64_t> size() const;
    [[nodiscard]] bool sync();
    [[nodiscard]] bool close();  // false when the final close reports a write error

  private:
    explicit File(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);
// Creates the folder and every missing parent; true when it exists afterwards.
bool makeDirectories(const std::string& path);
bool removeFile(const std::string& path);
bool removeDirectory(const std::string& path);  // only an empty one
[[nodiscard]] bool copyFile(const std::string& from, const std::string& to);

// The whole file, or nullopt when it cannot be opened or read.
std::optional<std::vector<unsigned char>> readWholeFile(const std::string& path);

// Replaces a whole-file record so that a crash at any moment leaves either
// the old or the new content, whole: a temporary file beside it is written
// and flushed, then renamed over it, then the folder is flushed.
// With syncFolder false the caller flushes the folder later (group commit).
[[nodiscard]] bool replaceFileAtomically(const std::string& path, const void* data, std::size_t len,
                                         bool syncFolder = true);

// Appends to a file, creating it when missing. With sync, the data is on
// disk when this returns true.
[[nodiscard]] bool appendToFile(const std::string& path, const void* data, std::size_t len,
                                bool sync);

// Flushes a folder's entries (a newly created or renamed file in it).
[[nodiscard]] bool syncDirectory(const std::string& path);

}  // namespace kassio
