#pragma once

#include <QTimer>
#include <QWidget>

// The wait animation: a ring of dots with one bright dot running round, played in a loop
// while a long operation keeps the program busy. Stopped when created.
class WaitAnimation : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kDots = 8;
    static constexpr int kFrameMs = 100;

    explicit WaitAnimation(QWidget* parent = nullptr);

    void Start();
    void Stop();
    bool IsRunning() const { return timer_.isActive(); }
    int Frame() const { return frame_; }
    // The next frame, as the timer shows it.
    void Step();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer timer_;
    int frame_ = 0;
};
