// The cash drawer and the receipt cutter, and the rules of the "Till
// configuration" page.
//
// The drawer opens either straight through a port (the open character,
// repeated) or, daisy-chained behind the receipt printer, through a raw
// job holding the printer control sequence.
#pragma once

#include <array>
#include <string>

#include "platform/device_port.h"
#include "platform/printers.h"
#include "platform/ui.h"
#include "store/store_config.h"

namespace kassio {

class TillDrawer {
  public:
    TillDrawer(Printers& printers, DevicePort& ports, Ui& ui)
        : m_printers(printers), m_ports(ports), m_ui(ui) {}

    // OpenTillDrawer. Failures are shown and the caller carries on.
    void open(const StoreConfigRecord& cfg);

    // SendCutterCodes: the custom receipt's cutter sequence to its port,
    // when the sequence is not empty.
    void sendCutterCodes(const StoreConfigRecord& cfg);

  private:
    Printers& m_printers;
    DevicePort& m_ports;
    Ui& m_ui;
};

// The read-only list of receipt printers' drawer codes on the page.
inline constexpr int kPrinterModelCount = 17;
extern const std::array<const char*, kPrinterModelCount> kPrinterModelCodes;

// "Till configuration": what the page shows and what OK/Apply stores.
struct TillConfigPage {
    bool printerConnect = true;   // "Receipt printer connect", else "Direct connect"
    int port = 0;                 // 0..9: "COM1:".."COM8:", "LPT1:", "LPT2:"
    std::string openCharacter;    // as typed
    std::string repeat;           // as typed
    std::string controlSequence;  // "Printer control sequence"
    bool openAutomatically = false;

    static TillConfigPage load(const StoreConfigRecord& cfg);
    // "Open character" is taken only when 0..255, "Repeat" only when 1..10;
    // otherwise the old value stays. The sequence keeps 31 characters.
    void apply(StoreConfigRecord& cfg) const;
};

}  // namespace kassio
