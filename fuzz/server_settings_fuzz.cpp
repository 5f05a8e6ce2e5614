// station-server.conf of any content, read by loadServerSettings; the same
// bytes, cut at NULs, as a command line for applyServerArguments. A line
// the reader does not take must be refused by number; what it keeps must
// come back trimmed.
#include <cctype>

#include "fuzz_support.h"
#include "server/server_settings.h"

using namespace kassio;
using namespace kassio::fuzz;

namespace {

bool trimmed(const std::string& s) {
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    return s.empty() || (!space(s.front()) && !space(s.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static ScratchFolder folder;
    const std::string text(reinterpret_cast<const char*>(data), size);
    writeFile(folder / kServerSettingsFile, text);

    ServerSettings settings;
    Status s = loadServerSettings(folder.path(), settings);
    if (!s) {
        FUZZ_CHECK(s.kind() == Status::Kind::kInvalid, s.message());
        FUZZ_CHECK(s.message().rfind(std::string(kServerSettingsFile) + " line ", 0) == 0,
                   s.message());
    }
    FUZZ_CHECK(trimmed(settings.listenAddress) && trimmed(settings.stationKey), "untrimmed value");
    FUZZ_CHECK(settings.listenAddress.find('#') == std::string::npos &&
                   settings.stationKey.find('#') == std::string::npos,
               "a comment kept in a value");
    FUZZ_CHECK(!stationKeyMatches("", settings.stationKey), "an empty key matches");
    if (!settings.stationKey.empty())
        FUZZ_CHECK(stationKeyMatches(settings.stationKey, settings.stationKey), "key");

    std::vector<std::string> args;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\0') {
            args.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    applyServerArguments(settings, args);
    return 0;
}
