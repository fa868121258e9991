#pragma once

#include <QString>

// What a long operation tells the technician while it runs: the wait dialog as the
// connection and the save commands drive it. Destroying the view closes it.
class WaitView {
  public:
    virtual ~WaitView() = default;
    virtual void SetCaption(const QString& caption) = 0;
    virtual void SetMessage(const QString& message) = 0;
    // The text after the percentage ("37% Completato").
    virtual void SetCompletionSuffix(const QString& suffix) = 0;
    virtual void StartAnimation() = 0;
    // The percentage bar and its text, hidden while a step has no progress to show.
    virtual void SetProgressVisible(bool visible) = 0;
    virtual void ResetProgress() = 0;
    // Shows the view and paints it at once.
    virtual void Open() = 0;
};
