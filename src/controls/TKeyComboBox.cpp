#include "TKeyComboBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWheelEvent>

namespace {
bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
bool IsTypedCharacter(const QKeyEvent& event) {
    return !event.text().isEmpty() && event.text().at(0).isPrint();
}
}  // namespace

TKeyComboBox::TKeyComboBox(QWidget* parent) : QComboBox(parent) {
    WatchList();
    connect(this, &QComboBox::activated, this, &TKeyComboBox::Pick);
    // A selection the program sets while the list is closed is the one to come back to.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!IsListOpen()) savedIndex_ = index;
    });
}

void TKeyComboBox::WatchList() {
    // While the list is open its view gets the keys; the filter must run before the combo's own
    // one, so it is installed again (and thus first) whenever the list opens.
    view()->installEventFilter(this);
    view()->window()->installEventFilter(this);
}

bool TKeyComboBox::IsListOpen() const { return view()->isVisible(); }

void TKeyComboBox::showPopup() {
    WatchList();
    // An animated list would show itself only later: the Enter that opens it would find it
    // closed and commit, and the next keys would miss it.
    const bool animated = QApplication::isEffectEnabled(Qt::UI_AnimateCombo);
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    QComboBox::showPopup();
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, animated);
}

int TKeyComboBox::HighlightedIndex() const {
    const QModelIndex highlighted = view()->currentIndex();
    return highlighted.isValid() ? highlighted.row() : currentIndex();
}

void TKeyComboBox::TypeEnter() {
    if (open_) {
        const bool listOpen = IsListOpen();
        savedIndex_ = listOpen ? HighlightedIndex() : currentIndex();
        if (listOpen) {
            hidePopup();
            setCurrentIndex(savedIndex_);
        }
    } else {
        showPopup();
    }
    open_ = IsListOpen();
    if (!open_ && currentIndex() >= 0) emit committed(currentIndex());
}

void TKeyComboBox::Pick() {
    // A choice made without Enter (the mouse, Home, End) is taken as if Enter had chosen it.
    if (!IsListOpen()) open_ = true;
    TypeEnter();
}

void TKeyComboBox::CancelList() {
    hidePopup();
    open_ = false;
    setCurrentIndex(savedIndex_);
}

bool TKeyComboBox::WrapHighlight(int from, int to) {
    if (HighlightedIndex() != from || count() == 0) return false;
    view()->setCurrentIndex(model()->index(to, modelColumn(), rootModelIndex()));
    return true;
}

bool TKeyComboBox::ListKey(QKeyEvent* event) {
    const int key = event->key();
    if (IsEnter(key)) {
        TypeEnter();
        return true;
    }
    switch (key) {
        case Qt::Key_Escape:
            CancelList();
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            return true;
        case Qt::Key_Up:
            return WrapHighlight(0, count() - 1);
        case Qt::Key_Down:
            return WrapHighlight(count() - 1, 0);
        default:
            return IsTypedCharacter(*event);
    }
}

bool TKeyComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view()->window()) {
        if (event->type() == QEvent::Show) open_ = true;
        if (event->type() == QEvent::Hide) open_ = false;
        return false;
    }
    if (watched != view()) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // The list would choose on the override already; the key press that follows does it.
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsEnter(key->key())) return false;
        key->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) return ListKey(static_cast<QKeyEvent*>(event));
    return false;
}

void TKeyComboBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (IsListOpen()) {
        if (!ListKey(event)) QComboBox::keyPressEvent(event);
        return;
    }
    event->accept();
    if (IsEnter(key)) {
        TypeEnter();
        return;
    }
    switch (key) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Left:
        case Qt::Key_Right:
            return;
        case Qt::Key_Up:
            FocusNeighbour(Direction::Previous);
            return;
        case Qt::Key_Down:
            FocusNeighbour(Direction::Next);
            return;
        default:
            if (!IsTypedCharacter(*event)) QComboBox::keyPressEvent(event);
            return;
    }
}

void TKeyComboBox::focusInEvent(QFocusEvent* event) {
    if (IsFieldChange(event->reason())) {
        open_ = false;
        savedIndex_ = currentIndex();
    }
    QComboBox::focusInEvent(event);
}

void TKeyComboBox::focusOutEvent(QFocusEvent* event) {
    // Opening the list passes the focus to its view: that is not leaving the field.
    const QWidget* to = QApplication::focusWidget();
    const bool intoList = to != nullptr && view()->window()->isAncestorOf(to);
    if (IsFieldChange(event->reason()) && !intoList) hidePopup();
    QComboBox::focusOutEvent(event);
}

void TKeyComboBox::wheelEvent(QWheelEvent* event) {
    // The wheel changes only the list that has the focus, never one the pointer passes over.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}
