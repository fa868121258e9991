#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>

#include "FieldWindow.h"

namespace {

struct BlockedCase {
    const char* what;
    std::function<void(FieldWindow&)> block;  // makes b unable to take the focus
};

TEST(FieldChain, TheWalkPassesOverFieldsThatCannotTakeTheFocus) {
    const BlockedCase cases[] = {
        {"disabled", [](FieldWindow& w) { w.b->setEnabled(false); }},
        {"hidden", [](FieldWindow& w) { w.b->hide(); }},
        {"on a disabled panel",
         [](FieldWindow& w) {
             auto* panel = new QWidget(&w.window);
             w.b->setParent(panel);
             panel->show();
             w.b->show();
             panel->setEnabled(false);
         }},
    };
    for (const BlockedCase& c : cases) {
        FieldWindow w;
        c.block(w);
        w.Retype(w.a, "5");
        FieldWindow::Press(Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), w.c) << c.what << ": Enter";
        FieldWindow::Press(Qt::Key_Up);
        EXPECT_EQ(QApplication::focusWidget(), w.a) << c.what << ": Up";
        FieldWindow::Press(Qt::Key_Down);
        EXPECT_EQ(QApplication::focusWidget(), w.c) << c.what << ": Down";
    }
}

TEST(FieldChain, UpAndDownStepAndStayWhenThereIsNoNeighbour) {
    FieldWindow w;
    w.Retype(w.a, "42");
    FieldWindow::Press(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), w.a);
    EXPECT_EQ(w.a->text(), "42") << "Up is consumed, not a commit";
    FieldWindow::Press(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), w.b);
    FieldWindow::Press(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), w.a);
}

TEST(FieldChain, TheListWalksOverADisabledNumericField) {
    FieldWindow w;
    w.c->setEnabled(false);
    ASSERT_TRUE(w.Focus(w.list));
    FieldWindow::Press(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), w.b);
}

TEST(FieldChain, AnotherKindOfControlEndsTheWalk) {
    FieldWindow w;
    w.elsewhere->setEnabled(false);
    w.elsewhere->setProperty("probe", 1);
    w.a->SetNextControl(w.elsewhere);
    EXPECT_EQ(w.a->GetNextControl(), nullptr);
    w.Retype(w.a, "42");
    FieldWindow::Press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w.a);
    EXPECT_EQ(w.a->selectedText(), "42");

    w.elsewhere->setEnabled(true);
    EXPECT_EQ(w.a->GetNextControl(), w.elsewhere) << "a plain control that can take the focus";
}

TEST(FieldChain, ALoopOfFieldsThatCannotTakeTheFocusEnds) {
    FieldWindow w;
    // a -> b -> c -> b ... and back the same way, b and c both disabled.
    w.c->SetNextControl(w.b);
    w.a->SetPrevControl(w.c);
    w.c->SetPrevControl(w.b);
    w.b->SetPrevControl(w.c);
    w.b->setEnabled(false);
    w.c->setEnabled(false);
    EXPECT_EQ(w.a->GetNextControl(), nullptr);
    EXPECT_EQ(w.a->GetPrevControl(), nullptr);
    EXPECT_EQ(w.b->GetNextControl(), nullptr);
    w.Retype(w.a, "42");
    FieldWindow::Press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w.a);
    EXPECT_EQ(w.a->selectedText(), "42");
    FieldWindow::Press(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), w.a);

    // A ring that comes back to where it started finds the starting field itself.
    w.c->SetNextControl(w.a);
    EXPECT_EQ(w.a->GetNextControl(), w.a);
    // The list walks the same way.
    w.list->SetNextControl(w.b);
    w.b->SetNextControl(w.c);
    w.c->SetNextControl(w.b);
    EXPECT_EQ(w.list->GetNextControl(), nullptr);
}

TEST(FieldChain, ADeletedNeighbourIsNone) {
    FieldWindow w;
    delete w.b;
    w.b = nullptr;
    EXPECT_EQ(w.a->GetNextControl(), nullptr);
    EXPECT_EQ(w.a->NextControl(), nullptr);
}

}  // namespace
