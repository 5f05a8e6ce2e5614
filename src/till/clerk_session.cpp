#include "till/clerk_session.h"

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"

namespace kassio {

std::string ClerkSession::name() const {
    return m_store.config().clerkName(m_clerk);
}

std::string ClerkSession::windowTitle() const {
    if (m_clerk == 0) return "KASSIO";
    return formatted("KASSIO SC    Assoc: %lld, %s", static_cast<long long>(m_clerk),
                     name().c_str());
}

Status ClerkSession::logOn(int64_t clerk, const std::string& password) {
    if (clerk < 1 || clerk > 99) return Status::invalid("No such clerk", "USER LOGON");
    const std::string typed = password.substr(0, 9);
    {
        auto lock = m_store.lock();
        if (fieldText(m_store.config().record().clerk_passwords[clerk]) != typed)
            return Status::invalid(
                formatted("Wrong password for clerk %lld", static_cast<long long>(clerk)),
                "USER LOGON");
        m_store.config().record().current_clerk = clerk;
    }
    m_clerk = clerk;
    m_accessLevel = clerk <= 2 ? 0 : 2;
    return Status::ok();
}

std::string ClerkSession::logOnLines(const LocalTime& now) const {
    const std::string ts = timestampText(now);
    return formatted("\r\n%s  Log on.\r\n", logTimeText(ts).c_str()) +
           formatted("Clerk: %lld, %s\r\n", static_cast<long long>(m_clerk), name().c_str());
}

}  // namespace kassio
