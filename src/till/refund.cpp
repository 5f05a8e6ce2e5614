#include <cstring>
#include <memory>

#include "base/fixed_text.h"
#include "base/text_format.h"
#include "base/timestamp.h"
#include "store/customers.h"
#include "till/posting_internal.h"
#include "till/till.h"

namespace kassio {

void Till::refund() {
    Basket& b = basket();
    if (m_current.rows().empty() || b.line_count <= 0) {
        m_ui.error("No items", kTitleProblem);
        return;
    }
    const LocalTime now = m_store.clock().now();
    const int32_t next = m_data.nextTransaction();
    auto choice = m_panels.refundPanel(b, next, dateText(now));
    if (!choice || choice->kind < 0 || choice->kind > 3 || choice->restock < 0 ||
        choice->restock > 1)
        return;
    if (choice->kind == 3) {
        auto entry = m_panels.customerEntry();
        if (!entry) return;
        auto customer = pickCustomer(*entry);
        if (!customer) return;
        const std::string title =
            formatted("%lld Name: %s", static_cast<long long>(customer->number),
                      fieldText(customer->name).c_str());
        if (m_ui.message("Credit this customer?", title, Ui::Icon::kQuestion,
                         Ui::Buttons::kOkCancel) != Ui::Answer::kOk)
            return;
        show(m_data.creditCustomer(customer->number, b.total));
        b.customer = customer->number;
        std::memset(b.customer_name, 0, sizeof b.customer_name);
        setFieldText(b.customer_name, fieldText(customer->name));
    }

    stampHeader();
    if (choice->kind == 2 && m_store.config().record().money[kMoneyCardTerminalMode] == 2.0) {
        bool notPresent = false;
        if (m_store.config().record().money[kMoneyCardRefundKind] != 0) {
            CardRefundChoice c = m_panels.cardRefundBox();
            if (c == CardRefundChoice::kCancel) return;
            notPresent = c == CardRefundChoice::kNotPresent;
        }
        if (!m_devices.cardRefundExchange(b, b.total, notPresent).approved) return;
    }

    // Posting negates the Basket's totals; a refund that stops part
    // way must leave them as they were, or another press of Refund would
    // negate them back and journal a "refund" with positive totals.
    const auto before = std::make_unique<Basket>(b);
    TillPostOutcome outcome =
        m_data.postRefund(b, RefundChoices{choice->kind, choice->restock}, m_clerks.name());
    for (const Status& s : outcome.messages) show(s);
    if (outcome.stopped) {
        b = *before;  // the Basket keeps its lines and totals for another try
        return;
    }

    if (choice->printReceipt) m_devices.printRefundReceipt(b);
    m_current.clear();
    if (m_store.config().record().options[kOptOpenDrawerAutomatically] > 0) m_devices.openDrawer();
}

}  // namespace kassio
