// make_samples <folder>: writes the sample shop that a new data folder starts
// with: 24 stock pictures, the receipt and letterhead logos, and a small item
// and customer file. Everything is drawn and typed in here rather than kept as
// binary files, so a change to a picture or a price is an ordinary reviewable
// source change and the build can always remake the set.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/fixed_text.h"
#include "store/customer_record.h"
#include "store/file_io.h"
#include "store/inventory_record.h"

namespace kassio::samples {
namespace {

using Bytes = std::vector<unsigned char>;

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kBackground{247, 245, 239};
constexpr Rgb kInk{40, 40, 46};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr float kOutline = 1.6f;
constexpr int kIconSize = 64;

// ---------------------------------------------------------------------------
// Shapes as signed distance (negative inside) plus a box they lie in. Filling
// by distance gives anti-aliased edges, and an outline is just the same shape
// grown, so one fill routine covers every primitive and combination.

struct Pt {
    float x, y;
};

struct Bounds {
    float x0, y0, x1, y1;
};

struct Shape {
    std::function<float(float, float)> distance;
    Bounds bounds;
};

Shape circle(float cx, float cy, float r) {
    return {[=](float x, float y) { return std::hypot(x - cx, y - cy) - r; },
            {cx - r, cy - r, cx + r, cy + r}};
}

// A close approximation to the true distance; exact enough for one pixel of
// anti-aliasing and an outline of two.
Shape ellipse(float cx, float cy, float rx, float ry) {
    return {[=](float x, float y) {
                float px = x - cx, py = y - cy;
                float k0 = std::hypot(px / rx, py / ry);
                float k1 = std::hypot(px / (rx * rx), py / (ry * ry));
                return k1 < 1e-6f ? -std::min(rx, ry) : k0 * (k0 - 1) / k1;
            },
            {cx - rx, cy - ry, cx + rx, cy + ry}};
}

Shape box(float x0, float y0, float x1, float y1, float radius = 0) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    return {[=](float x, float y) {
                float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
                return std::hypot(std::max(qx, 0.f), std::max(qy, 0.f)) +
                       std::min(std::max(qx, qy), 0.f) - radius;
            },
            {x0, y0, x1, y1}};
}

Bounds merged(Bounds a, Bounds b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Bounds boundsOf(const std::vector<Pt>& pts, float margin) {
    Bounds b{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (const Pt& p : pts) b = merged(b, {p.x, p.y, p.x, p.y});
    return {b.x0 - margin, b.y0 - margin, b.x1 + margin, b.y1 + margin};
}

float segmentDistanceSq(Pt p, Pt a, Pt b) {
    float ex = b.x - a.x, ey = b.y - a.y, wx = p.x - a.x, wy = p.y - a.y;
    float len = ex * ex + ey * ey;
    float t = len > 0 ? std::clamp((wx * ex + wy * ey) / len, 0.f, 1.f) : 0.f;
    float dx = wx - ex * t, dy = wy - ey * t;
    return dx * dx + dy * dy;
}

// Distance to the nearest edge, signed by an even-odd crossing count, so the
// winding order of the points does not matter.
Shape polygon(std::vector<Pt> pts) {
    Bounds b = boundsOf(pts, 0);
    return {[pts = std::move(pts)](float x, float y) {
                float best = 1e30f;
                bool inside = false;
                for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                    const Pt& a = pts[i];
                    const Pt& c = pts[j];
                    best = std::min(best, segmentDistanceSq({x, y}, a, c));
                    if ((a.y > y) != (c.y > y) && x < (c.x - a.x) * (y - a.y) / (c.y - a.y) + a.x)
                        inside = !inside;
                }
                float d = std::sqrt(best);
                return inside ? -d : d;
            },
            b};
}

// A stroke of the given width through the points, with round ends.
Shape polyline(std::vector<Pt> pts, float width) {
    Bounds b = boundsOf(pts, width / 2);
    return {[pts = std::move(pts), width](float x, float y) {
                float best = 1e30f;
                for (std::size_t i = 1; i < pts.size(); ++i)
                    best = std::min(best, segmentDistanceSq({x, y}, pts[i - 1], pts[i]));
                return std::sqrt(best) - width / 2;
            },
            b};
}

Shape segment(Pt a, Pt b, float width) {
    return polyline({a, b}, width);
}

Shape unite(std::vector<Shape> parts) {
    Bounds b = parts[0].bounds;
    for (const Shape& s : parts) b = merged(b, s.bounds);
    return {[parts = std::move(parts)](float x, float y) {
                float d = 1e30f;
                for (const Shape& s : parts) d = std::min(d, s.distance(x, y));
                return d;
            },
            b};
}

Shape cut(Shape shape, Shape hole) {
    Bounds b = shape.bounds;
    return {[shape = std::move(shape), hole = std::move(hole)](float x, float y) {
                return std::max(shape.distance(x, y), -hole.distance(x, y));
            },
            b};
}

Shape clip(Shape shape, Shape window) {
    const Bounds& w = window.bounds;
    Bounds b{std::max(shape.bounds.x0, w.x0), std::max(shape.bounds.y0, w.y0),
             std::min(shape.bounds.x1, w.x1), std::min(shape.bounds.y1, w.y1)};
    return {[shape = std::move(shape), window = std::move(window)](float x, float y) {
                return std::max(shape.distance(x, y), window.distance(x, y));
            },
            b};
}

std::vector<Pt> quad(float x0, float y0, float x1, float y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// Turns points clockwise on screen (y grows downwards) about a centre.
std::vector<Pt> turned(std::vector<Pt> pts, Pt centre, float degrees) {
    float a = degrees * std::numbers::pi_v<float> / 180, c = std::cos(a), s = std::sin(a);
    for (Pt& p : pts) {
        float dx = p.x - centre.x, dy = p.y - centre.y;
        p = {centre.x + dx * c - dy * s, centre.y + dx * s + dy * c};
    }
    return pts;
}

// A vertical wisp, e.g. steam: one full sine period between y0 and y1.
Shape wave(float x, float y0, float y1, float amplitude, float width) {
    std::vector<Pt> pts;
    constexpr int kSteps = 16;
    for (int i = 0; i <= kSteps; ++i) {
        float t = static_cast<float>(i) / kSteps;
        pts.push_back(
            {x + amplitude * std::sin(t * 2 * std::numbers::pi_v<float>), y0 + (y1 - y0) * t});
    }
    return polyline(std::move(pts), width);
}

// ---------------------------------------------------------------------------

class Canvas {
  public:
    Canvas(int width, int height, Rgb paper)
        : m_width(width),
          m_height(height),
          m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), paper) {}

    // Pixel centres are sampled; coverage falls off over one pixel at the edge.
    void fill(const Shape& s, Rgb colour, float grow = 0) {
        int x0 = std::max(0, static_cast<int>(std::floor(s.bounds.x0 - grow - 1)));
        int y0 = std::max(0, static_cast<int>(std::floor(s.bounds.y0 - grow - 1)));
        int x1 = std::min(m_width - 1, static_cast<int>(std::ceil(s.bounds.x1 + grow + 1)));
        int y1 = std::min(m_height - 1, static_cast<int>(std::ceil(s.bounds.y1 + grow + 1)));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                float d = s.distance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
                float alpha = std::clamp(0.5f - (d - grow), 0.f, 1.f);
                if (alpha > 0) blend(x, y, colour, alpha);
            }
        }
    }

    // Filled with a dark rim: reads as a drawn object on a small button.
    void outlined(const Shape& s, Rgb colour, float rim = kOutline) {
        fill(s, kInk, rim);
        fill(s, colour);
    }

    // Receipt printers print a dot or nothing; deciding here keeps the edges
    // where we drew them instead of leaving it to the printer's dithering.
    void toMonochrome() {
        for (Rgb& p : m_pixels) {
            int luminance = (p.r * 299 + p.g * 587 + p.b * 114) / 1000;
            p = luminance < 150 ? kBlack : kWhite;
        }
    }

    // 24-bit uncompressed BMP: file header, BITMAPINFOHEADER, then the rows
    // bottom-up in blue-green-red order, each padded to four bytes.
    Bytes bmp() const {
        const auto width = static_cast<uint32_t>(m_width), height = static_cast<uint32_t>(m_height);
        const uint32_t rowSize = (width * 3 + 3) & ~3u, imageSize = rowSize * height;
        constexpr uint32_t kHeadersSize = 14 + 40;
        // Size, two reserved words, pixel offset; header size, width, height
        // (positive: bottom-up), one plane, 24 bits, BI_RGB, image size,
        // 72 dpi both ways, no palette.
        const std::pair<uint32_t, int> fields[] = {{kHeadersSize + imageSize, 4},
                                                   {0, 4},
                                                   {kHeadersSize, 4},
                                                   {40, 4},
                                                   {width, 4},
                                                   {height, 4},
                                                   {1, 2},
                                                   {24, 2},
                                                   {0, 4},
                                                   {imageSize, 4},
                                                   {2835, 4},
                                                   {2835, 4},
                                                   {0, 4},
                                                   {0, 4}};
        Bytes out{'B', 'M'};
        for (auto [value, bytes] : fields) {
            for (int i = 0; i < bytes; ++i)
                out.push_back(static_cast<unsigned char>(value >> (8 * i)));
        }
        for (int y = m_height - 1; y >= 0; --y) {
            for (int x = 0; x < m_width; ++x) {
                const Rgb& p = m_pixels[index(x, y)];
                out.insert(out.end(), {p.b, p.g, p.r});
            }
            out.resize(out.size() + rowSize - width * 3, 0);
        }
        return out;
    }

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(x);
    }

    void blend(int x, int y, Rgb c, float alpha) {
        Rgb& p = m_pixels[index(x, y)];
        auto mix = [alpha](uint8_t under, uint8_t over) {
            return static_cast<uint8_t>(std::lround(under + (over - under) * alpha));
        };
        p = {mix(p.r, c.r), mix(p.g, c.g), mix(p.b, c.b)};
    }

    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

// ---------------------------------------------------------------------------
// Stock pictures, 64x64. Each is drawn back to front; shapes drawn later sit
// in front of earlier ones.

void drawWineBottle(Canvas& c) {
    Shape bottle = unite({box(22, 27, 42, 60, 4), polygon({{22, 33}, {28, 19}, {36, 19}, {42, 33}}),
                          box(28, 6, 36, 24, 1.5f)});
    c.outlined(bottle, {38, 92, 52});
    c.fill(segment({25.5f, 31}, {25.5f, 56}, 2), {96, 152, 108});
    c.outlined(box(27, 3, 37, 14, 1.5f), {128, 30, 58});
    c.outlined(box(24, 37, 40, 52, 1.5f), {243, 233, 198});
    c.fill(box(27, 42, 37, 45), {128, 30, 58});
}

void drawBeerGlass(Canvas& c) {
    c.outlined(cut(box(36, 25, 55, 52, 8), box(41, 31, 50, 46, 3.5f)), {226, 232, 238});
    c.outlined(box(11, 18, 43, 60, 3), {236, 163, 35});
    c.fill(segment({16, 28}, {16, 55}, 2.5f), {250, 208, 112});
    for (Pt b : {Pt{28, 38}, Pt{35, 47}, Pt{24, 51}, Pt{31, 30}})
        c.fill(circle(b.x, b.y, 1.5f), {252, 220, 130});
    Shape foam = unite({circle(15, 18, 6), circle(23, 13, 7), circle(32, 12, 7), circle(40, 16, 6),
                        box(9, 16, 45, 25, 3)});
    c.outlined(foam, {253, 250, 238});
}

void drawBook(Canvas& c) {
    c.outlined(box(17, 11, 55, 59, 2), {250, 246, 230});
    for (float y : {55.f, 57.5f}) c.fill(segment({20, y}, {52, y}, 0.9f), {180, 170, 150});
    for (float x : {51.5f, 53.5f}) c.fill(segment({x, 14}, {x, 54}, 0.9f), {180, 170, 150});
    c.outlined(box(9, 5, 50, 54, 2), {47, 93, 168});
    c.fill(box(10.5f, 6.5f, 17, 52.5f, 1), {30, 64, 124});
    c.outlined(box(23, 16, 45, 29, 1), {243, 208, 92});
    c.fill(segment({26.5f, 21}, {41.5f, 21}, 1.8f), kInk);
    c.fill(segment({28, 25}, {40, 25}, 1.4f), kInk);
}

void drawCan(Canvas& c) {
    Shape side = box(18, 12, 46, 54);
    c.outlined(unite({side, ellipse(32, 54, 14, 4.5f)}), {214, 45, 45});
    c.fill(clip(segment({12, 46}, {52, 24}, 7), side), kWhite);
    c.fill(box(21, 17, 24, 50, 1.5f), {238, 112, 112});
    c.outlined(ellipse(32, 12, 14, 4.5f), {200, 204, 210});
    c.fill(ellipse(32, 12.3f, 10.5f, 2.8f), {168, 173, 180});
    c.outlined(ellipse(36, 12, 3.5f, 1.6f), {214, 218, 224}, 1);
}

void drawCard(Canvas& c) {
    c.outlined(box(6, 16, 58, 52, 2), {255, 240, 205});
    c.fill(polyline({{7, 51}, {32, 33}, {57, 51}}, 1.4f), {196, 166, 118});
    c.outlined(polygon({{7, 17}, {57, 17}, {32, 38}}), {247, 224, 174}, 1.2f);
    Shape heart = unite({circle(28.6f, 36, 4.2f), circle(35.4f, 36, 4.2f),
                         polygon({{24.6f, 37.6f}, {39.4f, 37.6f}, {32, 46}})});
    c.outlined(heart, {212, 40, 60}, 1.2f);
}

void drawCoffeeCup(Canvas& c) {
    Rgb cup{42, 157, 143};
    c.outlined(cut(box(36, 29, 55, 51, 8), box(41, 34, 49, 46, 3.5f)), cup);
    c.outlined(box(11, 24, 45, 59, 6), cup);
    c.fill(box(11.8f, 42, 44.2f, 46), {30, 120, 110});
    c.outlined(ellipse(28, 25, 17, 4), cup);
    c.fill(ellipse(28, 25.5f, 14, 2.6f), {101, 60, 32});
    for (float x : {20.f, 28.f, 36.f}) c.fill(wave(x, 3, 18, 2.2f, 2.2f), {140, 140, 148});
}

void drawSandwich(Canvas& c) {
    Rgb crust{196, 132, 60};
    c.outlined(box(7, 45, 57, 56, 4), crust);
    c.fill(box(10, 46.5f, 54, 50, 2), {240, 210, 152});
    std::vector<Shape> leaves;
    for (float x = 10; x <= 54; x += 5.5f) leaves.push_back(circle(x, 43, 4));
    c.outlined(unite(std::move(leaves)), {98, 172, 62});
    c.outlined(box(9, 35, 55, 42, 3), {222, 58, 48});
    c.outlined(unite({box(8, 29, 56, 35), polygon({{15, 34}, {25, 34}, {20, 41}}),
                      polygon({{38, 34}, {48, 34}, {43, 40}})}),
               {250, 200, 50});
    c.outlined(box(6, 12, 58, 30, 8), crust);
    c.fill(box(10, 15, 54, 26, 6), {236, 176, 96});
}

void drawSoftDrink(Canvas& c) {
    Shape body = unite({polygon({{26, 14}, {38, 14}, {45, 27}, {19, 27}}), box(19, 25, 45, 60, 5),
                        box(26.5f, 8, 37.5f, 16, 1)});
    body = cut(cut(body, ellipse(15.5f, 45, 5, 6)), ellipse(48.5f, 45, 5, 6));
    c.outlined(body, {242, 140, 40});
    c.fill(segment({23.5f, 28}, {23.5f, 36}, 2), {250, 190, 120});
    c.fill(clip(box(0, 30, 64, 40), body), kWhite);
    c.fill(clip(box(0, 33.5f, 64, 36.5f), body), {200, 30, 40});
    c.outlined(box(25, 3, 39, 10, 1.5f), {200, 30, 40});
    for (float x : {28.f, 32.f, 36.f}) c.fill(segment({x, 4.5f}, {x, 8.5f}, 1), {150, 20, 30});
}

void drawDvd(Canvas& c) {
    Shape disc = circle(32, 32, 26);
    c.outlined(disc, {200, 210, 222});
    c.fill(clip(polygon({{32, 32}, {64, 0}, {64, 22}}), disc), {236, 196, 238});
    c.fill(clip(polygon({{32, 32}, {0, 64}, {0, 42}}), disc), {186, 232, 238});
    c.fill(clip(polygon({{32, 32}, {38, 64}, {58, 64}}), disc), {240, 234, 170});
    c.fill(cut(circle(32, 32, 20), circle(32, 32, 19.2f)), {165, 176, 192});
    c.outlined(circle(32, 32, 10), {228, 232, 238}, 1.2f);
    c.outlined(circle(32, 32, 4), kBackground, 1.2f);
}

void drawIceLolly(Canvas& c) {
    c.outlined(box(28.5f, 38, 35.5f, 61, 3), {222, 184, 135});
    Shape lolly = unite({box(18, 4, 46, 46, 13), box(18, 22, 46, 46, 3)});
    c.outlined(lolly, {233, 64, 87});
    c.fill(clip(box(0, 21, 64, 33), lolly), {250, 204, 60});
    c.fill(clip(box(0, 33, 64, 64), lolly), {252, 140, 50});
    c.fill(segment({23, 10}, {23, 41}, 2.5f), kWhite);
}

void drawApple(Canvas& c) {
    c.outlined(segment({32, 24}, {35, 9}, 3), {110, 72, 40}, 1.2f);
    Shape body = cut(unite({circle(24, 37, 16), circle(40, 37, 16)}), ellipse(32, 20.5f, 5, 4));
    c.outlined(body, {212, 38, 44});
    c.fill(ellipse(21, 32, 3, 5.5f), {240, 130, 130});
    c.outlined(clip(circle(44.2f, 17, 9.3f), circle(39.8f, 8, 9.3f)), {86, 170, 64}, 1.2f);
}

void drawHammer(Canvas& c) {
    auto tilt = [](std::vector<Pt> pts) { return polygon(turned(std::move(pts), {25, 36}, 35)); };
    c.outlined(tilt(quad(21.5f, 23, 28.5f, 61)), {200, 146, 86});
    c.outlined(tilt(quad(21, 45, 29, 61)), {176, 40, 44});
    c.outlined(tilt({{7, 12}, {29, 12}, {35, 9}, {42, 6}, {39, 14}, {33, 18}, {29, 24}, {7, 24}}),
               {154, 162, 174});
    c.fill(tilt(quad(7.8f, 12.8f, 12, 23.2f)), {120, 128, 140});
}

void drawGift(Canvas& c) {
    Rgb gold{246, 196, 60};
    c.outlined(cut(ellipse(24, 15, 8.5f, 6), ellipse(24, 15, 4.5f, 2.5f)), gold);
    c.outlined(cut(ellipse(40, 15, 8.5f, 6), ellipse(40, 15, 4.5f, 2.5f)), gold);
    c.outlined(box(12, 28, 52, 60, 1.5f), {204, 44, 60});
    c.outlined(box(9, 20, 55, 30, 1.5f), {228, 62, 78});
    c.outlined(box(29, 20, 35, 60), gold, 1);
    c.outlined(circle(32, 18.5f, 3.8f), gold, 1.2f);
}

void drawNewspaper(Canvas& c) {
    c.outlined(polygon(turned(quad(12, 9, 54, 56), {32, 33}, 9)), {222, 222, 214});
    c.outlined(box(7, 7, 51, 57, 1), {251, 251, 247});
    c.fill(box(11, 11, 47, 19), kInk);
    c.fill(box(11, 23, 27, 37), {110, 146, 194});
    c.fill(polygon({{11, 37}, {17, 29}, {21, 33}, {24, 30}, {27, 34}, {27, 37}}), {70, 120, 80});
    Rgb text{150, 150, 150};
    for (float y = 24.5f; y < 37; y += 3.5f) c.fill(segment({31, y}, {47, y}, 1.4f), text);
    for (float y = 41.5f; y < 54; y += 3.5f) c.fill(segment({11, y}, {47, y}, 1.4f), text);
}

void drawPopcorn(Canvas& c) {
    const Pt puffs[] = {{17, 24}, {24, 19}, {31, 22}, {38, 17}, {45, 23}, {20, 14},
                        {29, 12}, {36, 9},  {43, 14}, {26, 26}, {40, 26}};
    for (std::size_t i = 0; i < std::size(puffs); ++i) {
        Rgb puff = i % 3 == 0 ? Rgb{255, 232, 150} : Rgb{255, 246, 214};
        c.outlined(circle(puffs[i].x, puffs[i].y, 5.5f), puff, 1.2f);
    }
    Shape bucket = polygon({{13, 29}, {51, 29}, {46, 61}, {18, 61}});
    c.outlined(bucket, kWhite);
    for (int i = 0; i < 7; i += 2) {
        float t0 = static_cast<float>(i) / 7, t1 = static_cast<float>(i + 1) / 7;
        Shape stripe = polygon(
            {{13 + 38 * t0, 29}, {13 + 38 * t1, 29}, {18 + 28 * t1, 61}, {18 + 28 * t0, 61}});
        c.fill(clip(stripe, bucket), {214, 40, 48});
    }
    c.outlined(box(11, 27, 53, 32, 1.5f), {214, 40, 48});
}

void drawTeaCup(Canvas& c) {
    Rgb cup{228, 112, 150};
    c.outlined(ellipse(32, 53, 27, 6), {246, 236, 242});
    c.outlined(cut(ellipse(50, 37, 8, 7), ellipse(50, 37, 4, 3.5f)), cup);
    c.outlined(clip(ellipse(32, 30, 19, 21), box(0, 30, 64, 64)), cup);
    c.fill(segment({20, 41}, {44, 41}, 2), {250, 200, 220});
    c.outlined(ellipse(32, 30, 19, 4.5f), cup);
    c.fill(ellipse(32, 30.5f, 16, 3), {176, 104, 52});
    c.fill(polyline({{27, 31}, {16, 27.5f}, {11, 32}, {11, 39}}, 1.1f), kInk);
    c.outlined(box(5, 39, 17, 50, 1), {246, 210, 60}, 1.2f);
    c.fill(segment({8, 44}, {14, 44}, 1.2f), {180, 130, 20});
}

void drawSweet(Canvas& c) {
    Rgb end{190, 122, 214};
    c.outlined(polygon({{22, 32}, {5, 19}, {10, 32}, {5, 45}}), end);
    c.outlined(polygon({{42, 32}, {59, 19}, {54, 32}, {59, 45}}), end);
    Shape centre = ellipse(32, 32, 14, 12);
    c.outlined(centre, {142, 68, 173});
    for (float x : {-6.f, 4.f})
        c.fill(clip(segment({22 + x, 46}, {38 + x, 18}, 3.5f), centre), {216, 172, 232});
    c.fill(ellipse(27, 26, 3, 2), kWhite);
}

void drawWineGlass(Canvas& c) {
    Rgb glass{226, 238, 246};
    c.outlined(ellipse(32, 57, 13, 3.5f), glass);
    c.outlined(box(30.5f, 34, 33.5f, 57, 1), glass);
    c.outlined(clip(ellipse(32, 20, 15, 17), box(0, 5, 64, 64)), glass);
    c.fill(clip(ellipse(32, 20, 12.8f, 14.8f), box(0, 21, 64, 64)), {150, 24, 52});
    c.fill(ellipse(32, 21.5f, 12.4f, 1.8f), {186, 56, 86});
    c.fill(segment({22, 11}, {21, 19}, 1.8f), kWhite);
}

void drawBread(Canvas& c) {
    Shape loaf = unite({box(7, 30, 57, 55, 5), ellipse(32, 32, 25, 17)});
    c.outlined(loaf, {204, 136, 60});
    c.fill(clip(box(0, 48, 64, 64), loaf), {172, 106, 42});
    for (float x : {20.f, 31.f, 42.f})
        c.fill(segment({x - 4, 31}, {x + 4, 21}, 3.2f), {238, 190, 120});
}

void drawCheese(Canvas& c) {
    c.outlined(polygon({{5, 37}, {59, 37}, {59, 55}, {5, 55}}), {242, 190, 40});
    c.outlined(polygon({{5, 37}, {59, 37}, {54, 16}}), {255, 224, 104});
    Shape front = box(5, 37, 59, 55);
    for (Pt h : {Pt{15, 45}, Pt{29, 50}, Pt{44, 43}, Pt{55, 51}, Pt{36, 58}})
        c.fill(clip(ellipse(h.x, h.y, 3.5f, 3), front), {206, 150, 20});
    c.fill(ellipse(44, 29, 3, 1.6f), {236, 196, 60});
}

void drawMilk(Canvas& c) {
    Rgb white{250, 250, 252}, side{208, 222, 240}, blue{58, 123, 213};
    c.outlined(polygon({{26, 12}, {26, 8}, {38, 2}, {38, 6}}), white, 1.2f);
    c.outlined(polygon(quad(14, 24, 38, 60)), white);
    c.outlined(polygon({{38, 24}, {50, 18}, {50, 54}, {38, 60}}), side);
    c.outlined(polygon({{14, 24}, {26, 12}, {38, 24}}), white);
    c.outlined(polygon({{26, 12}, {38, 6}, {50, 18}, {38, 24}}), side);
    c.fill(box(16, 34, 36, 54), blue);
    Shape drop = unite({circle(26, 46, 4.2f), polygon({{22.3f, 44.5f}, {29.7f, 44.5f}, {26, 37}})});
    c.fill(drop, kWhite);
}

void drawBattery(Canvas& c) {
    c.outlined(box(26, 4, 38, 12, 1.5f), {182, 186, 192});
    c.outlined(box(17, 10, 47, 61, 3), {40, 40, 44});
    c.fill(clip(box(0, 10, 64, 28), box(18, 11, 46, 60, 2.5f)), {228, 142, 40});
    c.fill(segment({32, 14}, {32, 24}, 3), kWhite);
    c.fill(segment({27, 19}, {37, 19}, 3), kWhite);
    c.fill(segment({27, 50}, {37, 50}, 3), kWhite);
    c.fill(segment({21.5f, 30}, {21.5f, 57}, 2), {96, 96, 104});
}

void drawPen(Canvas& c) {
    auto tilt = [](std::vector<Pt> pts) { return polygon(turned(std::move(pts), {32, 32}, 45)); };
    Rgb blue{46, 91, 186}, dark{28, 56, 124};
    c.outlined(tilt({{27.5f, 17}, {36.5f, 17}, {32, 3}}), {232, 216, 182}, 1.2f);
    c.fill(tilt({{30.6f, 7.5f}, {33.4f, 7.5f}, {32, 3}}), kInk);
    c.outlined(tilt(quad(27, 16, 37, 53)), blue);
    c.outlined(tilt(quad(27, 16, 37, 25)), dark);
    c.outlined(tilt(quad(27.5f, 52, 36.5f, 62)), dark);
    c.outlined(tilt(quad(37, 38, 40, 56)), {190, 194, 202}, 1.2f);
}

void drawBulb(Canvas& c) {
    for (float deg : {-160.f, -125.f, -90.f, -55.f, -20.f}) {
        float a = deg * std::numbers::pi_v<float> / 180;
        Pt from{32 + 17 * std::cos(a), 23 + 17 * std::sin(a)};
        Pt to{32 + 22 * std::cos(a), 23 + 22 * std::sin(a)};
        c.fill(segment(from, to, 2.6f), {240, 160, 20});
    }
    Shape neck = polygon({{22, 31}, {42, 31}, {38.5f, 45}, {25.5f, 45}});
    Shape glass = unite({circle(32, 23, 13.5f), neck});
    c.outlined(glass, {255, 228, 92});
    c.fill(polyline({{28, 44}, {28, 31}, {30, 26}, {32, 31}, {34, 26}, {36, 31}, {36, 44}}, 1.3f),
           {200, 120, 20});
    c.fill(ellipse(26, 19, 2.5f, 4), kWhite);
    c.outlined(box(25, 44, 39, 55, 2), {172, 176, 184});
    for (float y : {48.f, 51.5f})
        c.fill(segment({25.5f, y + 0.6f}, {38.5f, y - 0.6f}, 1.2f), {110, 114, 122});
    c.outlined(box(29, 55, 35, 60, 2), {70, 70, 76});
}

struct Icon {
    const char* subject;
    void (*draw)(Canvas&);
};

// Picture number n is entry n - 1; items refer to pictures by number, so the
// order is fixed once items use them.
constexpr std::array<Icon, 24> kIcons{{
    {"wine bottle", drawWineBottle},
    {"beer glass", drawBeerGlass},
    {"book", drawBook},
    {"drink can", drawCan},
    {"greeting card", drawCard},
    {"coffee cup", drawCoffeeCup},
    {"sandwich", drawSandwich},
    {"soft-drink bottle", drawSoftDrink},
    {"DVD", drawDvd},
    {"ice lolly", drawIceLolly},
    {"apple", drawApple},
    {"hammer", drawHammer},
    {"gift box", drawGift},
    {"newspaper", drawNewspaper},
    {"popcorn", drawPopcorn},
    {"tea cup", drawTeaCup},
    {"wrapped sweet", drawSweet},
    {"wine glass", drawWineGlass},
    {"bread loaf", drawBread},
    {"cheese", drawCheese},
    {"milk carton", drawMilk},
    {"battery", drawBattery},
    {"pen", drawPen},
    {"light bulb", drawBulb},
}};

// ---------------------------------------------------------------------------
// The shop's name and mark for the receipt and the letterhead.

constexpr std::string_view kShopName = "KASSIO SC";

// 5x7 capitals; bit 4 of each row is the leftmost column. Only the letters the
// logos use; anything else is left blank.
struct Glyph {
    char letter;
    std::array<uint8_t, 7> rows;
};

constexpr std::array<Glyph, 6> kFont{{
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
}};

constexpr int kGlyphAdvance = 6;  // five columns and one of spacing

float boldening(int scale) {
    return std::round(static_cast<float>(scale) / 3);
}

float textWidth(std::string_view text, int scale) {
    return (static_cast<float>(text.size()) * kGlyphAdvance - 1) * static_cast<float>(scale) +
           boldening(scale);
}

// Integer scales keep every cell on whole pixels, so the letters stay sharp.
// Each cell is widened to the right by a third: the one-cell strokes of a 5x7
// font look spindly at logo size, and the column gap between letters keeps
// them apart.
void drawText(Canvas& c, std::string_view text, float left, float top, int scale, Rgb ink) {
    const float s = static_cast<float>(scale);
    const float bold = boldening(scale);
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto glyph = std::find_if(kFont.begin(), kFont.end(),
                                  [&](const Glyph& g) { return g.letter == text[i]; });
        if (glyph == kFont.end()) continue;
        float x0 = left + static_cast<float>(i * kGlyphAdvance) * s;
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (!(glyph->rows[static_cast<std::size_t>(row)] & (0x10 >> col))) continue;
                float x = x0 + static_cast<float>(col) * s, y = top + static_cast<float>(row) * s;
                c.fill(box(x, y, x + s + bold, y + s), ink);
            }
        }
    }
}

// A shop front under a striped, scalloped awning, laid out on a 64-unit
// square and scaled to size.
void drawShopMark(Canvas& c, float left, float top, float size, Rgb ink, Rgb accent, Rgb paper) {
    const float s = size / 64;
    auto at = [&](float x0, float y0, float x1, float y1, float radius = 0) {
        return box(left + x0 * s, top + y0 * s, left + x1 * s, top + y1 * s, radius * s);
    };
    c.fill(at(8, 20, 56, 63), ink);
    c.fill(at(11.5f, 23, 52.5f, 63), paper);
    c.fill(at(4, 60, 60, 64), ink);
    c.fill(at(14, 34, 32, 52), ink);
    c.fill(at(17, 37, 22, 42), paper);
    c.fill(at(24, 37, 29, 42), paper);
    c.fill(at(17, 44, 22, 49), paper);
    c.fill(at(24, 44, 29, 49), paper);
    c.fill(at(36, 32, 49, 62), ink);
    c.fill(circle(left + 45.5f * s, top + 48 * s, 1.6f * s), paper);

    std::vector<Shape> stripes;
    constexpr int kStripes = 7;
    for (int i = 0; i < kStripes; ++i) {
        float x0 = 4 + static_cast<float>(i) * 8;
        Shape scallop = circle(left + (x0 + 4) * s, top + 22 * s, 4 * s);
        stripes.push_back(unite({at(x0, 10, x0 + 8, 22), scallop}));
    }
    c.fill(unite(stripes), ink, 1.6f * s);
    for (std::size_t i = 0; i < stripes.size(); ++i) c.fill(stripes[i], i % 2 ? paper : accent);
    c.fill(at(2, 3, 62, 10, 1.5f), ink);
}

Canvas receiptLogo() {
    constexpr int kScale = 5;
    Canvas c(384, 96, kWhite);
    drawShopMark(c, 8, 8, 80, kBlack, kBlack, kWhite);
    const float textLeft = 104, textTop = 22;
    drawText(c, kShopName, textLeft, textTop, kScale, kBlack);
    c.fill(box(textLeft, textTop + 7 * kScale + 10, textLeft + textWidth(kShopName, kScale),
               textTop + 7 * kScale + 14),
           kBlack);
    c.toMonochrome();
    return c;
}

Canvas letterhead() {
    constexpr Rgb kNavy{31, 42, 68};
    constexpr Rgb kAccent{204, 62, 48};
    Canvas c(600, 120, kWhite);
    drawShopMark(c, 16, 8, 88, kNavy, kAccent, kWhite);
    drawText(c, kShopName, 132, 24, 8, kNavy);
    c.fill(box(16, 104, 584, 109), kAccent);
    return c;
}

// ---------------------------------------------------------------------------
// The sample stock: a small corner shop and newsagent.

enum DisplayCategory : int32_t {
    kAlcohol,
    kBeer,
    kBooks,
    kCans,
    kCards,
    kCoffee,
    kDeli,
    kDrinks,
    kDvd,
    kFrozen,
    kFruit,
    kHardware,
    kMisc,
    kPapers,
    kPopcorn,
    kTea,
    kSweets,
    kWine,
};

struct CategoryInfo {
    const char* code;
    const char* location;
};

// Indexed by DisplayCategory.
constexpr std::array<CategoryInfo, 18> kCategories{{
    {"ALC", "BEHIND COUNTER"},
    {"BEE", "AISLE 4"},
    {"BOO", "AISLE 1"},
    {"CAN", "AISLE 3"},
    {"CAR", "AISLE 1"},
    {"COF", "AISLE 2"},
    {"DEL", "CHILLER"},
    {"DRI", "AISLE 3"},
    {"DVD", "AISLE 1"},
    {"FRO", "FREEZER"},
    {"FRU", "AISLE 2"},
    {"HAR", "AISLE 5"},
    {"MSC", "AISLE 5"},
    {"PAP", "COUNTER"},
    {"POP", "AISLE 3"},
    {"TEA", "AISLE 2"},
    {"SWE", "COUNTER"},
    {"WIN", "AISLE 4"},
}};

enum TaxCode : int32_t { kNoTax = 0, kTaxBoth = 1, kTax1 = 2, kTax2 = 3 };

struct ItemSample {
    int number;
    const char* description;
    DisplayCategory category;
    int picture;
    double retail;  // without tax
    double cost;
    int quantity;
    TaxCode tax;
    int caseSize;  // the supplier's pack: minimum order and reorder level follow it
};

// Item 12 is the one the till tests sell: keep it in stock at 2.49.
constexpr ItemSample kItems[] = {
    {1, "HOUSE RED WINE 75CL", kWine, 1, 6.25, 3.80, 14, kTaxBoth, 6},
    {2, "CHARDONNAY WHITE 75CL", kWine, 18, 7.49, 4.60, 9, kTaxBoth, 6},
    {3, "PREMIUM LAGER 4X440ML", kBeer, 2, 4.99, 3.10, 22, kTaxBoth, 6},
    {4, "BITTER ALE 500ML", kBeer, 2, 2.15, 1.30, 0, kTaxBoth, 8},
    {5, "LONDON DRY GIN 70CL", kAlcohol, 1, 15.99, 10.50, 6, kTaxBoth, 6},
    {6, "COLA 330ML CAN", kCans, 4, 0.75, 0.38, 96, kTax1, 24},
    {7, "LEMONADE 330ML CAN", kCans, 4, 0.69, 0.34, 48, kTax1, 24},
    {8, "ORANGE SODA 2L", kDrinks, 8, 1.79, 0.95, 20, kTax1, 6},
    {9, "SPRING WATER 500ML", kDrinks, 8, 0.65, 0.22, 60, kTax1, 24},
    {10, "BIRTHDAY CARD", kCards, 5, 2.29, 0.80, 35, kTax1, 12},
    {11, "THANK YOU CARD", kCards, 5, 1.99, 0.70, 12, kTax1, 12},
    {12, "FILTER COFFEE 227G", kCoffee, 6, 2.49, 1.45, 30, kTax1, 6},
    {13, "INSTANT COFFEE 100G", kCoffee, 6, 3.75, 2.40, 16, kTax1, 6},
    {14, "HAM SANDWICH", kDeli, 7, 2.95, 1.60, 8, kTax2, 4},
    {15, "MATURE CHEDDAR 200G", kDeli, 20, 2.60, 1.55, 12, kNoTax, 6},
    {16, "SEMI SKIMMED MILK 1L", kDeli, 21, 1.15, 0.62, 24, kNoTax, 12},
    {17, "WHITE BREAD 800G", kDeli, 19, 1.40, 0.78, 15, kNoTax, 10},
    {18, "VANILLA ICE CREAM 1L", kFrozen, 10, 3.20, 1.85, 7, kTax1, 4},
    {19, "FRUIT ICE LOLLY", kFrozen, 10, 0.99, 0.45, 40, kTax1, 20},
    {20, "CHOC ICES 4 PACK", kFrozen, 10, 2.25, 1.20, 10, kTax1, 6},
    {21, "APPLES 4 PACK", kFruit, 11, 1.60, 0.90, 18, kNoTax, 10},
    {22, "BRAMLEY COOKING APPLE", kFruit, 11, 0.45, 0.20, 25, kNoTax, 20},
    {23, "CLAW HAMMER 16OZ", kHardware, 12, 8.99, 4.75, 3, kTax1, 2},
    {24, "AA BATTERIES 4 PACK", kHardware, 22, 3.99, 1.90, 25, kTax1, 10},
    {25, "LED BULB 60W E27", kHardware, 24, 2.75, 1.20, 10, kTax2, 5},
    {26, "9V BATTERY", kHardware, 22, 2.99, 1.35, 0, kTax1, 5},
    {27, "GIFT WRAP SET", kMisc, 13, 3.50, 1.40, 9, kTax1, 6},
    {28, "BALLPOINT PENS 4 PACK", kMisc, 23, 1.49, 0.55, 20, kTax1, 10},
    {29, "DAILY NEWSPAPER", kPapers, 14, 1.20, 0.95, 40, kNoTax, 10},
    {30, "SUNDAY NEWSPAPER", kPapers, 14, 2.20, 1.75, 25, kNoTax, 10},
    {31, "TV LISTINGS MAGAZINE", kPapers, 14, 1.65, 1.20, 8, kTax1, 5},
    {32, "SALTED POPCORN 100G", kPopcorn, 15, 1.25, 0.60, 30, kTax1, 12},
    {33, "CHEESE CRISPS 6 PACK", kPopcorn, 15, 1.99, 1.05, 18, kTax1, 8},
    {34, "ENGLISH BREAKFAST TEA 80", kTea, 16, 2.89, 1.70, 20, kNoTax, 6},
    {35, "GREEN TEA 20 BAGS", kTea, 16, 1.85, 0.98, 10, kTax1, 6},
    {36, "MILK CHOCOLATE BAR 45G", kSweets, 17, 0.85, 0.42, 72, kTax1, 24},
    {37, "FRUIT PASTILLES BAG", kSweets, 17, 1.00, 0.48, 0, kTax1, 12},
    {38, "PAPERBACK NOVEL", kBooks, 3, 7.99, 4.50, 5, kNoTax, 2},
    {39, "CHILDRENS PICTURE BOOK", kBooks, 3, 4.99, 2.60, 4, kNoTax, 2},
    {40, "FAMILY FILM DVD", kDvd, 9, 5.00, 2.90, 6, kTax2, 2},
};

// Made or weighed in the shop, so there is no maker's barcode to scan.
constexpr int kNoBarcode[] = {14, 22};
constexpr int kBuyOneGetOneFree[] = {6, 19, 33};
constexpr int kAgeRestricted = 1;
constexpr int32_t kAdultAge = 18;

struct ExtraSkus {
    int number;
    const char *sku2, *sku3, *sku4;
};

// Multipack outers and the other editions that ring up as the same item.
constexpr ExtraSkus kExtraSkus[] = {
    {6, "5012345990016", "COLA", ""},
    {9, "5012345990023", "", ""},
    {29, "9770261648011", "9770261648028", "9770261648035"},
    {30, "9770261648042", "", ""},
};

constexpr std::array<const char*, 4> kDatesAdded{"12/10/2026", "19/10/2026", "26/10/2026",
                                                 "01/11/2026"};

template <std::size_t N>
bool listed(const int (&numbers)[N], int number) {
    return std::find(std::begin(numbers), std::end(numbers), number) != std::end(numbers);
}

// The tables above are typed by hand: a text that would be cut short, or
// that is not in the case the till searches by, is a mistake to stop on.
template <std::size_t N>
void putText(char (&field)[N], std::string_view text) {
    if (text.size() >= N) throw std::length_error("sample text too long: " + std::string(text));
    setFieldText(field, text);
}

template <std::size_t N>
void putUpper(char (&field)[N], std::string_view text) {
    if (upperCase(text) != text)
        throw std::invalid_argument("sample text not upper case: " + std::string(text));
    putText(field, text);
}

// A 13-digit EAN with a correct check digit, so a scanner test using one of
// the samples behaves like a real barcode.
std::string barcodeFor(int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "501234%06d", (number * 7307 + 110000) % 1000000);
    int sum = 0;
    for (int i = 0; i < 12; ++i) sum += (digits[i] - '0') * (i % 2 ? 3 : 1);
    digits[12] = static_cast<char>('0' + (10 - sum % 10) % 10);
    digits[13] = '\0';
    return digits;
}

InventoryRecord makeItem(const ItemSample& s) {
    if (s.picture < 1 || s.picture > static_cast<int>(kIcons.size()) || !(s.cost < s.retail) ||
        s.quantity < 0)
        throw std::invalid_argument("bad sample item: " + std::string(s.description));
    InventoryRecord rec;
    std::memset(&rec, 0, sizeof rec);
    const CategoryInfo& category = kCategories[static_cast<std::size_t>(s.category)];
    rec.number = s.number;
    putUpper(rec.description, s.description);
    if (!listed(kNoBarcode, s.number)) putUpper(rec.sku1, barcodeFor(s.number));
    for (const ExtraSkus& e : kExtraSkus) {
        if (e.number != s.number) continue;
        putUpper(rec.sku2, e.sku2);
        putUpper(rec.sku3, e.sku3);
        putUpper(rec.sku4, e.sku4);
    }
    putUpper(rec.location, category.location);
    char orderCode[16];
    std::snprintf(orderCode, sizeof orderCode, "%s-%04d", category.code, 1000 + s.number * 17);
    putUpper(rec.order_code, orderCode);
    putText(rec.date_added, kDatesAdded[static_cast<std::size_t>(s.number) % kDatesAdded.size()]);
    rec.quantity = s.quantity;
    rec.reorder_quantity = s.caseSize;
    rec.minimum_order = s.caseSize;
    rec.order_quantity = s.caseSize * 2;
    rec.tax = s.tax;
    rec.cost_price = s.cost;
    rec.retail_price = s.retail;
    rec.picture_number = s.picture;
    rec.age_limit = s.number == kAgeRestricted ? kAdultAge : 0;
    rec.offer = listed(kBuyOneGetOneFree, s.number) ? 2 : 0;
    rec.display_category = s.category;
    // kind 0 (a plain item, not a bundle) and last_reference 0 come from the
    // zeroing; the second timestamp is left as a newly created item has it.
    rec.second_timestamp[5] = ' ';
    return rec;
}

struct CustomerSample {
    int number;
    const char *name, *road, *area, *postcode, *telephone, *email;
    int group, terms;
    double creditLimit, balance;  // balance positive: owes the shop
    int64_t tax;                  // 0: tax exempt
    const char* lastUsed;
    int transactions;
    double totalPurchases;
    const char *contact, *comment;
};

constexpr const char* kTown = "NORTHBRIDGE";

constexpr CustomerSample kCustomers[] = {
    {1, "MRS J HARTLEY", "14 CHURCH ROAD", "ELMWOOD", "NB4 2QT", "01632 960101",
     "j.hartley@example.com", 1, 1, 2000, 35.20, 1, "14:3002/12/2026", 12, 412.60, "", ""},
    {2, "THE OLD MILL CAFE", "2 MILL LANE", "RIVERSIDE", "NB1 5LE", "01632 960245",
     "orders@oldmillcafe.example", 2, 2, 500, 120.00, 1, "08:1504/12/2026", 48, 2310.75,
     "ANNA PRICE (MANAGER)", "WEEKLY MILK AND PAPERS"},
    {3, "MR D OKAFOR", "7 ASH GROVE", "ELMWOOD", "NB4 2RX", "07700 900123", "d.okafor@example.net",
     1, 1, 250, 0, 1, "NEW", 0, 0, "", ""},
    {4, "ST MARKS PRIMARY SCHOOL", "SCHOOL LANE", "HIGHFIELD", "NB3 8PS", "01632 960377",
     "office@stmarks.example.org", 3, 3, 500, 0, 0, "11:0528/11/2026", 9, 187.35,
     "MRS T BELL (OFFICE)", "ORDER NUMBER NEEDED"},
    {5, "MS P NOWAK", "31 STATION ROAD", "HIGHFIELD", "NB3 1AB", "07700 900456",
     "p.nowak@example.com", 1, 1, 250, -4.50, 1, "17:4501/12/2026", 6, 86.40, "", ""},
    {6, "MR R PATEL", "88 QUEENS AVENUE", "PARKSIDE", "NB2 6HD", "01632 960512",
     "r.patel@example.com", 1, 1, 2000, 0, 1, "09:2003/12/2026", 21, 305.10, "", ""},
    {7, "GREENWAY TAXIS", "UNIT 4 CANAL YARD", "RIVERSIDE", "NB1 3TY", "01632 960688",
     "accounts@greenway.example", 2, 4, 500, 58.95, 1, "19:1003/12/2026", 30, 642.80, "", ""},
    {8, "MISS L CHEN", "5 BIRCH CLOSE", "PARKSIDE", "NB2 7JN", "07700 900789", "l.chen@example.com",
     1, 1, 250, 0, 1, "NEW", 0, 0, "", ""},
    {9, "MR G ROBERTS", "19 HILL TOP", "HIGHFIELD", "NB3 4EW", "01632 960834",
     "g.roberts@example.net", 1, 1, 250, 0, 1, "16:1029/11/2026", 3, 27.45, "", ""},
    {10, "HILLSIDE CARE HOME", "HILLSIDE ROAD", "HIGHFIELD", "NB3 9CH", "01632 960901",
     "admin@hillside.example.org", 1, 2, 2000, 0, 1, "10:4502/12/2026", 15, 498.20, "", ""},
};

CustomerRecord makeCustomer(const CustomerSample& s) {
    const bool neverBought = std::string_view(s.lastUsed) == "NEW";
    if (neverBought != (s.transactions == 0) || (neverBought && s.balance != 0))
        throw std::invalid_argument("inconsistent sample customer: " + std::string(s.name));
    CustomerRecord rec;
    std::memset(&rec, 0, sizeof rec);
    rec.number = s.number;
    putUpper(rec.name, s.name);
    putUpper(rec.road, s.road);
    putUpper(rec.area, s.area);
    putUpper(rec.town, kTown);
    putUpper(rec.postcode, s.postcode);
    putUpper(rec.telephone, s.telephone);
    putText(rec.email, s.email);
    putUpper(rec.contact, s.contact);
    putUpper(rec.comment, s.comment);
    rec.group = s.group;
    rec.terms = s.terms;
    rec.credit_limit = s.creditLimit;
    rec.balance = s.balance;
    rec.tax = s.tax;
    putText(rec.last_used, s.lastUsed);
    rec.transactions = s.transactions;
    rec.total_purchases = s.totalPurchases;
    return rec;
}

template <typename Record>
void appendRecord(Bytes& out, const Record& rec) {
    const auto* p = reinterpret_cast<const unsigned char*>(&rec);
    out.insert(out.end(), p, p + sizeof rec);
}

// ---------------------------------------------------------------------------

int run(const std::string& folder) {
    if (!makeDirectories(folder)) throw std::runtime_error("cannot create folder " + folder);
    int written = 0;
    auto write = [&](const std::string& name, const Bytes& data) {
        const std::string path = folder + "/" + name;
        if (!replaceFileAtomically(path, data.data(), data.size()))
            throw std::runtime_error("cannot write " + path);
        ++written;
    };
    for (std::size_t i = 0; i < kIcons.size(); ++i) {
        Canvas c(kIconSize, kIconSize, kBackground);
        kIcons[i].draw(c);
        write("stock" + std::to_string(i + 1) + ".bmp", c.bmp());
    }
    write("receipt.bmp", receiptLogo().bmp());
    write("letter.bmp", letterhead().bmp());

    // Numbers run 1..n without gaps: the till tests and the first-start
    // screens look items and customers up by these numbers.
    Bytes items;
    for (std::size_t i = 0; i < std::size(kItems); ++i) {
        if (kItems[i].number != static_cast<int>(i) + 1)
            throw std::invalid_argument("sample item numbers must run 1, 2, 3...");
        appendRecord(items, makeItem(kItems[i]));
    }
    write("inventory.dat", items);

    Bytes customers;
    for (std::size_t i = 0; i < std::size(kCustomers); ++i) {
        if (kCustomers[i].number != static_cast<int>(i) + 1)
            throw std::invalid_argument("sample customer numbers must run 1, 2, 3...");
        appendRecord(customers, makeCustomer(kCustomers[i]));
    }
    write("customer.dat", customers);

    std::printf("made %d files in %s\n", written, folder.c_str());
    return 0;
}

}  // namespace
}  // namespace kassio::samples

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples <output-folder>\n");
        return 2;
    }
    try {
        return kassio::samples::run(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_samples: %s\n", e.what());
        return 1;
    }
}
