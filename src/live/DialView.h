#pragma once

#include <QPixmap>
#include <QWidget>

#include "NeedleGeometry.h"

// The rev counter: the dial picture is painted once into an image of the widget's size; each
// new speed erases the old needle with the dial's grey, draws the new one and the
// "rpm x 1000" caption, and asks the screen for only the few pixels that changed. The dial
// itself is painted again only when its size changes.
class DialView : public QWidget {
    Q_OBJECT
  public:
    static const QColor kNeedle;
    static const QColor kFace;

    explicit DialView(QWidget* parent = nullptr);

    // The needle from the speed before to the speed now; with the repaint flag set the
    // needle is drawn even when the speed did not change. Clears the flag.
    void MoveNeedle(int previousRpm, int rpm);
    // Draws the needle at rpm without erasing anything (the link is not open).
    void DrawNeedle(int rpm);
    bool RepaintFlag() const { return repaint_; }
    void SetRepaintFlag() { repaint_ = true; }
    void SetCaption(const QString& caption);

    NeedleGeometry Geometry() const { return NeedleGeometry(rect()); }
    // What the screen shows, needle included.
    const QPixmap& Image() const { return image_; }
    // How often the whole dial has been painted into the image.
    int DialPaints() const { return dialPaints_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ensureImage();
    void paintDial();
    void paintNeedle(QPainter& painter, int rpm, const QColor& colour);
    void paintCaption(QPainter& painter);
    QRect captionRect() const;

    QPixmap image_;
    QString caption_ = QStringLiteral("rpm x 1000");
    bool repaint_ = true;
    int dialPaints_ = 0;
};
