// devices.cfg of any content, read by devicePathOf for every port number
// and two beyond. A port outside COM1..COM8, LPT1..LPT2 has no device; the
// others always have a path, trimmed, from the file or the default.
#include "fuzz_support.h"
#include "platform/posix/serial_device_port.h"

using namespace kassio;
using namespace kassio::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static ScratchFolder folder;
    writeFile(folder / "devices.cfg", std::string_view(reinterpret_cast<const char*>(data), size));
    for (int port = -1; port <= kPortCount; ++port) {
        const std::string path = devicePathOf(folder.path(), port);
        if (port < 0 || port >= kPortCount) {
            FUZZ_CHECK(path.empty(), "a device for an unknown port");
            continue;
        }
        if (path.empty()) continue;  // "COM1=" names no device
        FUZZ_CHECK(path.front() != ' ' && path.back() != ' ' && path.back() != '\r',
                   "untrimmed path: " + path);
    }
    return 0;
}
