// Where the station server listens, and the key TCP callers must give.
//
// The server always listens on the unix socket "rpc4.sock" in the
// DataFolder, where only users who can reach the DataFolder can connect. It
// listens on TCP as well when a listen address is set, and then only calls
// that carry the station key (gRPC metadata "kassio-station-key") are
// served. A listen address without a key opens no TCP port at all.
//
// The TCP port speaks TLS when a certificate and its private key are named
// (PEM files); the key and every sale then cross the shop's network
// encrypted. Without them the TCP port is plain, as it always was.
//
// Settings come from "station-server.conf" in the DataFolder, a text file
// of "name = value" lines ('#' starts a comment):
//
//     listen = 0.0.0.0:7450
//     station_key = a-long-random-text
//     tls_certificate = /etc/kassio/station.crt
//     tls_key = /etc/kassio/station.key
//
// and the command-line options --listen ADDRESS, --station-key KEY,
// --tls-certificate FILE and --tls-key FILE, which override the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace kassio {

inline constexpr const char* kServerSettingsFile = "station-server.conf";
inline constexpr const char* kServerSocketName = "rpc4.sock";
inline constexpr const char* kStationKeyMetadata = "kassio-station-key";
// The environment variable that may hold the station key, so it need not
// stand on a command line where `ps` shows it to every local user.
inline constexpr const char* kStationKeyVariable = "KASSIO_STATION_KEY";
// A client posting's id (up to 64 bytes), sent beside the unchanged NDR
// image: the same id sent again gets the first answer, not a second posting.
inline constexpr const char* kRequestIdMetadata = "kassio-request-id";

struct ServerSettings {
    std::string listenAddress;  // host:port; empty = unix socket only
    std::string stationKey;
    std::string tlsCertificate;  // PEM file paths; both empty = plain TCP
    std::string tlsKey;

    bool tlsWanted() const { return !tlsCertificate.empty() || !tlsKey.empty(); }

    bool tcpWanted() const { return !listenAddress.empty(); }
};

// Reads the settings file of the DataFolder. A missing file is the
// defaults; a line that is not "name = value" with a known name is an
// error naming the line, and the settings read so far are kept.
Status loadServerSettings(const std::string& dataFolder, ServerSettings& out);

// Takes --listen, --tls-certificate, --tls-key, --station-key-file FILE and
// --station-key KEY (as "--opt
// value" or "--opt=value") out of a command line, and the key from
// $KASSIO_STATION_KEY when no option gives one; other arguments are left
// alone. A key file that cannot be read is an error; a key given with
// --station-key is taken with a warning (Kind kInvalid, title "Warning"),
// as any local user can read it with `ps`.
Status applyServerArguments(ServerSettings& settings, const std::vector<std::string>& args);

// The key a key file holds on its one line, without the blanks around it.
Status readStationKeyFile(const std::string& path, std::string& key);

// The unix socket endpoint of a DataFolder: "unix:<DataFolder>/rpc4.sock".
std::string socketEndpoint(const std::string& dataFolder);

// Compares a key given by a caller with the configured one in time that
// does not depend on where they differ. An empty configured key matches
// nothing.
bool stationKeyMatches(std::string_view configured, std::string_view given);

}  // namespace kassio
