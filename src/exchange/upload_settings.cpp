#include "exchange/upload_settings.h"

#include <sys/stat.h>

#include <cstring>

#include "base/fixed_text.h"
#include "store/data_store.h"

namespace kassio {

namespace {
constexpr const char* kFile = "upload.cfg";

int* choices(StoreConfigRecord& r) {
    return r.settings_a;
}
}  // namespace

UploadSettings defaultUploadSettings() {
    UploadSettings s;
    for (int i = 0; i < 3; ++i) s.names[static_cast<std::size_t>(i)] = kDefaultUploadNames[i];
    return s;
}

std::optional<UploadSettings> loadUploadSettings(DataStore& store) {
    auto lock = store.lock();
    auto bytes = store.files().readAll(kFile);
    if (!bytes) return std::nullopt;
    UploadSettingsRecord r;
    std::memset(&r, 0, sizeof r);
    std::memcpy(&r, bytes->data(), std::min(bytes->size(), sizeof r));
    UploadSettings s;
    s.server = fieldText(r.ftp_server);
    s.user = fieldText(r.ftp_user);
    s.password = fieldText(r.ftp_password);
    s.names = {fieldText(r.overview_name), fieldText(r.items_name), fieldText(r.reorder_name)};
    const int* a = choices(store.config().record());
    s.chosen = {a[kSetAUploadOverview] == 2, a[kSetAUploadItems] == 2, a[kSetAUploadReorder] == 2};
    s.tls = a[kSetAUploadTls] == 2;
    return s;
}

Status saveUploadSettings(DataStore& store, const UploadSettings& s) {
    UploadSettingsRecord r;
    std::memset(&r, 0, sizeof r);
    setFieldText(r.ftp_server, s.server);
    setFieldText(r.ftp_user, s.user);
    setFieldText(r.ftp_password, s.password);
    setFieldText(r.overview_name, s.names[0]);
    setFieldText(r.items_name, s.names[1]);
    setFieldText(r.reorder_name, s.names[2]);
    auto lock = store.lock();
    StoreFiles::Batch batch(store.files());
    Status w = store.files().replace(kFile, &r, sizeof r);
    int* a = choices(store.config().record());
    a[kSetAUploadOverview] = s.chosen[0] ? 2 : 0;
    a[kSetAUploadItems] = s.chosen[1] ? 2 : 0;
    a[kSetAUploadReorder] = s.chosen[2] ? 2 : 0;
    a[kSetAUploadTls] = s.tls ? 2 : 0;
    Status c = store.saveConfig();
    uint64_t ticket = 0;
    Status done = batch.commit(&ticket);
    lock.unlock();
    if (done) done = store.waitDurable(ticket);
    if (!w || !done) return Status::ioError("Unable to create UPLOAD.CFG");
    if (!c) return c;
    // A file made by a copy or an older program may be readable by others:
    // it holds the password.
    static_cast<void>(::chmod(store.pathOf(kFile).c_str(), 0600));
    return Status::ok();
}

}  // namespace kassio
