// The tender session: the one modeless panel open over the till (cash,
// split, discount, price or weight), the tender state the command guard
// reads, and the amount tendered and change of the last tender.
//
// Ownership: the session owns the open panel. A panel never destroys
// itself; when its work is done (OK, Cancel, a posted sale) it says so with
// finish(), the tender state drops to 0 at once, and the session lets go of
// it at the next settle() or open(), after the panel's own call has
// returned. Observers that outlive a call (the Qt panel) hold a weak_ptr.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace kassio {

// Stored and read as the documented 32-bit values.
enum class TenderState : int32_t {
    kNone = 0,
    kPanelOpen = 2,  // one modeless panel is open: commands only move the focus to it
};

class TillPanel {
  public:
    virtual ~TillPanel() = default;
    TillPanel() = default;
    TillPanel(const TillPanel&) = delete;
    TillPanel& operator=(const TillPanel&) = delete;

    // The panel's work is over: it takes no further input.
    bool done() const { return m_done; }

  protected:
    void finish() { m_done = true; }

  private:
    bool m_done = false;
};

class TenderSession {
  public:
    TenderState state() const;

    // Makes `panel` the open one, letting go of a finished one before it.
    template <class P>
    P* open(std::shared_ptr<P> panel) {
        settle();
        m_open = panel;
        return panel.get();
    }
    // Lets go of a finished panel. Never call it from a panel's own member.
    void settle();
    // The open panel when it is not done, else null; settles first.
    std::shared_ptr<TillPanel> openPanel();
    template <class P>
    P* openAs() {
        return dynamic_cast<P*>(openPanel().get());
    }

    // A split payment agreed its parts: the cash panel for `cashPart` is due
    // next. The state stays 2 until it has opened and finished.
    void continueWithCash(double cashPart) { m_splitCash = cashPart; }
    std::optional<double> takeSplitCash();

    void setTendered(double tendered, double change) {
        m_tendered = tendered;
        m_change = change;
    }
    double tendered() const { return m_tendered; }
    double change() const { return m_change; }

  private:
    std::shared_ptr<TillPanel> m_open;
    std::optional<double> m_splitCash;
    double m_tendered = 0;
    double m_change = 0;
};

}  // namespace kassio
