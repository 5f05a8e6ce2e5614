// The customer pole display on a serial port, optionally daisy-chained with
// a receipt printer that is switched off around each message; and the rules
// of the "Pole configuration" page.
//
// Every message opens the port, sets the line, writes, closes. The callers
// check that the pole is in use; Preview works whatever the switch says.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/device_port.h"
#include "platform/ui.h"
#include "store/basket.h"
#include "store/store_config.h"

namespace kassio {

inline constexpr int kBaudPositions = 13;
// List position -> bits per second; position 0 is 9600.
extern const std::array<int, kBaudPositions> kPoleBaudRates;
inline constexpr std::array<int, 5> kPoleDataBits = {8, 4, 5, 6, 7};

// The line the configuration asks for (unknown positions read as 0).
SerialLine poleLine(const StoreConfigRecord& cfg);

// The item message's text for the last Basket line.
std::string poleItemText(const Basket& basket);

class PoleDisplay {
  public:
    PoleDisplay(DevicePort& ports, Ui& ui) : m_ports(ports), m_ui(ui) {}

    void showPassiveText(const StoreConfigRecord& cfg);
    void showItem(const StoreConfigRecord& cfg, const Basket& basket);
    void showTotal(const StoreConfigRecord& cfg, double total);
    void showTenderAndChange(const StoreConfigRecord& cfg, double tendered, double change);

    // The page's "Preview" with settings the caller has already stored.
    void preview(const StoreConfigRecord& cfg);

  private:
    std::unique_ptr<DeviceConnection> openPort(const StoreConfigRecord& cfg, bool setLine);
    void switchPrinter(const StoreConfigRecord& cfg, bool on);
    // One message between printer off and printer on. The second write, when
    // there is one, goes on the same open port and alone decides success.
    void message(const StoreConfigRecord& cfg, const std::vector<uint8_t>& first,
                 const std::vector<uint8_t>* second, const char* openFailureTitle);
    bool write(DeviceConnection& port, const std::vector<uint8_t>& bytes);

    DevicePort& m_ports;
    Ui& m_ui;
};

// "Pole configuration": what the page shows and what OK/Apply stores.
struct PolePage {
    bool use = false;
    int port = 0;  // COM1..COM8
    int baud = 0;  // list positions
    int parity = 0;
    int dataBits = 0;
    int stopBits = 0;
    int columns1 = 0;
    int columns2 = 0;
    std::string passiveText, printerOn, printerOff, clear, firstLine, secondLine;

    static PolePage load(const StoreConfigRecord& cfg);
    void apply(StoreConfigRecord& cfg) const;  // texts keep 31 characters
};

}  // namespace kassio
