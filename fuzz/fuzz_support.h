// What the fuzz targets share: a scratch DataFolder per process, the sample
// shop to start from, a way to split one input into several files, and a
// check that stops the run with a message when an invariant breaks.
//
// libFuzzer calls a target many thousands of times in one process, so each
// target reuses one folder and puts back what it changed instead of making
// a new folder per input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "store/data_store.h"
#include "store/file_io.h"

namespace kassio::fuzz {

// A broken invariant is a finding like a crash: libFuzzer saves the input.
#define FUZZ_CHECK(cond, what)                                                               \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "invariant broken at %s:%d: %s (%s)\n", __FILE__, __LINE__, \
                         #cond, std::string(what).c_str());                                  \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

class FuzzClock final : public Clock {
  public:
    LocalTime now() const override { return {2026, 12, 6, 9, 5, 0}; }
};

// One folder under the system's temporary folder for the whole run; removed
// when the process ends normally (a crash leaves it for the post-mortem).
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kassio-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        m_path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    // Removes everything the folder holds.
    void empty() const {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(m_path, ec))
            std::filesystem::remove_all(entry.path(), ec);
    }

  private:
    std::string m_path;
};

// Plain writes without a flush: the fuzzer writes files many thousand
// times a second and a crash of the machine loses nothing that matters.
inline void writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        std::abort();
    if (std::fclose(f) != 0) std::abort();
}

inline std::string readFile(const std::string& path) {
    auto data = readWholeFile(path);
    return data ? std::string(data->begin(), data->end()) : std::string();
}

// Splits an input into `count` parts: each part but the last is a 16-bit
// little-endian length and that many bytes (fewer at the end of the input);
// the last part is whatever remains. tools/make_fuzz_seeds writes seeds the
// same way (joinSections).
inline std::vector<std::string_view> splitSections(const uint8_t* data, std::size_t size,
                                                   std::size_t count) {
    std::vector<std::string_view> parts;
    std::string_view in(reinterpret_cast<const char*>(data), size);
    for (std::size_t i = 0; i + 1 < count; ++i) {
        std::size_t len = 0;
        if (in.size() >= 2) {
            len = static_cast<uint8_t>(in[0]) |
                  static_cast<std::size_t>(static_cast<uint8_t>(in[1])) << 8;
            in.remove_prefix(2);
        } else {
            in = {};
        }
        len = std::min(len, in.size());
        parts.push_back(in.substr(0, len));
        in.remove_prefix(len);
    }
    parts.push_back(in);
    return parts;
}

inline std::string joinSections(const std::vector<std::string>& parts) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i + 1 < parts.size()) {
            const std::size_t len = std::min<std::size_t>(parts[i].size(), 0xffff);
            out += static_cast<char>(len & 0xff);
            out += static_cast<char>(len >> 8);
            out.append(parts[i], 0, len);
        } else {
            out += parts[i];
        }
    }
    return out;
}

// The sample shop's files, read once from the build tree's samples, as a
// first start would write them (kq.cfg with every default).
struct SampleShop {
    std::string config;     // kq.cfg
    std::string items;      // inventory.dat
    std::string customers;  // customer.dat
    std::string suppliers;  // suppliers.dat

    static const SampleShop& get() {
        static const SampleShop shop = make();
        return shop;
    }

    // Writes the four files into folder, leaving the pictures out.
    void writeTo(const std::string& folder) const {
        writeFile(folder + "/kq.cfg", config);
        writeFile(folder + "/inventory.dat", items);
        writeFile(folder + "/customer.dat", customers);
        writeFile(folder + "/suppliers.dat", suppliers);
    }

  private:
    static SampleShop make() {
        ScratchFolder folder;
        FuzzClock clock;
        DataStore store(folder.path(), clock);
        if (!store.firstRunSetup(KASSIO_FUZZ_SAMPLES_DIR)) std::abort();
        SampleShop s;
        s.config = readFile(folder / "kq.cfg");
        s.items = readFile(folder / "inventory.dat");
        s.customers = readFile(folder / "customer.dat");
        s.suppliers = readFile(folder / "suppliers.dat");
        if (s.items.empty() || s.customers.empty()) std::abort();
        return s;
    }
};

}  // namespace kassio::fuzz
