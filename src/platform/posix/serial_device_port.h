// The DevicePort on Linux: COM1..COM8 and LPT1..LPT2 are device files,
// /dev/ttyS0..7 and /dev/lp0..1 unless devices.cfg in the DataFolder names
// others, one "NAME=path" per line:
//
//     # the pole display hangs on a USB adapter
//     COM1=/dev/ttyUSB0
//     LPT1=/dev/usb/lp0
//
// Blank lines and lines starting with '#' are ignored. The file is read at
// every open, so a change takes effect without a restart.
//
// A port is opened read-write without becoming the controlling terminal,
// locked with flock() and, for a terminal, TIOCEXCL, so another program
// cannot use it at the same time. Writes give up after a few seconds
// instead of hanging the till on a device that never takes the bytes.
#pragma once

#include <termios.h>

#include <string>

#include "platform/device_port.h"

namespace kassio {

// The device file for port 0..9 with the overrides of devices.cfg in the
// folder; empty for a port outside 0..9.
std::string devicePathOf(const std::string& dataFolder, int port);

// Makes t raw with the line's character size, parity and stop bits, the
// receiver on, modem lines ignored and every kind of flow control off. The
// speed is left to the caller. False for a line Linux cannot carry (4 data
// bits).
bool applyLine(termios& t, const SerialLine& line);

class SerialDevicePort final : public DevicePort {
  public:
    explicit SerialDevicePort(std::string dataFolder, int writeTimeoutMs = 3000)
        : m_folder(std::move(dataFolder)), m_writeTimeoutMs(writeTimeoutMs) {}

    std::unique_ptr<DeviceConnection> open(int port) override;

  private:
    std::string m_folder;
    int m_writeTimeoutMs;
};

}  // namespace kassio
