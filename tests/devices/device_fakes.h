// Test adapters of the devices' ports: a canvas that records every drawing
// call, printers that hand out recording canvases, ports that record what
// is written, and a scripted DeviceUi.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "devices/device_ui.h"
#include "devices/summary_box.h"
#include "platform/canvas.h"
#include "platform/device_port.h"
#include "platform/printers.h"

namespace kassio::test {

class RecordingCanvas final : public Canvas {
  public:
    struct Op {
        enum Kind { kText, kLine, kRect, kBitmap, kWrapped, kFont, kRestoreFont } kind;
        int x = 0, y = 0, x2 = 0, y2 = 0;
        Align align = Align::kLeft;
        std::string text;
        bool metric = false;
    };
    struct Bitmap final : CanvasBitmap {
        Bitmap(int w, int h) : w(w), h(h) {}
        int width() const override { return w; }
        int height() const override { return h; }
        int w, h;
    };

    // Page and font, in device units.
    int width = 1000, height = 3000, offsetX = 20, offsetY = 10, sheetHeight = 3040;
    int dpi = 200;
    FontMetrics font{30, 2, 10, false};
    bool fontsFail = false;
    std::map<std::string, std::pair<int, int>> bitmaps;  // path -> size

    std::vector<Op> ops;

    int rowHeight() const { return font.height + font.externalLeading; }

    // The texts drawn, as "row|align|x|text" with row = y / row height.
    std::vector<std::string> rows() const {
        std::vector<std::string> out;
        for (const Op& op : ops) {
            if (op.kind != Op::kText) continue;
            const char* a = op.align == Align::kLeft ? "L" : op.align == Align::kRight ? "R" : "C";
            out.push_back(std::to_string(op.y / rowHeight()) + "|" + a + "|" +
                          std::to_string(op.x) + "|" + op.text);
        }
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Op& op : ops)
            if (op.kind == Op::kText || op.kind == Op::kWrapped) out.push_back(op.text);
        return out;
    }
    std::vector<Op> of(Op::Kind kind) const {
        std::vector<Op> out;
        for (const Op& op : ops)
            if (op.kind == kind) out.push_back(op);
        return out;
    }

    int printableWidth() const override { return width; }
    int printableHeight() const override { return height; }
    int pageHeight() const override { return sheetHeight; }
    int physicalOffsetX() const override { return offsetX; }
    int physicalOffsetY() const override { return offsetY; }
    int dpiX() const override { return dpi; }
    int dpiY() const override { return dpi; }
    bool selectFont(const std::string& family, int h, int weight) override {
        if (fontsFail) return false;
        ops.push_back({Op::kFont, h, weight, 0, 0, Align::kLeft, family, m_metric});
        return true;
    }
    void restoreFont() override {
        ops.push_back({Op::kRestoreFont, 0, 0, 0, 0, Align::kLeft, {}, m_metric});
    }
    FontMetrics metrics() const override { return font; }
    void text(int x, int y, Align align, const std::string& t) override {
        ops.push_back({Op::kText, x, y, 0, 0, align, t, m_metric});
    }
    void line(int x1, int y1, int x2, int y2) override {
        ops.push_back({Op::kLine, x1, y1, x2, y2, Align::kLeft, {}, m_metric});
    }
    void fillRect(int l, int t, int r, int b) override {
        ops.push_back({Op::kRect, l, t, r, b, Align::kLeft, {}, m_metric});
    }
    std::unique_ptr<CanvasBitmap> loadBitmap(const std::string& path) override {
        auto it = bitmaps.find(path);
        if (it == bitmaps.end()) return nullptr;
        return std::make_unique<Bitmap>(it->second.first, it->second.second);
    }
    void stretchBitmap(const CanvasBitmap&, int x, int y, int w, int h) override {
        ops.push_back({Op::kBitmap, x, y, x + w, y + h, Align::kLeft, {}, m_metric});
    }
    // Wraps at a fixed number of characters per line: (box width) / A.
    int wrappedText(int l, int t, int r, int b, const std::string& text) override {
        ops.push_back({Op::kWrapped, l, t, r, b, Align::kCentre, text, m_metric});
        int perLine = std::max(1, (r - l) / std::max(1, font.averageCharWidth));
        int lines = std::max<int>(1, (static_cast<int>(text.size()) + perLine - 1) / perLine);
        return lines * rowHeight();
    }
    void pushMetricMapping() override { m_metric = true; }
    void popMapping() override { m_metric = false; }
    // 0.01 mm units, y upwards.
    CanvasPoint deviceToMetric(CanvasPoint p) const override {
        return {p.x * 2540 / dpi, -p.y * 2540 / dpi};
    }

  private:
    bool m_metric = false;
};

// Printers that draw every document on a fresh recording canvas.
class FakePrinters final : public Printers {
  public:
    struct Opened {
        Target target;
        std::string name;
    };
    struct Document {
        std::string name;
        std::unique_ptr<RecordingCanvas> canvas;
        int pages = 1;
    };
    struct Raw {
        std::string queue, document;
        std::vector<uint8_t> bytes;
    };

    // The first installed printer is the default one.
    std::vector<PrinterInfo> installed{{"receipt", "Receipt printer"}};
    bool serverDown = false;  // the list cannot be read and no printer is ready
    bool cancelDialog = false;
    int dialogCopies = 1;
    bool refuseDocuments = false;
    bool releaseFails = false;
    RawResult rawAnswer = RawResult::kSent;
    // Called for every document start; lets a test interleave events.
    std::function<void()> onDocument;

    std::vector<Opened> opened;
    std::vector<Document> documents;
    std::vector<Raw> raw;

    std::optional<std::vector<PrinterInfo>> list() override {
        if (serverDown) return std::nullopt;
        return installed;
    }
    std::string defaultPrinter() override { return installed.empty() ? "" : installed[0].name; }
    bool printerReady(Target target, const std::string& name) override {
        if (serverDown || installed.empty()) return false;
        return target != Target::kNamed ||
               std::any_of(installed.begin(), installed.end(),
                           [&](const PrinterInfo& p) { return p.name == name; });
    }
    std::unique_ptr<PrintJob> open(Target target, const std::string& name) override;
    std::unique_ptr<PrintJob> openPdf(const std::string& path, bool) override;
    RawResult rawJob(const std::string& queue, const std::string& document,
                     const std::vector<uint8_t>& bytes) override {
        raw.push_back({queue, document, bytes});
        return rawAnswer;
    }
};

class FakeJob final : public PrintJob {
  public:
    FakeJob(FakePrinters& p, int copies, std::string file = {})
        : m_p(p), m_copies(copies), m_file(std::move(file)) {}
    int copies() const override { return m_copies; }
    std::string outputFile() const override { return m_file; }
    Canvas* startDocument(const std::string& name) override {
        if (m_p.onDocument) m_p.onDocument();
        if (m_p.refuseDocuments) return nullptr;
        m_p.documents.push_back({name, std::make_unique<RecordingCanvas>()});
        return m_p.documents.back().canvas.get();
    }
    bool newPage() override {
        ++m_p.documents.back().pages;
        return true;
    }
    bool endDocument() override { return true; }
    bool release() override { return !m_p.releaseFails; }

  private:
    FakePrinters& m_p;
    int m_copies;
    std::string m_file;
};

inline std::unique_ptr<PrintJob> FakePrinters::open(Target target, const std::string& name) {
    opened.push_back({target, name});
    if (target == Target::kDialog && cancelDialog) return nullptr;
    return std::make_unique<FakeJob>(*this, target == Target::kDialog ? dialogCopies : 1);
}

inline std::unique_ptr<PrintJob> FakePrinters::openPdf(const std::string& path, bool) {
    opened.push_back({Target::kPdfFile, path});
    return std::make_unique<FakeJob>(*this, 1, path);
}

// Ports that record each open, line setting and write, in order, as text:
// "open COM1", "line 9600", "write 1B 40", "close COM1".
class FakePorts final : public DevicePort {
  public:
    std::vector<std::string> events;
    std::vector<int> refuseOpen;  // ports that fail to open
    bool writesFail = false;
    std::vector<int> failWrites;  // numbers (0-based) of the writes that fail
    std::vector<SerialLine> lines;

    std::unique_ptr<DeviceConnection> open(int port) override;

    // Every byte written, in order.
    std::vector<uint8_t> written() const { return m_all; }

  private:
    friend class FakeConnection;
    std::vector<uint8_t> m_all;
    int m_writes = 0;
};

class FakeConnection final : public DeviceConnection {
  public:
    FakeConnection(FakePorts& ports, int port) : m_ports(ports), m_port(port) {}
    ~FakeConnection() override { m_ports.events.push_back("close " + portName(m_port)); }
    bool setLine(const SerialLine& line) override {
        m_ports.lines.push_back(line);
        m_ports.events.push_back("line " + std::to_string(line.baud));
        return true;
    }
    bool write(const uint8_t* bytes, std::size_t count) override {
        int n = m_ports.m_writes++;
        if (m_ports.writesFail || std::find(m_ports.failWrites.begin(), m_ports.failWrites.end(),
                                            n) != m_ports.failWrites.end())
            return false;
        std::string hex = "write";
        char buf[4];
        for (std::size_t i = 0; i < count; ++i) {
            std::snprintf(buf, sizeof buf, " %02X", bytes[i]);
            hex += buf;
            m_ports.m_all.push_back(bytes[i]);
        }
        m_ports.events.push_back(hex);
        return true;
    }

  private:
    FakePorts& m_ports;
    int m_port;
};

inline std::unique_ptr<DeviceConnection> FakePorts::open(int port) {
    for (int r : refuseOpen)
        if (r == port) {
            events.push_back("refused " + portName(port));
            return nullptr;
        }
    events.push_back("open " + portName(port));
    return std::make_unique<FakeConnection>(*this, port);
}

// The hex form the fake ports record, for expected values.
inline std::string hexBytes(const std::vector<uint8_t>& bytes) {
    std::string out;
    char buf[4];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%s%02X", out.empty() ? "" : " ", b);
        out += buf;
    }
    return out;
}

class ScriptedDeviceUi final : public DeviceUi {
  public:
    CardPaymentChoice payment = CardPaymentChoice::kPayment;
    std::optional<std::string> cashBackTyped;
    // cardWait: answers true until abandonAfter calls (never when negative).
    int abandonAfter = -1;
    bool sleepInWait = true;
    bool pressButtonsInSummary = true;

    int paymentBoxes = 0;
    int waits = 0;
    std::vector<std::string> summaries;  // "total|tendered|change|cb"
    std::vector<DocumentKind> extraPresses;

    CardPaymentChoice electronicPayment(bool cashBack, bool notPresent) override {
        ++paymentBoxes;
        lastOffer = {cashBack, notPresent};
        return payment;
    }
    std::optional<std::string> cashBackEntry() override { return cashBackTyped; }
    void summaryBox(SummaryBox& box) override {
        summaries.push_back(box.totalDue() + "|" + box.tendered() + "|" + box.change() + "|" +
                            box.cashBack().value_or("-"));
        box.pressAutomatically();
        if (pressButtonsInSummary)
            for (DocumentKind k : extraPresses) box.press(k);
    }
    bool cardWait(int ms) override;

    std::pair<bool, bool> lastOffer;
};

// Waits a quarter of the asked time, so the tests stay quick.
inline bool ScriptedDeviceUi::cardWait(int ms) {
    ++waits;
    if (abandonAfter >= 0 && waits > abandonAfter) return false;
    if (sleepInWait) std::this_thread::sleep_for(std::chrono::milliseconds(ms / 4));
    return true;
}

}  // namespace kassio::test
