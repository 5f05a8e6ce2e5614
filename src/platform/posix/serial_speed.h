// Line speeds that have no Bnnn constant (14400, 128000, 256000) are set as
// a number through the termios2 interface, which cannot share a file with
// <termios.h>.
#pragma once

namespace kassio {

// Sets both directions of a terminal to baud bits per second.
bool setArbitrarySpeed(int fd, int baud);
// The output speed a terminal reports, in bits per second; -1 on failure.
int readSpeed(int fd);

}  // namespace kassio
