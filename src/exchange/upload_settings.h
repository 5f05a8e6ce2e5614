// upload.cfg: the head office upload settings, one 5040-byte record in the
// DataFolder, read and written whole. It holds the FTP password as typed,
// so it is created readable by the shop's user alone (0600).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"
#include "store/store_config.h"

namespace kassio {

#pragma pack(push, 1)
struct UploadSettingsRecord {
    char reserved1[1440];
    char ftp_server[200];
    char ftp_user[200];
    char ftp_password[200];
    char reserved2[600];
    char overview_name[200];  // the daily overview, default "Activity.txt"
    char items_name[200];     // the daily items CSV, default "Dlyitems.txt"
    char reorder_name[200];   // the reorder list, default "Reorder.txt"
    char reserved3[1800];
};
#pragma pack(pop)
inline constexpr std::size_t kUploadSettingsSize = 5040;
static_assert(sizeof(UploadSettingsRecord) == kUploadSettingsSize);
static_assert(offsetof(UploadSettingsRecord, ftp_server) == 1440);
static_assert(offsetof(UploadSettingsRecord, ftp_user) == 1640);
static_assert(offsetof(UploadSettingsRecord, ftp_password) == 1840);
static_assert(offsetof(UploadSettingsRecord, overview_name) == 2640);
static_assert(offsetof(UploadSettingsRecord, items_name) == 2840);
static_assert(offsetof(UploadSettingsRecord, reorder_name) == 3040);

// The three "Upload" choices live in kq.cfg: 2 chosen, 0 not (settings
// block A, beside nothing else of ours).
inline constexpr int kSetAUploadOverview = settingA(12218);
inline constexpr int kSetAUploadItems = settingA(12222);
inline constexpr int kSetAUploadReorder = settingA(12226);
// 2 = send over explicit TLS (FTPS); plain FTP when 0.
inline constexpr int kSetAUploadTls = settingA(12230);

class DataStore;

// The settings as the dialog edits them: texts up to 199 characters.
struct UploadSettings {
    std::string server, user, password;
    std::array<std::string, 3> names;  // overview, items CSV, reorder list
    std::array<bool, 3> chosen{};      // the "Upload" boxes (from kq.cfg)
    bool tls = false;                  // from kq.cfg
};

inline constexpr const char* kDefaultUploadNames[3] = {"Activity.txt", "Dlyitems.txt",
                                                       "Reorder.txt"};

// nullopt when upload.cfg does not exist; a file of another size is read as
// far as it goes. The choices come from the store's configuration.
std::optional<UploadSettings> loadUploadSettings(DataStore& store);
// Writes upload.cfg whole (0600) and the choices into kq.cfg. Failure:
// "Unable to create UPLOAD.CFG".
Status saveUploadSettings(DataStore& store, const UploadSettings& settings);
// The settings of a shop that has none yet: no server, the default names.
UploadSettings defaultUploadSettings();

}  // namespace kassio
