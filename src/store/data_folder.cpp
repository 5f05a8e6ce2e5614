#include "store/data_folder.h"

#include <clocale>
#include <cstdlib>
#include <vector>

#include <unistd.h>

#include "base/win1252.h"
#include "store/file_io.h"

#ifndef KASSIO_INSTALL_SAMPLES_DIR
#define KASSIO_INSTALL_SAMPLES_DIR ""
#endif

namespace kassio {

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

std::string resolveDataFolder(const std::string& given) {
    if (!given.empty()) return given;
    if (std::string dir = env("KASSIO_DATA_DIR"); !dir.empty()) return dir;
    std::string base = env("XDG_DATA_HOME");
    if (base.empty()) base = env("HOME") + "/.local/share";
    return base + "/Orvane/kassio SC";
}

std::string findSamplesFolder(const std::string& programPath) {
    std::vector<std::string> candidates;
    if (std::string dir = env("KASSIO_SAMPLES_DIR"); !dir.empty()) candidates.push_back(dir);
    std::string program = programPath;
    char self[4096];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) program.assign(self, static_cast<std::size_t>(n));
    if (!program.empty()) {
        std::string bin = folderOf(program);
        candidates.push_back(bin + "/../share/kassio/samples");
        candidates.push_back(bin + "/../samples");
    }
    candidates.push_back(KASSIO_INSTALL_SAMPLES_DIR);
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd)) candidates.push_back(cwd);
    for (const std::string& dir : candidates)
        if (!dir.empty() && fileExists(dir + "/inventory.dat")) return dir;
    return {};
}

std::string localeCurrencySymbol() {
    // The user's monetary locale, read without disturbing the program's own.
    const char* previous = std::setlocale(LC_MONETARY, nullptr);
    std::string saved = previous ? previous : "C";
    std::string symbol;
    if (std::setlocale(LC_MONETARY, "")) {
        const std::lconv* lc = std::localeconv();
        if (lc && lc->currency_symbol) symbol = lc->currency_symbol;
    }
    std::setlocale(LC_MONETARY, saved.c_str());
    return utf8ToWin1252(symbol);
}

}  // namespace kassio
