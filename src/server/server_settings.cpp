#include "server/server_settings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "store/file_io.h"

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
        } else if (eq != std::string::npos && name == "tls_certificate") {
            out.tlsCertificate = value;
        } else if (eq != std::string::npos && name == "tls_key") {
            out.tlsKey = value;
        } else {
            return Status::invalid(std::string(kServerSettingsFile) + " line " +
                                   std::to_string(number) + ": " + text);
        }
    }
    return Status::ok();
}

Status applyServerArguments(ServerSettings& settings, const std::vector<std::string>& args) {
    std::string keyOption, keyFile;
    for (std::size_t i = 0; i < args.size(); ++i) {
        for (auto [option, target] :
             {std::pair{std::string("--listen"), &settings.listenAddress},
              std::pair{std::string("--tls-certificate"), &settings.tlsCertificate},
              std::pair{std::string("--tls-key"), &settings.tlsKey},
              std::pair{std::string("--station-key"), &keyOption},
              std::pair{std::string("--station-key-file"), &keyFile}}) {
            if (args[i] == option && i + 1 < args.size())
                *target = args[i + 1];
            else if (args[i].rfind(option + "=", 0) == 0)
                *target = args[i].substr(option.size() + 1);
        }
    }
    if (!keyFile.empty()) return readStationKeyFile(keyFile, settings.stationKey);
    if (!keyOption.empty()) {
        settings.stationKey = keyOption;
        return Status::invalid(
            "the station key on the command line can be read by any local user (ps); give it "
            "with --station-key-file FILE or $KASSIO_STATION_KEY instead",
            "Warning");
    }
    if (const char* key = std::getenv(kStationKeyVariable); key && *key) settings.stationKey = key;
    return Status::ok();
}

// The key a key file holds on its one line, without the blanks around it
// (the station's settings file trims its key the same way).
Status readStationKeyFile(const std::string& path, std::string& key) {
    auto bytes = readWholeFile(path);
    if (!bytes)
        return Status::notFound("cannot read the station key file " + path + ": " +
                                std::strerror(errno));
    const std::string content(bytes->begin(), bytes->end());
    const char* blanks = " \t\r\n";
    const auto first = content.find_first_not_of(blanks);
    const auto last = content.find_last_not_of(blanks);
    if (first == std::string::npos)
        return Status::invalid("the station key file " + path + " is empty");
    key = content.substr(first, last - first + 1);
    if (key.find_first_of("\r\n") != std::string::npos)
        return Status::invalid("the station key file " + path + " holds more than one line");
    return Status::ok();
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
