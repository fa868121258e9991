#pragma once

#include <QTabBar>
#include <QTabWidget>

// The editor's tabs along the left edge, painted: "F" + position + " " + caption, centred in
// a rectangle filled red when selected and with the info background otherwise.
class ConfigTabBar : public QTabBar {
    Q_OBJECT
  public:
    explicit ConfigTabBar(QWidget* parent = nullptr);

    void SetTabSize(int thickness, int length);
    int Thickness() const { return thickness_; }
    int Length() const { return length_; }
    void SetFontPoints(int points);
    // The text painted on tab index: its position among the visible tabs and its caption.
    QString PaintedText(int index) const;
    std::vector<bool> Visibility() const;

  protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    void paintEvent(QPaintEvent* event) override;

  private:
    int thickness_ = 120;
    int length_ = 80;
};

// The tab control of the editor: pages on the right, the painted tabs on the left edge.
class ConfigPageControl : public QTabWidget {
    Q_OBJECT
  public:
    explicit ConfigPageControl(QWidget* parent = nullptr);
    ConfigTabBar* Bar() const { return bar_; }

  private:
    ConfigTabBar* bar_;
};
