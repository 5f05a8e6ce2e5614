// A till button drawn in code: a large rounded face with a glyph and a
// label, raised when up and sunk when down, easy to hit with a finger.
#pragma once

#include <QColor>
#include <QPushButton>

namespace kassio {

enum class Glyph {
    kNone,
    kPlus,
    kNote,
    kDrawer,
    kTrade,
    kSearch,
    kCash,
    kVoid,
    kRepeat,
    kClear,
    kAccount,
    kScale,
    kCard,
    kRefund,
    kPrice,
    kBack,
    kForward,
    kSku,
    kBaskets
};

class TillButton final : public QPushButton {
    Q_OBJECT
  public:
    TillButton(const QString& label, Glyph glyph, QColor face, QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture);  // quick-select buttons show an item

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    Glyph m_glyph;
    QColor m_face;
    QPixmap m_picture;
};

// The glyph drawn into a square of side `size`, for toolbar icons too.
QPixmap glyphPixmap(Glyph glyph, int size, QColor colour);

}  // namespace kassio
