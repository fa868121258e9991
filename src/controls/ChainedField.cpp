#include "ChainedField.h"

#include <QSet>

QWidget* ChainedField::Attribute(Direction direction) const {
    return direction == Direction::Next ? next_.data() : prev_.data();
}

bool ChainedField::CanTakeFocus(const QWidget* control) {
    return control->isVisible() && control->isEnabled() && control->focusPolicy() != Qt::NoFocus;
}

QWidget* ChainedField::Neighbour(Direction direction) const {
    // Every field passed over is remembered, so a loop of fields none of which can take the
    // focus ends the walk instead of running forever.
    QSet<const QWidget*> passed;
    QWidget* candidate = Attribute(direction);
    while (candidate != nullptr) {
        if (CanTakeFocus(candidate)) return candidate;
        const auto* field = dynamic_cast<const ChainedField*>(candidate);
        if (field == nullptr || passed.contains(candidate)) return nullptr;
        passed.insert(candidate);
        candidate = field->Attribute(direction);
    }
    return nullptr;
}

bool ChainedField::FocusNeighbour(Direction direction) const {
    QWidget* target = Neighbour(direction);
    if (target == nullptr) return false;
    target->setFocus(direction == Direction::Next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
