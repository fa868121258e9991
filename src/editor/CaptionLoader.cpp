#include "CaptionLoader.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>

#include "Language.h"

void CaptionLoader::Set(QLabel* label, int number, int buffer) {
    if (auto text = LoadText(number, buffer - 1)) label->setText(*text);
}

void CaptionLoader::Set(QAbstractButton* button, int number, int buffer) {
    if (auto text = LoadText(number, buffer - 1)) button->setText(*text);
}

void CaptionLoader::Set(QAction* action, int number, int buffer) {
    if (auto text = LoadText(number, buffer - 1)) action->setText(*text);
}

void CaptionLoader::Set(QMenu* menu, int number, int buffer) {
    if (auto text = LoadText(number, buffer - 1)) menu->setTitle(*text);
}

void CaptionLoader::Fill(QComboBox* list, std::initializer_list<int> numbers, int buffer) {
    const int selected = list->currentIndex();
    const bool blocked = list->blockSignals(true);
    list->clear();
    for (int number : numbers) list->addItem(LoadText(number, buffer - 1).value_or(QString()));
    list->setCurrentIndex(selected < list->count() ? selected : -1);
    list->blockSignals(blocked);
}

QString CaptionLoader::Text(int number, const QString& design, int buffer) {
    return LoadTextOr(number, design, buffer - 1);
}
