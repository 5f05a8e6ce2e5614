// The data-store half of starting and closing a station, shared by the
// till and kassio-admin. Messages go through the Ui port, always after the
// DataMutex has been released.
#pragma once

#include <string>

#include "platform/ui.h"
#include "store/data_store.h"

namespace kassio {

// Recovery of the posting journal, a first start when kq.cfg does not
// exist (the folder is created and the first-run files written; any other
// failure to open kq.cfg ends the start with its reason), then
// OpenData, then the start stamp and "Switched on.". False when the data could not be opened: the
// program must end.
bool startDataStore(DataStore& store, const std::string& samplesFolder,
                    const std::string& localeCurrency, Ui& ui);

// The close-down writes, each failure shown, then the store's close: the
// posting journal is emptied and removed.
void closeDataStore(DataStore& store, Ui& ui);

}  // namespace kassio
