#include "admin/clerks.h"

#include <cstring>

#include "base/fixed_text.h"
#include "base/text_format.h"

namespace kassio {

bool LogOnPanel::available(int clerk) const {
    if (clerk < 1 || clerk > kLastClerk) return false;
    return m_config.record().settings_a[kSetAClerkAvailable + clerk - 1] == 0;
}

std::string LogOnPanel::nameLine() const {
    return formatted("%d %s", m_clerk, m_config.clerkName(m_clerk).c_str());
}

void LogOnPanel::up() {
    for (int step = 0; step < kLastClerk; ++step) {
        m_clerk = m_clerk <= 1 ? kLastClerk : m_clerk - 1;
        if (available(m_clerk)) return;
    }
}

void LogOnPanel::down() {
    for (int step = 0; step < kLastClerk; ++step) {
        m_clerk = m_clerk >= kLastClerk ? 1 : m_clerk + 1;
        if (available(m_clerk)) return;
    }
}

void LogOnPanel::digit(char d) {
    if (d >= '0' && d <= '9') m_password += d;
}

void LogOnPanel::erase() {
    if (!m_password.empty()) m_password.pop_back();
}

Status checkClerkNumber(int clerk) {
    if (clerk < 1 || clerk > kLastClerk) return Status::invalid("Outside range");
    return Status::ok();
}

OperatorSetup loadOperatorSetup(const StoreConfig& config, int clerk) {
    OperatorSetup s;
    if (checkClerkNumber(clerk)) {
        s.name = config.clerkName(clerk);
        s.available =
            clerk <= 2 || config.record().settings_a[kSetAClerkAvailable + clerk - 1] == 0;
    }
    return s;
}

Status applyOperatorSetup(StoreConfig& config, int clerk, const OperatorSetup& entry) {
    if (Status s = checkClerkNumber(clerk); !s) return s;
    if (entry.name.size() > 29) return Status::invalid("Name too long");
    StoreConfigRecord& r = config.record();
    const bool available = clerk <= 2 || entry.available;
    if (available) {
        if (entry.password.size() > 8 || entry.reentered.size() > 8)
            return Status::invalid("Password too long");
        if (entry.password != entry.reentered) return Status::invalid("Passwords do not match");
        for (char c : entry.password)
            if (c < '0' || c > '9')
                return Status::invalid("Passwords must be numeric upto 8 characters");
    }
    std::memset(r.clerk_names[clerk - 1], 0, sizeof r.clerk_names[clerk - 1]);
    setFieldText(r.clerk_names[clerk - 1], entry.name);
    if (available) {
        std::memset(r.clerk_passwords[clerk], 0, sizeof r.clerk_passwords[clerk]);
        setFieldText(r.clerk_passwords[clerk], entry.password);
        r.settings_a[kSetAClerkAvailable + clerk - 1] = 0;
    } else {
        r.settings_a[kSetAClerkAvailable + clerk - 1] = 2;
    }
    return Status::ok();
}

void runOperatorSetup(DataStore& store, int accessLevel, Ui& ui, OperatorSetupForm& form) {
    if (accessLevel != 0) {
        ui.error("Administrator or manager", "Restricted access");
        return;
    }
    auto clerk = form.clerkNumber();
    if (!clerk) return;
    if (Status s = checkClerkNumber(*clerk); !s) {
        ui.error(s.message(), s.title());
        return;
    }
    OperatorSetup entry;
    {
        auto lock = store.lock();
        entry = loadOperatorSetup(store.config(), *clerk);
    }
    const bool stored = form.editClerk(*clerk, entry, [&](const OperatorSetup& typed) {
        Status s;
        {
            auto lock = store.lock();
            s = applyOperatorSetup(store.config(), *clerk, typed);
        }
        if (!s) ui.error(s.message(), s.title());
        return s.isOk();
    });
    if (stored) ui.inform("Amended", "Clerk");
}

}  // namespace kassio
