// The Canvas port on a QPainter that is painting on a QPrinter (a CUPS
// printer or a PDF file). Device units are the printer's dots; the origin is
// the top left of the printable area, as the QPrinter paints by default.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <vector>

#include "platform/canvas.h"

namespace kassio {

class QtCanvas final : public Canvas {
  public:
    // Both must outlive the canvas; the painter is active on the printer.
    QtCanvas(QPainter& painter, QPrinter& printer);

    int printableWidth() const override;
    int printableHeight() const override;
    int pageHeight() const override;
    int physicalOffsetX() const override;
    int physicalOffsetY() const override;
    int dpiX() const override;
    int dpiY() const override;
    bool selectFont(const std::string& family, int height, int weight) override;
    void restoreFont() override;
    FontMetrics metrics() const override;
    void text(int x, int y, Align align, const std::string& text) override;
    void line(int x1, int y1, int x2, int y2) override;
    void fillRect(int left, int top, int right, int bottom) override;
    void shadeRect(int left, int top, int right, int bottom, int grey) override;
    std::unique_ptr<CanvasBitmap> loadBitmap(const std::string& path) override;
    void stretchBitmap(const CanvasBitmap& bitmap, int x, int y, int width, int height) override;
    int wrappedText(int left, int top, int right, int bottom, const std::string& text) override;
    void pushMetricMapping() override;
    void popMapping() override;
    CanvasPoint deviceToMetric(CanvasPoint device) const override;

  private:
    QPointF toDevice(double x, double y) const;
    bool metric() const { return !m_mappings.empty() && m_mappings.back(); }

    QPainter& m_painter;
    QPrinter& m_printer;
    std::vector<QFont> m_fonts;    // fonts to go back to
    std::vector<bool> m_mappings;  // true: 0.01 mm, y upwards
};

}  // namespace kassio
