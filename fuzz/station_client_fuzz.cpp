// kassio-station's commands against a station that answers anything: the
// first section of the input (see splitSections) chooses the command (its
// first byte) and gives its argument (a search text, or the JSON file of a
// customer, sale or refund); each later section is the reply to one call
// in turn. A reply whose first byte is odd is cut or zero-padded to the
// size the procedure answers with; 0xFF is a transport failure. Whatever
// comes back, the command ends with one of its exit codes.
#include <sstream>

#include "fuzz_support.h"
#include "procedure_sizes.h"
#include "server/station_program.h"

using namespace kassio;
using namespace kassio::fuzz;

namespace {

constexpr std::size_t kReplies = 6;

class ReplayTransport final : public StationTransport {
  public:
    explicit ReplayTransport(std::vector<std::string_view> replies)
        : m_replies(std::move(replies)) {}

    TransportReply call(Procedure procedure, const std::string& request,
                        const std::string& = {}) override {
        FUZZ_CHECK(request.size() == sizesOf(procedure).request, "request size");
        if (m_next >= m_replies.size()) return {false, {}, "no more replies"};
        std::string_view reply = m_replies[m_next++];
        if (reply.empty()) return {true, {}, {}};
        const auto first = static_cast<uint8_t>(reply[0]);
        if (first == 0xff) return {false, {}, "unreachable"};
        std::string bytes(reply.substr(1));
        if (first & 1) bytes.resize(sizesOf(procedure).reply, '\0');
        return {true, std::move(bytes), {}};
    }

  private:
    std::vector<std::string_view> m_replies;
    std::size_t m_next = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static ScratchFolder folder;
    static FuzzClock clock;
    auto parts = splitSections(data, size, kReplies + 1);
    const std::string_view head = parts[0];
    if (head.empty()) return 0;
    const std::string arg(head.substr(1));
    const std::string file = folder / "request.json";
    writeFile(file, arg);

    const std::vector<std::vector<std::string>> commands = {
        {"find-item", arg},
        {"find-item", arg, "--from", "-2"},
        {"find-customer", arg, "--prefix", "A"},
        {"config"},
        {"words"},
        {"tables"},
        {"suggest-customer"},
        {"fetch", "inventory.dat", folder / "fetched.dat"},
        {"page", "18", "--next", "2", "--previous", "1"},
        {"large-page"},
        {"item-call", "10", "12"},
        {"add-customer", file},
        {"change-customer", file},
        {"sale", file},
        {"refund", file},
    };
    const auto& command = commands[static_cast<uint8_t>(head[0]) % commands.size()];

    ReplayTransport transport(std::vector<std::string_view>(parts.begin() + 1, parts.end()));
    StationClient client(transport);
    std::ostringstream out, err;
    const int code = runStationCommand(command, client, clock, out, err);
    FUZZ_CHECK(code == kStationOk || code == kStationRefused || code == kStationUsage,
               "exit code " + std::to_string(code));
    FUZZ_CHECK(code == kStationOk || !err.str().empty(), "a failure without a message");
    return 0;
}
