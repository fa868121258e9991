#pragma once

#include <QPointer>
#include <QWidget>

// A field of a keyboard chain: Enter and Down go to its next field, Up to its previous one.
// The neighbour lookup walks on through fields that cannot take the focus (disabled or
// hidden), as long as they are chained fields themselves.
class ChainedField {
  public:
    enum class Direction { Next, Previous };

    virtual ~ChainedField() = default;

    // The neighbours as set, whether or not they can take the focus.
    QWidget* NextControl() const { return next_; }
    QWidget* PrevControl() const { return prev_; }
    void SetNextControl(QWidget* control) { next_ = control; }
    void SetPrevControl(QWidget* control) { prev_ = control; }

    // The field the focus goes to, or nullptr when there is none.
    QWidget* GetNextControl() const { return Neighbour(Direction::Next); }
    QWidget* GetPrevControl() const { return Neighbour(Direction::Previous); }
    QWidget* Neighbour(Direction direction) const;

    // Visible and enabled (with its parents) and taking the focus at all.
    static bool CanTakeFocus(const QWidget* control);

    // Moves the focus to the neighbour; false when there is none.
    bool FocusNeighbour(Direction direction) const;

    // A focus change between fields, as opposed to the window being deactivated or a popup
    // (the list of a combo box, a menu) taking the keyboard for a while.
    static bool IsFieldChange(Qt::FocusReason reason) {
        return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    }

  private:
    QWidget* Attribute(Direction direction) const;

    QPointer<QWidget> next_;
    QPointer<QWidget> prev_;
};
