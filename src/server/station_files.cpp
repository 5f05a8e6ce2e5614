// Procedure 6: a client station reads a DataFolder file (item pictures,
// logos) in chunks of 2000 bytes.
//
// Client stations authenticate nothing on the local socket, so only what a
// client station needs is served: the pictures and logos (any "*.bmp": the
// item pictures "STOCK%d.bmp" and "m%lld.bmp", receipt.bmp, letter.bmp)
// and the wording file language.ini. Never kq.cfg (clerk passwords),
// customer.dat or the server's settings with the station key. Only plain
// names of regular files directly in the DataFolder, opened without
// following a symbolic link and holding one link (a hard link to a file
// elsewhere would otherwise pass); no device or pipe (which could block
// the server thread). Names are matched without regard to case when the
// exact name is not there, as the pictures are asked for as "STOCK%d.bmp"
// and shipped as "stock%d.bmp".
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string>

#include "base/fixed_text.h"
#include "server/server_settings.h"
#include "server/station_server.h"

namespace kassio {

namespace {

// The descriptor closes on every path out.
class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return m_fd; }

  private:
    int m_fd;
};

// A regular file of the folder, opened for reading; -1 when there is none.
int openRegular(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The folder's entry whose name equals `name` ignoring ASCII case; the
// lowest such name when there are several, so the answer does not depend on
// the order the folder lists them in.
std::optional<std::string> caseInsensitiveName(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* e = ::readdir(dir)) {
        if (::strcasecmp(e->d_name, name.c_str()) == 0 && (!best || e->d_name < *best))
            best = e->d_name;
    }
    ::closedir(dir);
    return best;
}

}  // namespace

bool isServedFileName(std::string_view name) {
    if (!isPlainFileName(name)) return false;
    auto endsWith = [&](std::string_view tail) {
        return name.size() > tail.size() && ::strncasecmp(name.data() + name.size() - tail.size(),
                                                          tail.data(), tail.size()) == 0;
    };
    return endsWith(".bmp") ||
           (name.size() == 12 && ::strncasecmp(name.data(), "language.ini", 12) == 0);
}

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos;
}

void StationServer::fileChunk(FileChunk& chunk) {
    const std::string name = fieldText(chunk.name);
    const int32_t position = chunk.position;
    std::memset(chunk.data, 0, sizeof chunk.data);
    chunk.position = 0;
    if (!isServedFileName(name) || position < 0) return;

    // The file is read by name, not through the store: a picture or
    // language.ini saved a moment ago must be in the file first.
    static_cast<void>(m_store.files().settle());
    int fd = openRegular(m_store.pathOf(name));
    if (fd < 0) {
        if (auto other = caseInsensitiveName(m_store.folder(), name))
            fd = openRegular(m_store.pathOf(*other));
    }
    Descriptor file(fd);
    if (file.fd() < 0) return;

    off_t offset = position;
    if (position == 0) {
        struct stat st;
        if (::fstat(file.fd(), &st) != 0) return;
        // The size travels as a long; a file beyond that cannot be walked
        // to its end by a client in any case.
        chunk.position = st.st_size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(st.st_size);
    } else {
        chunk.position = position;
    }
    std::size_t got = 0;
    while (got < sizeof chunk.data) {
        ssize_t n = ::pread(file.fd(), chunk.data + got, sizeof chunk.data - got,
                            offset + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
}

}  // namespace kassio
