#include "ui/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace kassio {

namespace {

// What a toolbar command works on, drawn large, and what it does to it,
// drawn as a small badge in the lower right corner.
enum class Subject {
    kDisk,
    kPerson,
    kBox,
    kList,
    kDocument,
    kLetter,
    kTruck,
    kPicture,
    kLogOff,
    kMoney,
    kChart,
    kUpload
};
enum class Badge { kNone, kFind, kDelete, kPrint, kAdd, kEdit };

struct IconSpec {
    int command;
    Subject subject;
    Badge badge;
    QColor colour;
};

const QColor kPeople(40, 90, 170), kItems(150, 90, 30), kPaper(70, 70, 80), kSupplier(30, 120, 90),
    kMoneyGreen(30, 130, 60);

const IconSpec kIcons[] = {
    {1005, Subject::kDisk, Badge::kNone, kPaper},
    {1009, Subject::kPerson, Badge::kFind, kPeople},
    {1023, Subject::kPerson, Badge::kDelete, kPeople},
    {1027, Subject::kBox, Badge::kFind, kItems},
    {1040, Subject::kBox, Badge::kPrint, kItems},
    {1047, Subject::kList, Badge::kPrint, kItems},
    {1050, Subject::kBox, Badge::kEdit, kItems},
    {1051, Subject::kBox, Badge::kDelete, kItems},
    {1067, Subject::kDocument, Badge::kFind, kPaper},
    {1068, Subject::kLetter, Badge::kPrint, kPaper},
    {1071, Subject::kTruck, Badge::kDelete, kSupplier},
    {1076, Subject::kPicture, Badge::kAdd, kItems},
    {2411, Subject::kBox, Badge::kAdd, kItems},
    {2457, Subject::kLogOff, Badge::kNone, kPaper},
    {3012, Subject::kPerson, Badge::kAdd, kPeople},
    {3014, Subject::kList, Badge::kPrint, kSupplier},
    {3026, Subject::kMoney, Badge::kNone, kMoneyGreen},
    {3036, Subject::kTruck, Badge::kAdd, kSupplier},
    {3047, Subject::kChart, Badge::kNone, kPaper},
    {3054, Subject::kUpload, Badge::kNone, kPaper},
};

void drawSubject(QPainter& p, Subject s, double z, QColor c) {
    QPen pen(c, z * 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(c.lighter(185));
    auto R = [z](double x, double y, double w, double h) {
        return QRectF(x * z, y * z, w * z, h * z);
    };
    auto L = [&](double x1, double y1, double x2, double y2) {
        p.drawLine(QPointF(x1 * z, y1 * z), QPointF(x2 * z, y2 * z));
    };
    switch (s) {
        case Subject::kDisk:  // a floppy: "keep a copy"
            p.drawRoundedRect(R(.12, .1, .72, .76), z * .06, z * .06);
            p.setBrush(Qt::white);
            p.drawRect(R(.26, .1, .42, .26));
            p.drawRect(R(.24, .52, .48, .3));
            break;
        case Subject::kPerson:
            p.drawEllipse(R(.3, .08, .3, .3));
            p.drawChord(R(.14, .44, .62, .6), 0, 180 * 16);
            break;
        case Subject::kBox: {  // a parcel: an item of stock
            QPainterPath box;
            box.moveTo(.12 * z, .3 * z);
            box.lineTo(.45 * z, .14 * z);
            box.lineTo(.78 * z, .3 * z);
            box.lineTo(.78 * z, .7 * z);
            box.lineTo(.45 * z, .86 * z);
            box.lineTo(.12 * z, .7 * z);
            box.closeSubpath();
            p.drawPath(box);
            L(.12, .3, .45, .46);
            L(.78, .3, .45, .46);
            L(.45, .46, .45, .86);
            break;
        }
        case Subject::kList:
            p.drawRoundedRect(R(.14, .08, .6, .8), z * .04, z * .04);
            for (double y : {.25, .42, .59}) {
                L(.24, y, .3, y);
                L(.38, y, .64, y);
            }
            break;
        case Subject::kDocument:  // a till receipt with a torn foot
            p.drawRect(R(.2, .08, .5, .78));
            L(.3, .26, .6, .26);
            L(.3, .42, .6, .42);
            L(.3, .58, .5, .58);
            break;
        case Subject::kLetter:
            p.drawRect(R(.08, .22, .76, .52));
            L(.08, .22, .46, .52);
            L(.84, .22, .46, .52);
            break;
        case Subject::kTruck:
            p.drawRect(R(.06, .26, .5, .38));
            p.drawRect(R(.56, .4, .26, .24));
            p.setBrush(c);
            p.drawEllipse(R(.14, .6, .16, .16));
            p.drawEllipse(R(.6, .6, .16, .16));
            break;
        case Subject::kPicture:
            p.drawRect(R(.08, .16, .74, .6));
            p.setBrush(c);
            p.drawEllipse(R(.18, .26, .14, .14));
            {
                QPainterPath hill;
                hill.moveTo(.1 * z, .74 * z);
                hill.lineTo(.36 * z, .46 * z);
                hill.lineTo(.52 * z, .62 * z);
                hill.lineTo(.62 * z, .52 * z);
                hill.lineTo(.8 * z, .74 * z);
                hill.closeSubpath();
                p.drawPath(hill);
            }
            break;
        case Subject::kLogOff:  // a door with an arrow leaving it
            p.drawRect(R(.12, .1, .42, .8));
            L(.44, .5, .9, .5);
            L(.9, .5, .76, .36);
            L(.9, .5, .76, .64);
            break;
        case Subject::kMoney:  // a banknote and coins: account payments
            p.drawRect(R(.06, .22, .7, .4));
            p.drawEllipse(R(.3, .3, .22, .24));
            p.setBrush(QColor(230, 190, 60));
            p.drawEllipse(R(.5, .54, .36, .36));
            break;
        case Subject::kChart:
            L(.1, .88, .9, .88);
            p.setBrush(c);
            p.drawRect(R(.16, .54, .16, .32));
            p.drawRect(R(.4, .3, .16, .56));
            p.drawRect(R(.64, .12, .16, .74));
            break;
        case Subject::kUpload:
            p.drawRect(R(.14, .52, .72, .36));
            L(.5, .1, .5, .68);
            L(.5, .1, .3, .3);
            L(.5, .1, .7, .3);
            break;
    }
}

void drawBadge(QPainter& p, Badge b, double z) {
    if (b == Badge::kNone) return;
    static const QColor kColours[] = {{},
                                      QColor(60, 60, 60),
                                      QColor(200, 30, 30),
                                      QColor(60, 60, 60),
                                      QColor(20, 140, 40),
                                      QColor(30, 90, 190)};
    const QColor c = kColours[static_cast<int>(b)];
    const QRectF disc(z * .52, z * .52, z * .46, z * .46);
    p.setPen(QPen(Qt::white, z * .04));
    p.setBrush(c);
    p.drawEllipse(disc);
    QPen ink(Qt::white, z * .07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(ink);
    p.setBrush(Qt::NoBrush);
    const double x = disc.x(), y = disc.y(), w = disc.width();
    auto L = [&](double x1, double y1, double x2, double y2) {
        p.drawLine(QPointF(x + w * x1, y + w * y1), QPointF(x + w * x2, y + w * y2));
    };
    switch (b) {
        case Badge::kFind:
            p.drawEllipse(QRectF(x + w * .22, y + w * .2, w * .38, w * .38));
            L(.55, .55, .78, .78);
            break;
        case Badge::kDelete:
            L(.3, .3, .7, .7);
            L(.7, .3, .3, .7);
            break;
        case Badge::kAdd:
            L(.5, .24, .5, .76);
            L(.24, .5, .76, .5);
            break;
        case Badge::kEdit:  // a pencil
            L(.28, .72, .72, .28);
            L(.24, .76, .3, .74);
            break;
        case Badge::kPrint:
            p.setPen(QPen(Qt::white, z * .04));
            p.drawRect(QRectF(x + w * .2, y + w * .4, w * .6, w * .28));
            p.drawRect(QRectF(x + w * .32, y + w * .2, w * .36, w * .2));
            p.drawRect(QRectF(x + w * .32, y + w * .6, w * .36, w * .2));
            break;
        case Badge::kNone:
            break;
    }
}

}  // namespace

QIcon toolbarIcon(int command, int size) {
    for (const IconSpec& s : kIcons) {
        if (s.command != command) continue;
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        drawSubject(p, s.subject, size, s.colour);
        drawBadge(p, s.badge, size);
        p.end();
        return QIcon(pm);
    }
    return {};
}

}  // namespace kassio
