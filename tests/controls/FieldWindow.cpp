#include "FieldWindow.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

FieldWindow::FieldWindow() : previousLocale_(QLocale()) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto* layout = new QVBoxLayout(&window);
    a = new TNumericEdit(&window);
    b = new TNumericEdit(&window);
    c = new TNumericEdit(&window);
    list = new TKeyComboBox(&window);
    elsewhere = new QLineEdit(&window);
    a->setObjectName("a");
    b->setObjectName("b");
    c->setObjectName("c");
    list->setObjectName("list");
    elsewhere->setObjectName("elsewhere");
    const QList<QWidget*> all = {a, b, c, list, elsewhere};
    for (QWidget* w : all) layout->addWidget(w);
    list->addItems({"zero", "one", "two", "three"});
    a->SetNextControl(b);
    b->SetPrevControl(a);
    b->SetNextControl(c);
    c->SetPrevControl(b);
    c->SetNextControl(list);
    list->SetPrevControl(c);
    window.resize(240, 220);
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    (void)QTest::qWaitForWindowExposed(&window);
    QApplication::processEvents();
}

FieldWindow::~FieldWindow() { QLocale::setDefault(previousLocale_); }

bool FieldWindow::Focus(QWidget* widget) {
    widget->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    return QApplication::focusWidget() == widget;
}

QWidget* FieldWindow::KeyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        return popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
    }
    return QApplication::focusWidget();
}

void FieldWindow::Press(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(KeyTarget(), static_cast<Qt::Key>(key), modifiers);
}

void FieldWindow::Type(const QString& characters) {
    for (QChar ch : characters) QTest::keyClick(KeyTarget(), ch.toLatin1());
}

void FieldWindow::Retype(TNumericEdit* field, const QString& characters) {
    Focus(field);
    field->selectAll();
    Type(characters);
}
