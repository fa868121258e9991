#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

#include "QtDialogs.h"

namespace {
using Answer = Dialogs::Answer;
using Buttons = Dialogs::Buttons;
using Icon = Dialogs::Icon;
using SB = QMessageBox::StandardButton;

// What the user does in the message box: Enter, Esc, or Space on one of its buttons.
struct Press {
    Qt::Key key;
    SB button = QMessageBox::NoButton;  // for Space
};
const Press kEnter{Qt::Key_Return};
const Press kEsc{Qt::Key_Escape};
Press space(SB button) { return {Qt::Key_Space, button}; }

// What the open message box showed.
struct Seen {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    SB defaultButton = QMessageBox::NoButton;
};

// Presses keys in the next message box once it is open, and notes what it shows.
void pressInNextBox(const Press& press, Seen& seen) {
    QTimer::singleShot(0, [press, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = {true,        box->windowTitle(),     box->text(),
                box->icon(), box->standardButtons(), box->standardButton(box->defaultButton())};
        QWidget* target = box;
        if (press.button != QMessageBox::NoButton) {
            target = box->button(press.button);
            if (!target) return box->reject();
        } else if (QWidget* focus = box->focusWidget()) {
            target = focus;  // the keyboard goes where the focus is, as for the user
        }
        QTest::keyClick(target, press.key);
        if (box->isVisible()) box->reject();  // the key did nothing: end the loop all the same
    });
}

const QString kTitle = QStringLiteral("Centralina Gas - Configuratore");
const QString kReset = QStringLiteral("Sei sicuro di resettare tutti i dati della centralina?");

// Each icon of the program as the message box's own, with the title and the text as given.
TEST(QtDialogsTest, AMessageShowsItsIconTitleAndText) {
    const std::pair<Icon, QMessageBox::Icon> icons[] = {
        {Icon::None, QMessageBox::NoIcon},       {Icon::Information, QMessageBox::Information},
        {Icon::Warning, QMessageBox::Warning},   {Icon::Error, QMessageBox::Critical},
        {Icon::Question, QMessageBox::Question},
    };
    QtDialogs dialogs;
    for (const auto& [icon, qtIcon] : icons) {
        Seen seen;
        pressInNextBox(kEnter, seen);
        EXPECT_EQ(dialogs.message(kTitle, kReset, icon, Buttons::Ok), Answer::Ok);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.icon, qtIcon) << static_cast<int>(icon);
        EXPECT_EQ(seen.title, kTitle);
        EXPECT_EQ(seen.text, kReset);
        EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    }
}

// Every button of every kind of question by key, Enter on the default the caller chose, and
// Esc: the answer the program gets back.
TEST(QtDialogsTest, EachButtonAndKeyGivesItsAnswer) {
    const QMessageBox::StandardButtons okCancel = QMessageBox::Ok | QMessageBox::Cancel;
    const QMessageBox::StandardButtons yesNo = QMessageBox::Yes | QMessageBox::No;
    const QMessageBox::StandardButtons yesNoCancel = yesNo | QMessageBox::Cancel;
    const auto none = QMessageBox::NoButton;
    const struct Case {
        Buttons buttons;
        QMessageBox::StandardButtons shown;
        std::optional<Answer> preselected;  // asked with a default, else a plain message
        Press press;
        Answer answer;
        SB defaultButton;  // NoButton: Qt's own choice, not checked
    } cases[] = {
        // clang-format off
        {Buttons::Ok, QMessageBox::Ok, {}, kEsc, Answer::Ok, none},
        {Buttons::OkCancel, okCancel, {}, space(QMessageBox::Ok), Answer::Ok, none},
        {Buttons::OkCancel, okCancel, {}, space(QMessageBox::Cancel), Answer::Cancel, none},
        {Buttons::OkCancel, okCancel, {}, kEsc, Answer::Cancel, none},
        {Buttons::YesNo, yesNo, {}, space(QMessageBox::Yes), Answer::Yes, none},
        {Buttons::YesNo, yesNo, {}, space(QMessageBox::No), Answer::No, none},
        {Buttons::YesNo, yesNo, {}, kEsc, Answer::No, none},
        {Buttons::YesNo, yesNo, Answer::No, kEnter, Answer::No, QMessageBox::No},
        {Buttons::YesNo, yesNo, Answer::Yes, kEnter, Answer::Yes, QMessageBox::Yes},
        {Buttons::YesNoCancel, yesNoCancel, {}, space(QMessageBox::Yes), Answer::Yes, none},
        {Buttons::YesNoCancel, yesNoCancel, {}, space(QMessageBox::No), Answer::No, none},
        {Buttons::YesNoCancel, yesNoCancel, {}, space(QMessageBox::Cancel), Answer::Cancel, none},
        {Buttons::YesNoCancel, yesNoCancel, {}, kEsc, Answer::Cancel, none},
        {Buttons::YesNoCancel, yesNoCancel, Answer::Cancel, kEnter, Answer::Cancel,
         QMessageBox::Cancel},
        // clang-format on
    };
    QtDialogs dialogs;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        Seen seen;
        pressInNextBox(c.press, seen);
        const Answer answer =
            c.preselected ? dialogs.ask(kTitle, kReset, Icon::Question, c.buttons, *c.preselected)
                          : dialogs.message(kTitle, kReset, Icon::Question, c.buttons);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(seen.buttons, c.shown);
        if (c.defaultButton != QMessageBox::NoButton) {
            EXPECT_EQ(seen.defaultButton, c.defaultButton);
        }
    }
}
}  // namespace
