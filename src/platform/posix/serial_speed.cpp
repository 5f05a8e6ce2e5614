#include "platform/posix/serial_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace kassio {

bool setArbitrarySpeed(int fd, int baud) {
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_cflag &= ~(CBAUD << IBSHIFT);
    t.c_cflag |= BOTHER << IBSHIFT;
    t.c_ispeed = static_cast<speed_t>(baud);
    t.c_ospeed = static_cast<speed_t>(baud);
    return ::ioctl(fd, TCSETS2, &t) == 0;
}

int readSpeed(int fd) {
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0) return -1;
    return static_cast<int>(t.c_ospeed);
}

}  // namespace kassio
