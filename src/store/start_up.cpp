#include "store/start_up.h"

#include "store/file_io.h"

namespace kassio {

namespace {

void show(Ui& ui, const Status& s) {
    if (!s.isOk()) ui.error(s.message(), s.title());
}

}  // namespace

bool startDataStore(DataStore& store, const std::string& samplesFolder,
                    const std::string& localeCurrency, Ui& ui) {
    // Recovery comes before anything is read, the first start included: a
    // first start cut short is finished (or redone) from the journal.
    if (isDirectory(store.folder())) {
        if (Status s = store.recover(); !s) {
            show(ui, s);
            return false;
        }
    }
    // Only a kq.cfg that does not exist means a first start; one that is
    // there but cannot be opened stops the start with the reason.
    Status config = store.probeConfig();
    if (!config && config.kind() != Status::Kind::kNotFound) {
        show(ui, config);
        return false;
    }
    if (!config) {
        if (!makeDirectories(store.folder())) {
            // The start goes on; OpenData then reports the missing files.
            ui.error("Unable to create data directory", kTitleFatal);
        } else {
            show(ui, store.firstRunSetup(samplesFolder));
        }
    }
    if (Status s = store.openData(); !s) {
        show(ui, s);
        return false;
    }
    for (const Status& s : store.recordStart(localeCurrency)) show(ui, s);
    return true;
}

void closeDataStore(DataStore& store, Ui& ui) {
    for (const Status& s : store.recordClose()) show(ui, s);
    show(ui, store.close());
}

}  // namespace kassio
