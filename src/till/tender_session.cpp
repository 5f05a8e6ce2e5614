#include "till/tender_session.h"

namespace kassio {

TenderState TenderSession::state() const {
    const bool open = (m_open && !m_open->done()) || m_splitCash.has_value();
    return open ? TenderState::kPanelOpen : TenderState::kNone;
}

void TenderSession::settle() {
    if (m_open && m_open->done()) m_open.reset();
}

std::shared_ptr<TillPanel> TenderSession::openPanel() {
    settle();
    return m_open;
}

std::optional<double> TenderSession::takeSplitCash() {
    std::optional<double> due = m_splitCash;
    m_splitCash.reset();
    return due;
}

}  // namespace kassio
