#pragma once

#include <QDialog>
#include <QMetaObject>

#include "ProgressCounter.h"
#include "WaitView.h"

class QLabel;
class QProgressBar;
class WaitAnimation;

// The wait dialog: a message, an optional animation and a percentage bar while a long
// operation runs on the user-interface thread. Connect the operation's progress notice to
// OnProgress; the dialog is the only window that follows it.
class TFormAttesa : public QDialog, public WaitView {
    Q_OBJECT
  public:
    explicit TFormAttesa(QWidget* owner = nullptr);
    ~TFormAttesa() override;

    // The same update as a progress notice, without repainting the other windows.
    void SetProgress(int value, bool absolute);
    int Position() const { return counter_.Position(); }
    QString CompletedText() const;
    QString Message() const;
    bool AnimationRunning() const;

    void SetCaption(const QString& caption) override { setWindowTitle(caption); }
    void SetMessage(const QString& message) override;
    void SetCompletionSuffix(const QString& suffix) override { counter_.SetSuffix(suffix); }
    void StartAnimation() override;
    void SetProgressVisible(bool visible) override;
    void ResetProgress() override { SetProgress(0, true); }
    void Open() override;

  public slots:
    // increment 0: value is the position; otherwise value is added to it. Every window of
    // the program is repainted at once: the operation keeps the event loop busy, so this is
    // the only repaint the technician sees.
    void OnProgress(int value, int increment);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void update(int value, bool increment);
    void stopRestoring();

    QLabel* label_;
    QProgressBar* progressBar_;
    QLabel* labelCompleted_;
    WaitAnimation* animate_;
    ProgressCounter counter_;
    int lineHeight_ = 0;
    QMetaObject::Connection restore_;
};
