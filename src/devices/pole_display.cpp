#include "devices/pole_display.h"

#include "base/fixed_text.h"
#include "base/status.h"
#include "base/text_format.h"
#include "devices/code_sequence.h"
#include "devices/device_settings.h"

namespace kassio {

namespace {

constexpr std::size_t kItemDescriptionChars = 12;
constexpr std::size_t kItemPriceChars = 10;

void append(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}
void append(std::vector<uint8_t>& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

int position(int value, int count) {
    return value >= 0 && value < count ? value : 0;
}

// Clear (sent even when empty: one 00 byte), then the first-line sequence
// only when there is one, then the text.
std::vector<uint8_t> firstLineMessage(const StoreConfigRecord& cfg, const std::string& text) {
    std::vector<uint8_t> bytes = codeSequenceBytes(poleText(cfg, PoleText::kClear));
    std::string first = poleText(cfg, PoleText::kFirstLine);
    if (!first.empty()) append(bytes, codeSequenceBytes(first));
    append(bytes, text);
    return bytes;
}

}  // namespace

const std::array<int, kBaudPositions> kPoleBaudRates = {
    9600, 300, 600, 1200, 2400, 4800, 14400, 19200, 38400, 57600, 115200, 128000, 256000};

SerialLine poleLine(const StoreConfigRecord& cfg) {
    SerialLine line;
    line.baud = kPoleBaudRates[position(cfg.settings_b[kSetBPoleBaud], kBaudPositions)];
    line.dataBits = kPoleDataBits[position(cfg.settings_b[kSetBPoleDataBits], 5)];
    line.parity = static_cast<SerialLine::Parity>(position(cfg.settings_b[kSetBPoleParity], 3));
    line.stopBits =
        static_cast<SerialLine::StopBits>(position(cfg.settings_b[kSetBPoleStopBits], 3));
    return line;
}

std::string poleItemText(const Basket& basket) {
    int last = basket.line_count - 1;
    if (last < 0 || last >= kMaxBasketLines) return {};
    std::string description = fieldText(basket.description[last]);
    double price = basket.line_total[last];
    if (description.size() <= kItemDescriptionChars)
        return formatted("%s %.2f", description.c_str(), price);
    std::string priceText = formatted("  %.2f", price);
    return description.substr(0, kItemDescriptionChars) + priceText.substr(0, kItemPriceChars);
}

std::unique_ptr<DeviceConnection> PoleDisplay::openPort(const StoreConfigRecord& cfg,
                                                        bool setLine) {
    std::unique_ptr<DeviceConnection> port = m_ports.open(cfg.settings_b[kSetBPolePort]);
    if (port && setLine && !port->setLine(poleLine(cfg))) port.reset();
    return port;
}

bool PoleDisplay::write(DeviceConnection& port, const std::vector<uint8_t>& bytes) {
    return port.write(bytes.data(), bytes.size());
}

void PoleDisplay::switchPrinter(const StoreConfigRecord& cfg, bool on) {
    std::string sequence = poleText(cfg, on ? PoleText::kPrinterOn : PoleText::kPrinterOff);
    if (sequence.empty()) return;
    std::unique_ptr<DeviceConnection> port = openPort(cfg, true);
    if (!port) {
        m_ui.error("Unable to open port", kTitleProblem);
        return;
    }
    if (!write(*port, codeSequenceBytes(sequence)))
        m_ui.error("Unable write to port", kTitleProblem);
}

void PoleDisplay::message(const StoreConfigRecord& cfg, const std::vector<uint8_t>& first,
                          const std::vector<uint8_t>* second, const char* openFailureTitle) {
    switchPrinter(cfg, false);
    std::unique_ptr<DeviceConnection> port = openPort(cfg, true);
    if (!port) {
        switchPrinter(cfg, true);
        m_ui.error("Unable to open port", openFailureTitle);
        return;
    }
    bool ok = write(*port, first);
    if (second) ok = write(*port, *second);
    port.reset();
    switchPrinter(cfg, true);
    if (!ok) m_ui.error("Unable write to port", kTitleProblem);
}

void PoleDisplay::showPassiveText(const StoreConfigRecord& cfg) {
    message(cfg, firstLineMessage(cfg, poleText(cfg, PoleText::kPassive)), nullptr, "Pole display");
}

void PoleDisplay::showItem(const StoreConfigRecord& cfg, const Basket& basket) {
    if (basket.line_count < 1) return;
    message(cfg, firstLineMessage(cfg, poleItemText(basket)), nullptr, kTitleProblem);
}

void PoleDisplay::showTotal(const StoreConfigRecord& cfg, double total) {
    message(cfg, firstLineMessage(cfg, formatted("Total: %.2f", total)), nullptr, kTitleProblem);
}

void PoleDisplay::showTenderAndChange(const StoreConfigRecord& cfg, double tendered,
                                      double change) {
    std::vector<uint8_t> first = firstLineMessage(cfg, formatted("Tender: %.2f", tendered));
    std::vector<uint8_t> second = codeSequenceBytes(poleText(cfg, PoleText::kSecondLine));
    append(second, formatted("Change: %.2f", change));
    message(cfg, first, &second, kTitleProblem);
}

void PoleDisplay::preview(const StoreConfigRecord& cfg) {
    {
        std::unique_ptr<DeviceConnection> port = openPort(cfg, true);
        if (!port) {
            m_ui.error("Unable to open port", kTitleProblem);
            return;
        }
    }
    switchPrinter(cfg, false);
    std::unique_ptr<DeviceConnection> port = openPort(cfg, false);
    if (!port) {
        switchPrinter(cfg, true);
        m_ui.error("Unable to open port", kTitleProblem);
        return;
    }
    bool ok = write(*port, firstLineMessage(cfg, poleText(cfg, PoleText::kPassive)));
    port.reset();
    switchPrinter(cfg, true);
    if (!ok) m_ui.error("Unable write to port", kTitleProblem);
}

PolePage PolePage::load(const StoreConfigRecord& cfg) {
    PolePage p;
    p.use = cfg.settings_b[kSetBPoleInUse] == 2;
    p.port = position(cfg.settings_b[kSetBPolePort], 8);
    p.baud = position(cfg.settings_b[kSetBPoleBaud], kBaudPositions);
    p.parity = position(cfg.settings_b[kSetBPoleParity], 3);
    p.dataBits = position(cfg.settings_b[kSetBPoleDataBits], 5);
    p.stopBits = position(cfg.settings_b[kSetBPoleStopBits], 3);
    p.columns1 = cfg.settings_b[kSetBPoleColumns1];
    p.columns2 = cfg.settings_b[kSetBPoleColumns2];
    p.passiveText = poleText(cfg, PoleText::kPassive);
    p.printerOn = poleText(cfg, PoleText::kPrinterOn);
    p.printerOff = poleText(cfg, PoleText::kPrinterOff);
    p.clear = poleText(cfg, PoleText::kClear);
    p.firstLine = poleText(cfg, PoleText::kFirstLine);
    p.secondLine = poleText(cfg, PoleText::kSecondLine);
    return p;
}

void PolePage::apply(StoreConfigRecord& cfg) const {
    cfg.settings_b[kSetBPoleInUse] = use ? 2 : 0;
    cfg.settings_b[kSetBPolePort] = position(port, 8);
    cfg.settings_b[kSetBPoleBaud] = position(baud, kBaudPositions);
    cfg.settings_b[kSetBPoleParity] = position(parity, 3);
    cfg.settings_b[kSetBPoleDataBits] = position(dataBits, 5);
    cfg.settings_b[kSetBPoleStopBits] = position(stopBits, 3);
    cfg.settings_b[kSetBPoleColumns1] = columns1;
    cfg.settings_b[kSetBPoleColumns2] = columns2;
    setPoleText(cfg, PoleText::kPassive, passiveText);
    setPoleText(cfg, PoleText::kPrinterOn, printerOn);
    setPoleText(cfg, PoleText::kPrinterOff, printerOff);
    setPoleText(cfg, PoleText::kClear, clear);
    setPoleText(cfg, PoleText::kFirstLine, firstLine);
    setPoleText(cfg, PoleText::kSecondLine, secondLine);
}

}  // namespace kassio
