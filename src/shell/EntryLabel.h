#pragma once

#include <QLabel>

// One entry of the main screen's list: white text on the window's colour, hand cursor. Tells
// the screen when the mouse is over it and when it is clicked; Tag is its list position.
class EntryLabel : public QLabel {
    Q_OBJECT
  public:
    EntryLabel(const QString& name, const QString& text, QWidget* parent);

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    // Lime green and underlined when selected, white otherwise.
    void SetSelected(bool selected);
    bool IsSelected() const { return selected_; }

  signals:
    void hovered(int tag);
    void clicked(int tag);

  protected:
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int tag_ = 0;
    bool selected_ = false;
};
