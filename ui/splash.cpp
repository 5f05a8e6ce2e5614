#include "ui/splash.h"

#include <QLinearGradient>
#include <QPainter>

namespace kassio {

QPixmap splashPicture() {
    QPixmap pm(400, 198);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 198);
    g.setColorAt(0, QColor(32, 64, 120));
    g.setColorAt(1, QColor(18, 34, 70));
    p.fillRect(pm.rect(), g);
    // A shop front: awning stripes over a window.
    for (int i = 0; i < 6; ++i) {
        p.setBrush(i % 2 ? QColor(240, 240, 240) : QColor(210, 60, 60));
        p.setPen(Qt::NoPen);
        p.drawRect(24 + i * 16, 40, 16, 22);
    }
    p.setBrush(QColor(250, 210, 90));
    p.drawRoundedRect(QRectF(28, 66, 88, 70), 6, 6);
    p.setBrush(QColor(32, 64, 120));
    p.drawRect(QRectF(40, 80, 26, 56));
    QFont f("DejaVu Sans");
    f.setPixelSize(44);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(130, 40, 260, 60), Qt::AlignLeft | Qt::AlignVCenter, "KASSIO SC");
    f.setPixelSize(15);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(210, 220, 240));
    p.drawText(QRect(132, 100, 260, 24), Qt::AlignLeft, "Point of sale for the small shop");
    p.drawText(QRect(132, 150, 260, 24), Qt::AlignLeft, "Starting...");
    return pm;
}

}  // namespace kassio
