#include "devices/till_drawer.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "base/fixed_text.h"
#include "base/status.h"
#include "devices/code_sequence.h"
#include "devices/device_settings.h"

namespace kassio {

namespace {

constexpr std::size_t kControlSequenceChars = 31;

// A whole number as typed in an edit box: optional blanks and sign, digits,
// nothing else.
std::optional<long long> typedNumber(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(begin, &end, 10);
    if (end == begin || errno == ERANGE) return std::nullopt;
    while (*end == ' ') ++end;
    if (*end != '\0') return std::nullopt;
    return value;
}

}  // namespace

const std::array<const char*, kPrinterModelCount> kPrinterModelCodes = {
    "Citizen 230: 27,112,0,50,250",
    "Epson TM T88 III: 27,112,0,25,250",
    "Epson TM T88 IIIP: 27,112,0,64,240",
    "Epson TM T88 IV: 27,112,48,55,121",
    "Epson TM T88 V: 27,112,48,55,121",
    "Epson TM U950P: 27,112,0,50,250",
    "Epson TM U200: 27,112,0,25,250",
    "Epson TM U200B: 27,112,48,25,250",
    "Epson TM U200D: 27,112,0,64,240",
    "Epson TM T60: 27,112,0,32,25",
    "Epson TM T70: 27,112,48,55,121",
    "Epson TM T80P: 27,112,0,25,250",
    "Epson TM H6000: 27,112,48,55,121",
    "Ithaca POSjet: 27,112,0,25,250",
    "IBM 4610: 7",
    "IBM 4610: 27,112,0,25,250",
    "Samsung SRP 270: 27,112,0,60,240",
};

void TillDrawer::open(const StoreConfigRecord& cfg) {
    if (cfg.settings_b[kSetBDrawerConnection] == 0) {
        std::unique_ptr<DeviceConnection> port =
            m_ports.open(static_cast<int>(cfg.options[kOptDrawerPort]));
        if (!port) {
            m_ui.error("Unable to open port", "Till drawer");
            return;
        }
        // 1..10 equal bytes; a damaged count must not send a flood.
        int64_t repeat = cfg.options[kOptDrawerRepeat];
        if (repeat <= 0) return;
        if (repeat > 10) repeat = 10;
        std::vector<uint8_t> bytes(static_cast<std::size_t>(repeat),
                                   static_cast<uint8_t>(cfg.options[kOptDrawerCharacter] & 0xFF));
        if (!port->write(bytes.data(), bytes.size()))
            m_ui.error("Unable write to port", kTitleProblem);
        return;
    }

    std::string sequence = fieldText(cfg.drawer_code);
    if (sequence.empty()) return;
    std::vector<uint8_t> bytes = codeSequenceBytes(sequence);
    Printers::RawResult result =
        m_printers.rawJob(fieldText(cfg.receipt_printer_name), "KASSIO", bytes);
    if (result == Printers::RawResult::kCannotOpen)
        m_ui.error("Unable to open printer for till drawer", kTitleProblem);
}

void TillDrawer::sendCutterCodes(const StoreConfigRecord& cfg) {
    std::string sequence = fieldText(cfg.cutter_code);
    if (sequence.empty()) return;
    std::unique_ptr<DeviceConnection> port = m_ports.open(cfg.settings_b[kSetBCustomCutterPort]);
    if (!port) {
        m_ui.error("Unable to open port", kTitleProblem);
        return;
    }
    std::vector<uint8_t> bytes = codeSequenceBytes(sequence);
    if (!port->write(bytes.data(), bytes.size())) m_ui.error("Unable write to port", kTitleProblem);
}

TillConfigPage TillConfigPage::load(const StoreConfigRecord& cfg) {
    TillConfigPage p;
    p.printerConnect = cfg.settings_b[kSetBDrawerConnection] != 0;
    p.port = static_cast<int>(cfg.options[kOptDrawerPort]);
    if (p.port < 0 || p.port >= kPortCount) p.port = 0;
    p.openCharacter = std::to_string(cfg.options[kOptDrawerCharacter]);
    p.repeat = std::to_string(cfg.options[kOptDrawerRepeat]);
    p.controlSequence = fieldText(cfg.drawer_code);
    p.openAutomatically = cfg.options[kOptOpenDrawerAutomatically] == 1;
    return p;
}

void TillConfigPage::apply(StoreConfigRecord& cfg) const {
    cfg.settings_b[kSetBDrawerConnection] = printerConnect ? 2 : 0;
    cfg.options[kOptDrawerPort] = port;
    if (auto c = typedNumber(openCharacter); c && *c >= 0 && *c <= 255)
        cfg.options[kOptDrawerCharacter] = *c;
    if (auto r = typedNumber(repeat); r && *r >= 1 && *r <= 10) cfg.options[kOptDrawerRepeat] = *r;
    setFieldText(cfg.drawer_code, controlSequence.substr(0, kControlSequenceChars));
    cfg.options[kOptOpenDrawerAutomatically] = openAutomatically ? 1 : 0;
}

}  // namespace kassio
