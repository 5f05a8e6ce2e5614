#include "till/shop_settings.h"

namespace kassio {

Status changeStoreConfig(DataStore& store, const std::function<void(StoreConfigRecord&)>& change) {
    auto lock = store.lock();
    change(store.config().record());
    return store.saveConfig();
}

Status toggleSoundEffects(DataStore& store) {
    return changeStoreConfig(store, [](StoreConfigRecord& r) {
        int32_t& off = r.settings_b[kSetBSoundEffectsOff];
        off = off == 0 ? 2 : 0;
    });
}

Status toggleButtonTips(DataStore& store) {
    return changeStoreConfig(store, [](StoreConfigRecord& r) {
        int32_t& off = r.settings_b[kSetBButtonTipsOff];
        off = off == 0 ? 2 : 0;
    });
}

Status storeTipOfTheDay(DataStore& store, int nextTip, bool showAtStart) {
    return changeStoreConfig(store, [&](StoreConfigRecord& r) {
        r.counters[kCounterTipNumber] = nextTip;
        r.counters[kCounterTipsOff] = showAtStart ? 0 : 2;
    });
}

}  // namespace kassio
