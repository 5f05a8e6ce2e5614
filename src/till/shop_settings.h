// The switches the till's own menus and panels change in kq.cfg. Each
// setter takes the DataMutex, changes the in-memory StoreConfig, writes
// kq.cfg and reports a failed write; the caller shows it (after the
// setter has let go of the mutex).
#pragma once

#include <functional>

#include "base/status.h"
#include "store/data_store.h"

namespace kassio {

// Runs `change` on the StoreConfig under the DataMutex, then saves it.
Status changeStoreConfig(DataStore& store, const std::function<void(StoreConfigRecord&)>& change);

// "Sound effects" and "Button tips": on is the flag 0, off is 2.
Status toggleSoundEffects(DataStore& store);
Status toggleButtonTips(DataStore& store);
// The tip of the day shown next and whether tips show at start.
Status storeTipOfTheDay(DataStore& store, int nextTip, bool showAtStart);

}  // namespace kassio
