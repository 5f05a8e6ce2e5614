// The summary box after a sale ("Transaction committed, summary"): its
// figures, and its print buttons, which print one document each.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devices/print_document.h"

namespace kassio {

class SummaryBox {
  public:
    using PrintFn = std::function<void(DocumentKind)>;
    using EmailFn = std::function<void()>;

    SummaryBox(double total, double tendered, double change, double cashBack,
               std::optional<DocumentKind> automatic, int copies, PrintFn print, EmailFn email)
        : m_total(total),
          m_tendered(tendered),
          m_change(change),
          m_cashBack(cashBack),
          m_automatic(automatic),
          m_copies(copies),
          m_print(std::move(print)),
          m_email(std::move(email)) {}

    static constexpr const char* kTitle = "Transaction committed, summary";

    std::string totalDue() const;  // "%.2f"
    std::string tendered() const;
    std::string change() const;
    std::optional<std::string> cashBack() const;  // "CB: %.2f" when above 0

    // What opening the box presses: the automatic document's button once
    // per copy; nothing when "Auto receipt" is "None".
    std::vector<DocumentKind> automaticPresses() const;
    void pressAutomatically();

    void press(DocumentKind kind) {
        if (m_print) m_print(kind);
    }
    void email() {
        if (m_email) m_email();
    }

  private:
    double m_total, m_tendered, m_change, m_cashBack;
    std::optional<DocumentKind> m_automatic;
    int m_copies;
    PrintFn m_print;
    EmailFn m_email;
};

}  // namespace kassio
