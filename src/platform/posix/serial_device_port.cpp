#include "platform/posix/serial_device_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>

#include "platform/posix/serial_speed.h"

namespace kassio {

namespace {

std::string defaultPath(int port) {
    return port < 8 ? "/dev/ttyS" + std::to_string(port) : "/dev/lp" + std::to_string(port - 8);
}

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

speed_t standardSpeed(int baud) {
    switch (baud) {
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return 0;  // 14400, 128000, 256000 need the speed set as a number
    }
}

// CS5 is 0, so a size Linux lacks (4 bits) is told apart by the flag.
tcflag_t characterSize(int dataBits, bool& supported) {
    supported = true;
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        case 8:
            return CS8;
        default:
            supported = false;
            return CS8;
    }
}

class SerialConnection final : public DeviceConnection {
  public:
    SerialConnection(int fd, bool terminal, int writeTimeoutMs)
        : m_fd(fd), m_terminal(terminal), m_writeTimeoutMs(writeTimeoutMs) {}
    ~SerialConnection() override {
        if (m_terminal) ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);  // also drops the flock
    }

    bool setLine(const SerialLine& line) override {
        if (!m_terminal) return false;
        termios t{};
        if (::tcgetattr(m_fd, &t) != 0 || !applyLine(t, line)) return false;
        speed_t speed = standardSpeed(line.baud);
        if (speed != 0) {
            ::cfsetispeed(&t, speed);
            ::cfsetospeed(&t, speed);
        }
        if (::tcsetattr(m_fd, TCSANOW, &t) != 0) return false;
        return speed != 0 || setArbitrarySpeed(m_fd, line.baud);
    }

    bool write(const uint8_t* bytes, std::size_t count) override {
        auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(m_writeTimeoutMs);
        std::size_t done = 0;
        while (done < count) {
            ssize_t n = ::write(m_fd, bytes + done, count - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) == 0) return false;
            // Some drivers report writable when they are not: do not spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

  private:
    int m_fd;
    bool m_terminal;
    int m_writeTimeoutMs;
};

}  // namespace

bool applyLine(termios& t, const SerialLine& line) {
    bool supported = false;
    tcflag_t size = characterSize(line.dataBits, supported);
    if (!supported) return false;
    ::cfmakeraw(&t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR | ISTRIP);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= size | CLOCAL | CREAD;
    if (line.parity != SerialLine::Parity::kNone) t.c_cflag |= PARENB;
    if (line.parity == SerialLine::Parity::kOdd) t.c_cflag |= PARODD;
    // Linux has no 1.5 stop bits setting: CSTOPB gives 1.5 with 5-bit
    // characters and 2 otherwise, as the UARTs do.
    if (line.stopBits != SerialLine::StopBits::kOne) t.c_cflag |= CSTOPB;
    for (cc_t& c : t.c_cc) c = _POSIX_VDISABLE;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return true;
}

std::string devicePathOf(const std::string& dataFolder, int port) {
    if (port < 0 || port >= kPortCount) return {};
    std::string path = defaultPath(port);
    std::ifstream in(dataFolder + "/devices.cfg");
    std::string line;
    const std::string name = portName(port);
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = trim(line.substr(0, eq));
        if (key.size() == name.size() &&
            std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
                return std::toupper(static_cast<unsigned char>(a)) == b;
            }))
            path = trim(line.substr(eq + 1));
    }
    return path;
}

std::unique_ptr<DeviceConnection> SerialDevicePort::open(int port) {
    std::string path = devicePathOf(m_folder, port);
    if (path.empty()) return nullptr;
    // Non-blocking: opening a serial line without carrier must not wait, and
    // writes must be able to give up.
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    bool terminal = ::isatty(fd) == 1;
    if (terminal && ::ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<SerialConnection>(fd, terminal, m_writeTimeoutMs);
}

}  // namespace kassio
