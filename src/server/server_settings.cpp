#include "server/server_settings.h"

#include <fstream>

namespace kassio {

namespace {

std::string trimmed(std::string_view s) {
    const char* spaces = " \t\r\n";
    const auto first = s.find_first_not_of(spaces);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(spaces);
    return std::string(s.substr(first, last - first + 1));
}

}  // namespace

Status loadServerSettings(const std::string& dataFolder, ServerSettings& out) {
    std::ifstream in(dataFolder + "/" + kServerSettingsFile);
    if (!in) return Status::ok();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string text = trimmed(line.substr(0, line.find('#')));
        if (text.empty()) continue;
        const auto eq = text.find('=');
        const std::string name = eq == std::string::npos ? text : trimmed(text.substr(0, eq));
        const std::string value = eq == std::string::npos ? "" : trimmed(text.substr(eq + 1));
        if (eq != std::string::npos && name == "listen") {
            out.listenAddress = value;
        } else if (eq != std::string::npos && name == "station_key") {
            out.stationKey = value;
        } else {
            return Status::invalid(std::string(kServerSettingsFile) + " line " +
                                   std::to_string(number) + ": " + text);
        }
    }
    return Status::ok();
}

void applyServerArguments(ServerSettings& settings, const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        for (auto [option, target] :
             {std::pair{std::string("--listen"), &settings.listenAddress},
              std::pair{std::string("--station-key"), &settings.stationKey}}) {
            if (args[i] == option && i + 1 < args.size())
                *target = args[i + 1];
            else if (args[i].rfind(option + "=", 0) == 0)
                *target = args[i].substr(option.size() + 1);
        }
    }
}

std::string socketEndpoint(const std::string& dataFolder) {
    return "unix:" + dataFolder + "/" + kServerSocketName;
}

bool stationKeyMatches(std::string_view configured, std::string_view given) {
    if (configured.empty()) return false;
    unsigned char diff = configured.size() == given.size() ? 0 : 1;
    for (std::size_t i = 0; i < configured.size(); ++i)
        diff |= static_cast<unsigned char>(configured[i] ^ (i < given.size() ? given[i] : 0));
    return diff == 0;
}

}  // namespace kassio
