// The clerk logged on at the till and the access level that follows from
// the clerk's number: 0 for clerks 1 and 2, 2 for every other clerk.
#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"
#include "store/data_store.h"

namespace kassio {

class ClerkSession {
  public:
    explicit ClerkSession(DataStore& store) : m_store(store) {}

    // Clerk 1..99 with the exact stored password (at most 9 characters are
    // taken). A refusal changes nothing and says why; the caller decides
    // whether to show it. Success makes the clerk current.
    Status logOn(int64_t clerk, const std::string& password);
    // "Log on." and the clerk line, for the day's ActivityLog.
    std::string logOnLines(const LocalTime& now) const;

    int64_t clerk() const { return m_clerk; }
    std::string name() const;
    int accessLevel() const { return m_accessLevel; }
    // "KASSIO SC    Assoc: %I64d, %s" once a clerk has logged on.
    std::string windowTitle() const;

  private:
    DataStore& m_store;
    int64_t m_clerk = 0;
    int m_accessLevel = 2;
};

}  // namespace kassio
