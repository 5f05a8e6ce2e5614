// Clerks: the "USER LOGON" panel as a state machine and the rules of
// "Operator setup". The clerk table lives in the StoreConfig.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/status.h"
#include "platform/ui.h"
#include "store/data_store.h"
#include "store/store_config.h"

namespace kassio {

inline constexpr int kLastClerk = 99;

class LogOnPanel {
  public:
    LogOnPanel(const StoreConfig& config) : m_config(config) {}

    int clerk() const { return m_clerk; }
    // Whether the clerk may log on (availability 0); clerks outside 1..99 may not.
    bool available(int clerk) const;
    // "%d %s": number and name.
    std::string nameLine() const;
    const std::string& password() const { return m_password; }

    // Up steps down one and Down up one, wrapping 1..99 and skipping
    // clerks who are not available.
    void up();
    void down();
    void digit(char d);
    void clear() { m_password.clear(); }
    void erase();
    void setClerk(int clerk) { m_clerk = clerk; }
    void setPassword(const std::string& password) { m_password = password; }

  private:
    const StoreConfig& m_config;
    int m_clerk = 1;
    std::string m_password;
};

struct OperatorSetup {
    std::string name;
    bool available = true;
    std::string password;
    std::string reentered;
};

// "Please enter the clerk number (1-99):": "Outside range" for others.
Status checkClerkNumber(int clerk);
// Stores one clerk's entry; "Name too long", "Password too long" or
// "Passwords do not match" refuse it. Clerks 1 and 2 are always available.
Status applyOperatorSetup(StoreConfig& config, int clerk, const OperatorSetup& entry);
OperatorSetup loadOperatorSetup(const StoreConfig& config, int clerk);

// Port: the two panels of "Operator setup".
class OperatorSetupForm {
  public:
    virtual ~OperatorSetupForm() = default;
    // "Please enter the clerk number (1-99):"; nullopt on Cancel.
    virtual std::optional<int> clerkNumber() = 0;
    // The "User: %d" panel filled from `entry`; for clerks 1 and 2
    // "Available" cannot be unticked. Each OK hands what the panel holds to
    // `store`: when it refuses (it has said why) the panel stays open with
    // everything as typed; when it stores, the panel closes and true comes
    // back. False on Cancel.
    using StoreEntry = std::function<bool(const OperatorSetup&)>;
    virtual bool editClerk(int clerk, const OperatorSetup& entry, const StoreEntry& store) = 0;
};

// The whole of "Operator setup": only at access level 0 ("Administrator or
// manager", title "Restricted access", otherwise); a clerk number outside
// 1..99 ends it with "Outside range"; a refused entry shows why and offers
// the panel open; a stored one is confirmed with "Amended" (title
// "Clerk"). The change is made under the DataMutex and reaches kq.cfg with
// the next save of the configuration.
void runOperatorSetup(DataStore& store, int accessLevel, Ui& ui, OperatorSetupForm& form);

}  // namespace kassio
