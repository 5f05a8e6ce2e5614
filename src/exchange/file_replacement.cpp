#include "exchange/file_replacement.h"

#include <filesystem>
#include <vector>

#include "store/data_store.h"
#include "store/file_io.h"

namespace kassio {

FileReplacement::FileReplacement(DataStore& store) : m_store(store), m_lock(store.mutex()) {
    m_status = m_store.files().checkpoint();
}

FileReplacement::~FileReplacement() {
    if (m_committed) return;
    FileSystem& fs = m_store.files().fileSystem();
    for (const auto& [name, size] : m_staged) {
        fs.close(stagedPath(name));
        static_cast<void>(fs.remove(stagedPath(name)));
    }
}

std::string FileReplacement::stagedPath(const std::string& name) const {
    return m_store.pathOf(name + ".new");
}

Status FileReplacement::append(const std::string& name, const void* data, std::size_t len) {
    if (!m_status) return m_status;
    FileSystem& fs = m_store.files().fileSystem();
    auto it = m_staged.find(name);
    if (it == m_staged.end()) {
        if (Status s = fs.truncate(stagedPath(name), 0); !s) return s;
        it = m_staged.emplace(name, 0).first;
    }
    if (len == 0) return Status::ok();
    if (Status s = fs.writeAt(stagedPath(name), it->second, data, len); !s) return s;
    it->second += len;
    return Status::ok();
}

Status FileReplacement::copyFrom(const std::string& name, const std::string& path) {
    auto from = File::open(path, File::Mode::kRead);
    if (!from) return Status::notFound(path, "File not present.");
    if (Status s = append(name, nullptr, 0); !s) return s;
    std::vector<unsigned char> buf(1 << 20);
    uint64_t at = 0;
    for (;;) {
        long long got = from->readAt(at, buf.data(), buf.size());
        if (got < 0) return Status::ioError("Unable to read " + path);
        if (got == 0) return Status::ok();
        if (Status s = append(name, buf.data(), static_cast<std::size_t>(got)); !s) return s;
        at += static_cast<uint64_t>(got);
    }
}

uint64_t FileReplacement::stagedSize(const std::string& name) const {
    auto it = m_staged.find(name);
    return it == m_staged.end() ? 0 : it->second;
}

Status FileReplacement::commit() {
    if (!m_status) return m_status;
    FileSystem& fs = m_store.files().fileSystem();
    for (const auto& [name, size] : m_staged) {
        if (Status s = fs.syncData(stagedPath(name)); !s) return s;
        fs.close(stagedPath(name));
    }
    // Descriptors kept open on the old files would go on reading them.
    fs.closeAll();
    for (const auto& [name, as] : m_keep) {
        if (!m_staged.count(name) || !fs.exists(m_store.pathOf(name))) continue;
        // A second name for the old file, so that the name itself is never
        // missing: a crash at any moment leaves an inventory.dat.
        static_cast<void>(fs.remove(m_store.pathOf(as)));
        std::error_code ec;
        std::filesystem::create_hard_link(m_store.pathOf(name), m_store.pathOf(as), ec);
        if (ec && !copyFile(m_store.pathOf(name), m_store.pathOf(as)))
            return Status::ioError("Unable to keep the previous " + name + " as " + as);
    }
    for (const auto& [name, size] : m_staged)
        if (Status s = fs.rename(stagedPath(name), m_store.pathOf(name)); !s) return s;
    m_committed = true;
    if (Status s = fs.syncFolder(m_store.folder()); !s) return s;
    return m_store.openData();
}

}  // namespace kassio
