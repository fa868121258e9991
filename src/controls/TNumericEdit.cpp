#include "TNumericEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <cmath>
#include <utility>

#include "NumericText.h"

TNumericEdit::TNumericEdit(QWidget* parent) : QLineEdit(parent) {
    setText(QStringLiteral("0"));
    // Text arrives only through the typed-character filter: no input-method commits, no drops.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
}

void TNumericEdit::Show(double x) {
    committed_ = NumericText::Snap(x);
    setText(NumericText::Format(committed_));
}

void TNumericEdit::SetInt(int v) {
    if (const auto limit = rules_.ViolatedLimit(v)) {
        Show(*limit);
        return;
    }
    committed_ = v;
    setText(QString::number(v));
}

int TNumericEdit::GetInt() {
    const std::optional<int> parsed = NumericText::ParseInt(text());
    const int v = parsed ? *parsed : NumericText::TruncateToInt(committed_);
    if (rules_.BothLimitsSet()) {
        if (v > rules_.maxValue) SetInt(NumericText::TruncateToInt(rules_.maxValue));
        if (v < rules_.minValue) SetInt(NumericText::TruncateToInt(rules_.minValue));
    }
    if (rules_.precision != 0) {
        // Snapped so that 3 on a step of 0.1 stays 3 rather than becoming 29 steps.
        const double steps = std::trunc(NumericText::Snap(v / rules_.precision));
        SetInt(NumericText::TruncateToInt(NumericText::Snap(rules_.precision * steps)));
    }
    return v;
}

void TNumericEdit::SetDouble(double x) {
    if (!std::isfinite(x)) return;
    if (const auto limit = rules_.ViolatedLimit(x)) {
        Show(*limit);
        return;
    }
    Show(rules_.Normalise(x));
}

double TNumericEdit::GetDouble() const {
    const std::optional<double> parsed = NumericText::ParseDouble(text());
    return rules_.Normalise(parsed ? *parsed : committed_);
}

NumericRules::Typing TNumericEdit::CurrentTyping() const {
    NumericRules::Typing typing;
    typing.text = text();
    typing.insertAt = hasSelectedText() ? selectionStart() : cursorPosition();
    typing.selected = selectedText();
    return typing;
}

bool TNumericEdit::AcceptsTyped(const QKeyEvent& event) const {
    // Pasting would bring in text that no filter has seen.
    if (event.matches(QKeySequence::Paste)) return false;
    const QString typed = event.text();
    if (typed.isEmpty() || !typed.at(0).isPrint()) return true;  // a key, not a character
    return typed.size() == 1 && rules_.Accepts(typed.at(0), CurrentTyping());
}

void TNumericEdit::PressEnter(QKeyEvent* event) {
    const double value = GetDouble();
    Show(value);
    QLineEdit::keyPressEvent(event);
    // The Enter belongs to the field: it must not go on to press a dialog's default button.
    event->accept();
    QPointer<TNumericEdit> alive(this);
    emit committed(committed_);
    if (alive.isNull()) return;
    if (!FocusNeighbour(Direction::Next)) selectAll();
}

void TNumericEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            SetDouble(committed_);
            selectAll();
            event->accept();
            return;
        case Qt::Key_Up:
            FocusNeighbour(Direction::Previous);
            event->accept();
            return;
        case Qt::Key_Down:
            FocusNeighbour(Direction::Next);
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            PressEnter(event);
            return;
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            QLineEdit::keyPressEvent(event);
            return;
        default:
            break;
    }
    if (!AcceptsTyped(*event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TNumericEdit::focusInEvent(QFocusEvent* event) {
    const bool fieldChange = IsFieldChange(event->reason());
    if (fieldChange) {
        if (const auto x = NumericText::ParseDouble(text())) committed_ = *x;
        SetDouble(committed_);
    }
    QLineEdit::focusInEvent(event);
    // Whatever brought the focus (a tab key, the opening, Up/Down, Tab, a click), what is typed
    // replaces the value: "-2" over "0" must not become "02".
    if (fieldChange) selectAll();
    selectOnRelease_ = event->reason() == Qt::MouseFocusReason;
    if (fieldChange) emit entered();
}

void TNumericEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    // The click that gave the focus placed the caret; a drag chose its own selection.
    if (std::exchange(selectOnRelease_, false) && !hasSelectedText()) selectAll();
}

void TNumericEdit::focusOutEvent(QFocusEvent* event) {
    const bool fieldChange = IsFieldChange(event->reason());
    if (fieldChange) {
        if (validation_) {
            SetDouble(committed_);
        } else {
            Show(GetDouble());
        }
    }
    QLineEdit::focusOutEvent(event);
    if (fieldChange) emit left();
}
