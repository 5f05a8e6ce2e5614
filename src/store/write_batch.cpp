#include "store/write_batch.h"

#include <cstring>

#include "store/posting_journal_format.h"

namespace kassio {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "journal integers are written in host order, which must be little-endian");

namespace {

template <typename T>
void put(std::string& out, T v) {
    char b[sizeof v];
    std::memcpy(b, &v, sizeof v);
    out.append(b, sizeof v);
}

// Reads fixed-width fields from a payload; once a read runs past the end
// every later read fails too, so a caller checks once at the end.
class Reader {
  public:
    explicit Reader(std::string_view in) : m_in(in) {}

    template <typename T>
    bool get(T* v) {
        if (m_in.size() < sizeof *v) return fail();
        std::memcpy(v, m_in.data(), sizeof *v);
        m_in.remove_prefix(sizeof *v);
        return true;
    }
    bool bytes(std::size_t n, std::string* out) {
        if (m_in.size() < n) return fail();
        out->assign(m_in.data(), n);
        m_in.remove_prefix(n);
        return true;
    }
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_in.empty(); }

  private:
    bool fail() {
        m_ok = false;
        m_in = {};
        return false;
    }
    std::string_view m_in;
    bool m_ok = true;
};

bool validPath(const std::string& path) {
    if (path.empty() || path.size() > WriteBatch::kMaxPathBytes || path.front() == '/' ||
        path.back() == '/')
        return false;
    if (path == journal_format::kFileName || path == journal_format::kFreshFileName) return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string_view part(path.data() + start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return path.find('\0') == std::string::npos;
}

}  // namespace

void WriteBatch::write(std::string path, uint64_t offset, std::string_view bytes,
                       std::vector<Range> changed) {
    m_contentBytes += bytes.size();
    m_ops.push_back(
        {OpKind::kWrite, std::move(path), offset, std::string(bytes), std::move(changed)});
}

void WriteBatch::append(std::string path, std::string_view bytes) {
    m_contentBytes += bytes.size();
    m_ops.push_back({OpKind::kAppend, std::move(path), 0, std::string(bytes)});
}

void WriteBatch::makeFolder(std::string path) {
    m_ops.push_back({OpKind::kMakeFolder, std::move(path), 0, {}});
}

void WriteBatch::truncate(std::string path, uint64_t length) {
    m_ops.push_back({OpKind::kTruncate, std::move(path), length, {}});
}

void WriteBatch::setRequest(std::string id, std::string result) {
    m_request = Request{std::move(id), std::move(result)};
}

void WriteBatch::clear() {
    m_ops.clear();
    m_request.reset();
    m_contentBytes = 0;
}

Status WriteBatch::validate() const {
    for (const Op& op : m_ops) {
        if (!validPath(op.path)) return Status::invalid("Not a data file path: " + op.path);
        if (op.bytes.size() > journal_format::kMaxPayload / 2)
            return Status::invalid("Write too large for one posting: " + op.path);
    }
    if (m_request) {
        if (m_request->id.empty() || m_request->id.size() > kMaxRequestIdBytes)
            return Status::invalid("Request id must be 1 to 64 bytes");
        if (m_request->result.size() > kMaxResultBytes)
            return Status::invalid("Request result longer than 256 bytes");
    }
    return Status::ok();
}

std::string WriteBatch::serialize() const {
    std::string out;
    std::size_t size = 1 + 4;
    uint32_t count = 0;
    for (const Op& op : m_ops) {
        const std::size_t parts = op.changed.empty() ? 1 : op.changed.size();
        count += static_cast<uint32_t>(parts);
        size += parts * (1 + 2 + op.path.size() + 8 + 4);
        if (op.changed.empty()) size += op.bytes.size();
        for (const Range& r : op.changed) size += r.second - r.first;
    }
    if (m_request) size += 2 + m_request->id.size() + 4 + m_request->result.size();
    out.reserve(size);
    put<uint8_t>(out, m_request ? 1 : 0);
    if (m_request) {
        put<uint16_t>(out, static_cast<uint16_t>(m_request->id.size()));
        out += m_request->id;
        put<uint32_t>(out, static_cast<uint32_t>(m_request->result.size()));
        out += m_request->result;
    }
    put<uint32_t>(out, count);
    auto part = [&out](const Op& op, uint64_t offset, std::string_view bytes) {
        put<uint8_t>(out, static_cast<uint8_t>(op.kind));
        put<uint16_t>(out, static_cast<uint16_t>(op.path.size()));
        out += op.path;
        put<uint64_t>(out, offset);
        put<uint32_t>(out, static_cast<uint32_t>(bytes.size()));
        out += bytes;
    };
    for (const Op& op : m_ops) {
        if (op.changed.empty()) {
            part(op, op.offset, op.bytes);
            continue;
        }
        const std::string_view bytes = op.bytes;
        for (const Range& r : op.changed)
            part(op, op.offset + r.first, bytes.substr(r.first, r.second - r.first));
    }
    return out;
}

Status WriteBatch::deserialize(std::string_view payload, WriteBatch* batch) {
    const Status bad = Status::corruption("Posting journal record is not a whole batch");
    batch->clear();
    Reader in(payload);
    uint8_t flags = 0;
    if (!in.get(&flags) || (flags & ~1u) != 0) return bad;
    if (flags & 1) {
        uint16_t idLen = 0;
        uint32_t resultLen = 0;
        Request r;
        if (!in.get(&idLen) || !in.bytes(idLen, &r.id) || !in.get(&resultLen) ||
            !in.bytes(resultLen, &r.result))
            return bad;
        batch->m_request = std::move(r);
    }
    uint32_t count = 0;
    if (!in.get(&count)) return bad;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t kind = 0;
        uint16_t pathLen = 0;
        uint32_t bytesLen = 0;
        Op op{};
        if (!in.get(&kind) || !in.get(&pathLen) || !in.bytes(pathLen, &op.path) ||
            !in.get(&op.offset) || !in.get(&bytesLen) || !in.bytes(bytesLen, &op.bytes))
            return bad;
        if (kind < static_cast<uint8_t>(OpKind::kWrite) ||
            kind > static_cast<uint8_t>(OpKind::kTruncate))
            return bad;
        op.kind = static_cast<OpKind>(kind);
        batch->m_contentBytes += op.bytes.size();
        batch->m_ops.push_back(std::move(op));
    }
    if (!in.ok() || !in.atEnd()) return bad;
    if (Status s = batch->validate(); !s) return bad;
    return Status::ok();
}

bool operator==(const WriteBatch::Op& a, const WriteBatch::Op& b) {
    return a.kind == b.kind && a.path == b.path && a.offset == b.offset && a.bytes == b.bytes;
}

}  // namespace kassio
