#include "store/record_scan.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace kassio {

RecordFileView::RecordFileView(const std::string& path, std::size_t recordSize)
    : m_recordSize(recordSize) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) return;
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) return;
    m_slots = static_cast<std::size_t>(st.st_size) / recordSize;
    m_ok = true;
}

RecordFileView::~RecordFileView() {
    if (m_map) ::munmap(const_cast<unsigned char*>(m_map), m_length);
    if (m_fd >= 0) ::close(m_fd);
}

const unsigned char* RecordFileView::slot(std::size_t n) {
    constexpr int kSingleReads = 16;
    if (m_map) return m_map + n * m_recordSize;
    if (++m_reads <= kSingleReads) return readBlock(n, 1);
    if (!m_mapTried) {
        m_mapTried = true;
        m_length = m_slots * m_recordSize;
        void* p = ::mmap(nullptr, m_length, PROT_READ, MAP_SHARED, m_fd, 0);
        if (p != MAP_FAILED) {
            m_map = static_cast<const unsigned char*>(p);
            ::madvise(p, m_length, MADV_SEQUENTIAL);
            return m_map + n * m_recordSize;
        }
    }
    if (n >= m_blockFirst && n < m_blockFirst + m_blockCount)
        return m_block.data() + (n - m_blockFirst) * m_recordSize;
    constexpr std::size_t kBlockBytes = 1 << 20;
    return readBlock(n, std::min(kBlockBytes / m_recordSize + 1, m_slots - n));
}

const unsigned char* RecordFileView::readBlock(std::size_t first, std::size_t count) {
    m_blockFirst = first;
    m_blockCount = count;
    m_block.resize(count * m_recordSize);
    ssize_t got =
        ::pread(m_fd, m_block.data(), m_block.size(), static_cast<off_t>(first * m_recordSize));
    if (got != static_cast<ssize_t>(m_block.size())) {
        m_blockCount = 0;
        return nullptr;
    }
    return m_block.data();
}

Status scanReadFailure(const RecordFile& file) {
    return Status::ioError("Not able to read " + file.spec().fileName, kTitleProblem);
}

bool prefixMatches(const std::string& query, RecordIndex::Prefix p) {
    if (query.size() < 2 || (p[0] == 0 && p[1] == 0)) return false;
    return (query[0] == '?' || query[0] == p[0]) && (query[1] == '?' || query[1] == p[1]);
}

bool initialsMatch(const std::string& query, const char* field, std::size_t width) {
    for (std::size_t i = 2; i < query.size(); ++i) {
        if (query[i] == '?') continue;
        if (i >= width || field[i] != query[i]) return false;
    }
    return true;
}

std::string_view fieldView(const unsigned char* record, std::size_t offset, std::size_t width) {
    const char* p = reinterpret_cast<const char*>(record + offset);
    const void* nul = std::memchr(p, 0, width);
    return std::string_view(
        p, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - p) : width);
}

int64_t recordNumber(const unsigned char* record) {
    int64_t n;
    std::memcpy(&n, record, sizeof n);
    return n;
}

}  // namespace kassio
