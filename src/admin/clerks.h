// Clerks: the "USER LOGON" panel as a state machine and the rules of
// "Operator setup". The clerk table lives in the StoreConfig.
#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"
#include "store/store_config.h"

namespace kassio {

inline constexpr int kLastClerk = 99;

class LogOnPanel {
  public:
    LogOnPanel(const StoreConfig& config) : m_config(config) {}

    int clerk() const { return m_clerk; }
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
    bool available(int clerk) const;

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

}  // namespace kassio
