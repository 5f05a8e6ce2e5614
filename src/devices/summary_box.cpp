#include "devices/summary_box.h"

#include "base/text_format.h"

namespace kassio {

std::string SummaryBox::totalDue() const {
    return formatted("%.2f", m_total);
}
std::string SummaryBox::tendered() const {
    return formatted("%.2f", m_tendered);
}
std::string SummaryBox::change() const {
    return formatted("%.2f", m_change);
}

std::optional<std::string> SummaryBox::cashBack() const {
    if (m_cashBack > 0) return formatted("CB: %.2f", m_cashBack);
    return std::nullopt;
}

std::vector<DocumentKind> SummaryBox::automaticPresses() const {
    if (!m_automatic) return {};
    return std::vector<DocumentKind>(static_cast<std::size_t>(m_copies), *m_automatic);
}

void SummaryBox::pressAutomatically() {
    for (DocumentKind kind : automaticPresses()) press(kind);
}

}  // namespace kassio
