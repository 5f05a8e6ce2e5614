#include "ui/devices/qt_canvas.h"

#include <QFontInfo>
#include <QFontMetrics>

#include "ui/devices/qt_text.h"

namespace kassio {

namespace {

constexpr int kWide = 1 << 20;  // room for one line of text either side of x

// The average character width the receipt columns are laid out with: the
// classic definition (lower-case letters and the space, weighted by their
// frequency in English text), which Windows printer fonts report and the
// layouts were made for. Qt's own average is taken over every glyph of a
// font and comes out a fifth wider for large fonts, which pushes the price
// columns off an 80 mm roll.
int weightedAverageCharWidth(const QFontMetricsF& fm) {
    static const int kWeights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6, 35, 20,
                                     56, 56, 17, 4,  49,  56, 71, 31, 10, 18, 3, 18, 2};
    double sum = 166 * fm.horizontalAdvance(QLatin1Char(' '));
    for (int i = 0; i < 26; ++i) sum += kWeights[i] * fm.horizontalAdvance(QLatin1Char('a' + i));
    return qRound(sum / 1000.0);
}

class QtBitmap final : public CanvasBitmap {
  public:
    explicit QtBitmap(QImage image) : image(std::move(image)) {}
    int width() const override { return image.width(); }
    int height() const override { return image.height(); }
    QImage image;
};

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, QPrinter& printer) : m_painter(painter), m_printer(printer) {
    // One device unit wide lines and filled shapes without outlines.
    m_painter.setPen(QPen(Qt::black, 0));
}

int QtCanvas::printableWidth() const {
    return m_printer.width();
}
int QtCanvas::printableHeight() const {
    return m_printer.height();
}
int QtCanvas::pageHeight() const {
    return qRound(m_printer.paperRect(QPrinter::DevicePixel).height());
}
int QtCanvas::physicalOffsetX() const {
    return qRound(m_printer.pageRect(QPrinter::DevicePixel).left());
}
int QtCanvas::physicalOffsetY() const {
    return qRound(m_printer.pageRect(QPrinter::DevicePixel).top());
}
int QtCanvas::dpiX() const {
    return m_printer.logicalDpiX();
}
int QtCanvas::dpiY() const {
    return m_printer.logicalDpiY();
}

bool QtCanvas::selectFont(const std::string& family, int height, int weight) {
    if (height <= 0) return false;
    QFont font(qtText(family));
    font.setPixelSize(height);
    font.setWeight(static_cast<QFont::Weight>(weight));
    m_fonts.push_back(m_painter.font());
    m_painter.setFont(font);
    return true;
}

void QtCanvas::restoreFont() {
    if (m_fonts.empty()) return;
    m_painter.setFont(m_fonts.back());
    m_fonts.pop_back();
}

FontMetrics QtCanvas::metrics() const {
    QFontMetrics fm(m_painter.font(), m_painter.device());
    FontMetrics m;
    m.height = fm.height();
    m.externalLeading = fm.leading();
    m.averageCharWidth =
        weightedAverageCharWidth(QFontMetricsF(m_painter.font(), m_painter.device()));
    m.fixedPitch = QFontInfo(m_painter.font()).fixedPitch();
    return m;
}

void QtCanvas::text(int x, int y, Align align, const std::string& text) {
    QPointF at = toDevice(x, y);
    const int flags = Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    const int h = QFontMetrics(m_painter.font(), m_painter.device()).height();
    QRectF box;
    switch (align) {
        case Align::kLeft:
            box = QRectF(at.x(), at.y(), kWide, h);
            break;
        case Align::kCentre:
            box = QRectF(at.x() - kWide / 2.0, at.y(), kWide, h);
            break;
        case Align::kRight:
            box = QRectF(at.x() - kWide, at.y(), kWide, h);
            break;
    }
    int horizontal = align == Align::kLeft    ? Qt::AlignLeft
                     : align == Align::kRight ? Qt::AlignRight
                                              : Qt::AlignHCenter;
    m_painter.drawText(box, flags | horizontal, qtText(text));
}

void QtCanvas::line(int x1, int y1, int x2, int y2) {
    m_painter.drawLine(toDevice(x1, y1), toDevice(x2, y2));
}

void QtCanvas::fillRect(int left, int top, int right, int bottom) {
    m_painter.fillRect(QRectF(toDevice(left, top), toDevice(right, bottom)).normalized(),
                       Qt::black);
}

void QtCanvas::shadeRect(int left, int top, int right, int bottom, int grey) {
    m_painter.fillRect(QRectF(toDevice(left, top), toDevice(right, bottom)).normalized(),
                       QColor(grey, grey, grey));
}

std::unique_ptr<CanvasBitmap> QtCanvas::loadBitmap(const std::string& path) {
    QImage image(QString::fromStdString(path));
    if (image.isNull()) return nullptr;
    return std::make_unique<QtBitmap>(std::move(image));
}

void QtCanvas::stretchBitmap(const CanvasBitmap& bitmap, int x, int y, int width, int height) {
    const auto& b = static_cast<const QtBitmap&>(bitmap);
    m_painter.drawImage(QRectF(toDevice(x, y), toDevice(x + width, y + height)).normalized(),
                        b.image);
}

int QtCanvas::wrappedText(int left, int top, int right, int bottom, const std::string& text) {
    QRectF box = QRectF(toDevice(left, top), toDevice(right, bottom)).normalized();
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    QString q = qtText(text);
    int needed = qRound(m_painter.boundingRect(box, flags, q).height());
    m_painter.save();
    m_painter.setClipRect(box);
    m_painter.drawText(box, flags, q);
    m_painter.restore();
    return needed;
}

void QtCanvas::pushMetricMapping() {
    m_mappings.push_back(true);
}
void QtCanvas::popMapping() {
    if (!m_mappings.empty()) m_mappings.pop_back();
}

CanvasPoint QtCanvas::deviceToMetric(CanvasPoint device) const {
    return {qRound(device.x * 2540.0 / dpiX()), qRound(-device.y * 2540.0 / dpiY())};
}

QPointF QtCanvas::toDevice(double x, double y) const {
    if (!metric()) return {x, y};
    return {x * dpiX() / 2540.0, -y * dpiY() / 2540.0};
}

}  // namespace kassio
