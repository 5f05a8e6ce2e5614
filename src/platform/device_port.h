// Port: the serial and parallel ports that the drawer, the cutter and the
// pole display are wired to, named as the configuration stores them:
// COM1..COM8 (0..7), LPT1 (8), LPT2 (9).
//
// Contract: UI thread; each operation opens a port exclusively, works and
// closes it (the connection's destructor closes), so no device stays open
// between operations and a port held by another program fails to open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kassio {

inline constexpr int kPortCount = 10;  // COM1..COM8, LPT1, LPT2

// "COM1" ... "COM8", "LPT1", "LPT2"; empty for a number outside 0..9.
inline std::string portName(int port) {
    if (port < 0 || port >= kPortCount) return {};
    return port < 8 ? "COM" + std::to_string(port + 1) : "LPT" + std::to_string(port - 7);
}

// Serial line settings. Everything not named here is off: no hardware or
// software flow control, no parity checking, no special characters.
struct SerialLine {
    enum class Parity { kNone, kEven, kOdd };
    enum class StopBits { kOne, kOneAndHalf, kTwo };

    int baud = 9600;
    int dataBits = 8;  // 4..8
    Parity parity = Parity::kNone;
    StopBits stopBits = StopBits::kOne;

    bool operator==(const SerialLine&) const = default;
};

class DeviceConnection {
  public:
    virtual ~DeviceConnection() = default;  // closes the port
    virtual bool setLine(const SerialLine& line) = 0;
    // Writes every byte; false when any could not be written.
    virtual bool write(const uint8_t* bytes, std::size_t count) = 0;
};

class DevicePort {
  public:
    virtual ~DevicePort() = default;
    // Opens an existing device for reading and writing, exclusively; nullptr
    // when it cannot be opened.
    virtual std::unique_ptr<DeviceConnection> open(int port) = 0;
};

}  // namespace kassio
