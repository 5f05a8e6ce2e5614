// Port: the drawing context that receipts, invoices and labels draw on.
//
// Coordinates are device units (printer dots) with the origin at the top
// left of the printable area and y growing downwards, until
// pushMetricMapping() switches to 0.01 mm units with y growing upwards (the
// origin stays where it was); popMapping() switches back. Texts are
// Windows-1252 bytes; the adapter converts them for its platform.
//
// The real adapter is a QPainter on a QPrinter; tests record every call.
#pragma once

#include <memory>
#include <string>

namespace kassio {

struct FontMetrics {
    int height = 0;           // character height: ascent plus descent
    int externalLeading = 0;  // extra space the font asks for between rows
    int averageCharWidth = 0;
    bool fixedPitch = false;
};

struct CanvasPoint {
    int x = 0;
    int y = 0;
};

// A loaded picture; its size is in pixels of the file.
class CanvasBitmap {
  public:
    virtual ~CanvasBitmap() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

class Canvas {
  public:
    enum class Align { kLeft, kCentre, kRight };

    virtual ~Canvas() = default;

    // The page as the printer reports it, in device units.
    virtual int printableWidth() const = 0;
    virtual int printableHeight() const = 0;
    virtual int pageHeight() const = 0;       // the whole sheet, margins included
    virtual int physicalOffsetX() const = 0;  // unprintable margin left of the printable area
    virtual int physicalOffsetY() const = 0;
    virtual int dpiX() const = 0;  // 0 when the printer does not say
    virtual int dpiY() const = 0;

    // Selects a font of the given family, weight (400 normal) and character
    // height in device units. False when it cannot be made; the current font
    // then stays. Each successful select is undone by one restoreFont().
    virtual bool selectFont(const std::string& family, int height, int weight) = 0;
    virtual void restoreFont() = 0;
    virtual FontMetrics metrics() const = 0;

    // Text with its top edge at y: left-aligned text starts at x, centred text
    // is centred on x, right-aligned text ends at x.
    virtual void text(int x, int y, Align align, const std::string& text) = 0;
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    // A black rectangle between two corners, in the current mapping.
    virtual void fillRect(int left, int top, int right, int bottom) = 0;
    // A grey rectangle (0 black .. 255 white) for bands behind text; a
    // canvas without shades leaves it out.
    virtual void shadeRect(int left, int top, int right, int bottom, int grey) {
        (void)left, (void)top, (void)right, (void)bottom, (void)grey;
    }

    // nullptr when the file is missing or not a picture the adapter reads.
    virtual std::unique_ptr<CanvasBitmap> loadBitmap(const std::string& path) = 0;
    virtual void stretchBitmap(const CanvasBitmap& bitmap, int x, int y, int width, int height) = 0;

    // Word-wrapped text centred in the box and clipped to it. Returns the
    // height the wrapped text needs, which may be more than the box.
    virtual int wrappedText(int left, int top, int right, int bottom, const std::string& text) = 0;

    virtual void pushMetricMapping() = 0;
    virtual void popMapping() = 0;
    // A point in device units expressed in the 0.01 mm mapping.
    virtual CanvasPoint deviceToMetric(CanvasPoint device) const = 0;
};

}  // namespace kassio
