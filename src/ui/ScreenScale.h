#pragma once

#include <QRect>

// Windows are laid out for a screen 800 pixels wide and scaled by screen width / 800 when
// they are created, fonts included. Integer arithmetic, as the layout always had.
class ScreenScale {
  public:
    static constexpr int kDesignWidth = 800;

    explicit ScreenScale(int screenWidth) : width_(screenWidth > 0 ? screenWidth : kDesignWidth) {}
    // The scale of the primary screen (the design width when there is none).
    static ScreenScale Primary();
    static QRect PrimaryGeometry();

    int ScreenWidth() const { return width_; }
    bool IsDesignWidth() const { return width_ == kDesignWidth; }
    int operator()(int designPixels) const { return designPixels * width_ / kDesignWidth; }
    QRect operator()(const QRect& r) const {
        return {(*this)(r.x()), (*this)(r.y()), (*this)(r.width()), (*this)(r.height())};
    }

  private:
    int width_;
};
