#include "ui/till_button.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

namespace kassio {

namespace {

void drawGlyph(QPainter& p, Glyph g, const QRectF& r, QColor c) {
    p.save();
    QPen pen(c, r.width() / 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
    auto line = [&](double x1, double y1, double x2, double y2) {
        p.drawLine(QPointF(x + w * x1, y + h * y1), QPointF(x + w * x2, y + h * y2));
    };
    auto rect = [&](double x1, double y1, double x2, double y2) {
        p.drawRoundedRect(QRectF(x + w * x1, y + h * y1, w * (x2 - x1), h * (y2 - y1)), w / 12,
                          w / 12);
    };
    auto text = [&](const QString& t, double scale) {
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(static_cast<int>(h * scale));
        p.setFont(f);
        p.drawText(r, Qt::AlignCenter, t);
    };
    switch (g) {
        case Glyph::kNone:
            break;
        case Glyph::kPlus:
            line(.5, .2, .5, .8);
            line(.2, .5, .8, .5);
            break;
        case Glyph::kNote:
            rect(.25, .15, .75, .85);
            line(.35, .35, .65, .35);
            line(.35, .5, .65, .5);
            line(.35, .65, .55, .65);
            break;
        case Glyph::kDrawer:
            rect(.1, .35, .9, .85);
            line(.4, .6, .6, .6);
            line(.2, .35, .3, .15);
            line(.3, .15, .7, .15);
            line(.7, .15, .8, .35);
            break;
        case Glyph::kTrade:
            text("T/R", .42);
            break;
        case Glyph::kSearch:
            p.drawEllipse(QRectF(x + w * .15, y + h * .15, w * .45, h * .45));
            line(.55, .55, .85, .85);
            break;
        case Glyph::kCash:
            rect(.08, .28, .92, .72);
            p.drawEllipse(QRectF(x + w * .38, y + h * .36, w * .24, h * .28));
            break;
        case Glyph::kVoid:
            line(.25, .25, .75, .75);
            line(.75, .25, .25, .75);
            break;
        case Glyph::kRepeat:
            text("x n", .42);
            break;
        case Glyph::kClear:
            rect(.2, .3, .8, .85);
            line(.15, .3, .85, .3);
            line(.4, .15, .6, .15);
            line(.4, .45, .4, .7);
            line(.6, .45, .6, .7);
            break;
        case Glyph::kAccount:
            p.drawEllipse(QRectF(x + w * .35, y + h * .12, w * .3, h * .3));
            line(.2, .85, .3, .55);
            line(.3, .55, .7, .55);
            line(.7, .55, .8, .85);
            break;
        case Glyph::kScale:
            line(.5, .15, .5, .8);
            line(.2, .3, .8, .3);
            line(.2, .3, .1, .6);
            line(.2, .3, .3, .6);
            line(.1, .6, .3, .6);
            line(.8, .3, .7, .6);
            line(.8, .3, .9, .6);
            line(.7, .6, .9, .6);
            line(.3, .85, .7, .85);
            break;
        case Glyph::kCard:
            rect(.1, .25, .9, .75);
            line(.1, .4, .9, .4);
            line(.2, .62, .45, .62);
            break;
        case Glyph::kRefund:
            line(.2, .5, .8, .5);
            line(.2, .5, .4, .3);
            line(.2, .5, .4, .7);
            line(.8, .5, .8, .25);
            break;
        case Glyph::kPrice:
            text("$?", .5);
            break;
        case Glyph::kBack:
            line(.65, .2, .35, .5);
            line(.35, .5, .65, .8);
            break;
        case Glyph::kForward:
            line(.35, .2, .65, .5);
            line(.65, .5, .35, .8);
            break;
        case Glyph::kSku:
            for (int i = 0; i < 7; ++i) line(.2 + i * .1, .25, .2 + i * .1, .75);
            break;
        case Glyph::kBaskets:
            rect(.1, .4, .55, .85);
            rect(.45, .15, .9, .6);
            break;
    }
    p.restore();
}

// The label broken into as many lines as fit the box; when text is left
// over, the last line ends in an ellipsis instead of being cut mid-letter.
QString fitLabel(const QString& text, const QFont& font, const QRectF& box) {
    const QFontMetricsF fm(font);
    const int maxLines = std::max(1, static_cast<int>(box.height() / fm.lineSpacing()));
    QTextLayout layout(text, font);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        if (static_cast<int>(lines.size()) == maxLines - 1) {
            lines << fm.elidedText(text.mid(line.textStart()).trimmed(), Qt::ElideRight,
                                   box.width());
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

QPixmap glyphPixmap(Glyph glyph, int size, QColor colour) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawGlyph(p, glyph, QRectF(2, 2, size - 4, size - 4), colour);
    return pm;
}

TillButton::TillButton(const QString& label, Glyph glyph, QColor face, QWidget* parent)
    : QPushButton(label, parent), m_glyph(glyph), m_face(face) {
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(48, 40);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TillButton::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void TillButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool down = isDown();
    QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    if (down) r.translate(1, 1);
    QColor face = isEnabled() ? m_face : QColor(200, 200, 200);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, down ? face.darker(125) : face.lighter(125));
    g.setColorAt(1, down ? face.darker(105) : face.darker(115));
    p.setBrush(g);
    p.setPen(QPen(face.darker(170), 1.5));
    p.drawRoundedRect(r, 8, 8);

    const QColor ink = face.lightness() > 140 ? QColor(30, 30, 30) : Qt::white;
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(std::max(10, std::min(15, static_cast<int>(r.height() / 5))));
    p.setFont(f);
    p.setPen(ink);
    if (!m_picture.isNull()) {
        f.setPixelSize(std::max(9, std::min(12, static_cast<int>(r.height() / 8))));
        p.setFont(f);
        const double side = std::min(r.width() - 8, r.height() - 2.4 * f.pixelSize() - 8);
        QRectF pic(r.center().x() - side / 2, r.top() + 4, side, side);
        p.drawPixmap(pic.toRect(), m_picture);
        const QRectF label(r.left() + 3, pic.bottom(), r.width() - 6, r.bottom() - pic.bottom());
        p.drawText(label, Qt::AlignCenter, fitLabel(text(), f, label));
        return;
    }
    if (m_glyph == Glyph::kNone || text().isEmpty()) {
        p.drawText(r, Qt::AlignCenter, fitLabel(text(), f, r.adjusted(3, 2, -3, -2)));
        if (m_glyph != Glyph::kNone) {
            const double side = std::min(r.width(), r.height()) * 0.7;
            drawGlyph(p, m_glyph,
                      QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side),
                      ink);
        }
        return;
    }
    const double side = std::min(r.height() * 0.55, r.width() * 0.5);
    drawGlyph(p, m_glyph, QRectF(r.center().x() - side / 2, r.top() + 4, side, side), ink);
    const QRectF label(r.left() + 3, r.top() + side + 4, r.width() - 6, r.height() - side - 6);
    p.drawText(label, Qt::AlignCenter, fitLabel(text(), f, label));
}

}  // namespace kassio
