#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <memory>

#include "FieldWindow.h"

namespace {

// The list focused on entry `index` (four entries: zero, one, two, three), chained between c
// and the plain line edit.
struct ListWindow : FieldWindow {
    explicit ListWindow(int index) {
        list->SetNextControl(elsewhere);
        list->setCurrentIndex(index);
        Focus(list);
    }
    int Highlighted() const { return list->view()->currentIndex().row(); }
    void OpenOn(int row) {
        Press(Qt::Key_Return);
        list->view()->setCurrentIndex(list->model()->index(row, 0));
    }
};

struct ClosedKeyCase {
    const char* what;
    int key;
    const char* focused;  // object name of the widget that has the focus afterwards
    int index;
    bool open;
    int commits;
};

TEST(KeyComboBox, KeysWithTheListClosed) {
    const ClosedKeyCase cases[] = {
        {"Left is consumed", Qt::Key_Left, "list", 1, false, 0},
        {"Right is consumed", Qt::Key_Right, "list", 1, false, 0},
        {"Page Up is consumed", Qt::Key_PageUp, "list", 1, false, 0},
        {"Page Down is consumed", Qt::Key_PageDown, "list", 1, false, 0},
        {"a letter does not search", Qt::Key_T, "list", 1, false, 0},
        {"Up goes to the previous field", Qt::Key_Up, "c", 1, false, 0},
        {"Down goes to the next field", Qt::Key_Down, "elsewhere", 1, false, 0},
        {"Enter opens the list and commits nothing", Qt::Key_Return, "list", 1, true, 0},
        {"End picks the last entry and commits it", Qt::Key_End, "list", 3, false, 1},
    };
    for (const ClosedKeyCase& c : cases) {
        ListWindow w(1);
        QSignalSpy committed(w.list, &TKeyComboBox::committed);
        if (c.key == Qt::Key_T) {
            FieldWindow::Type("t");
        } else {
            FieldWindow::Press(c.key);
        }
        EXPECT_EQ(w.list->currentIndex(), c.index) << c.what;
        EXPECT_EQ(w.list->IsListOpen(), c.open) << c.what;
        EXPECT_EQ(committed.count(), c.commits) << c.what;
        ASSERT_NE(QApplication::focusWidget(), nullptr) << c.what;
        if (!c.open) {
            EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focused) << c.what;
        }
    }
}

struct OpenKeyCase {
    const char* what;
    int highlighted;
    int key;
    int expected;
};

TEST(KeyComboBox, KeysWithTheListOpenWrapAround) {
    const OpenKeyCase cases[] = {
        {"Down on the last entry goes to the first", 3, Qt::Key_Down, 0},
        {"Up on the first entry goes to the last", 0, Qt::Key_Up, 3},
        {"Down elsewhere moves down", 1, Qt::Key_Down, 2},
        {"Up elsewhere moves up", 2, Qt::Key_Up, 1},
        {"Left does nothing", 1, Qt::Key_Left, 1},
        {"Right does nothing", 1, Qt::Key_Right, 1},
        {"a letter does not search", 0, Qt::Key_T, 0},
    };
    for (const OpenKeyCase& c : cases) {
        ListWindow w(1);
        QSignalSpy committed(w.list, &TKeyComboBox::committed);
        w.OpenOn(c.highlighted);
        ASSERT_TRUE(w.list->IsListOpen()) << c.what;
        if (c.key == Qt::Key_T) {
            FieldWindow::Type("t");
        } else {
            FieldWindow::Press(c.key);
        }
        EXPECT_TRUE(w.list->IsListOpen()) << c.what;
        EXPECT_EQ(w.Highlighted(), c.expected) << c.what;
        EXPECT_EQ(w.list->currentIndex(), 1) << c.what << " (only a choice changes the entry)";
        EXPECT_EQ(committed.count(), 0) << c.what;
    }
}

TEST(KeyComboBox, PageKeysMoveInTheOpenList) {
    ListWindow w(0);
    w.OpenOn(0);
    FieldWindow::Press(Qt::Key_PageDown);
    EXPECT_TRUE(w.list->IsListOpen());
    EXPECT_GT(w.Highlighted(), 0);
}

TEST(KeyComboBox, EnterInTheOpenListChoosesAndCommits) {
    ListWindow w(0);
    QSignalSpy committed(w.list, &TKeyComboBox::committed);
    FieldWindow::Press(Qt::Key_Return);
    FieldWindow::Press(Qt::Key_Down);
    FieldWindow::Press(Qt::Key_Down);
    FieldWindow::Press(Qt::Key_Return);
    EXPECT_FALSE(w.list->IsListOpen());
    EXPECT_EQ(w.list->currentIndex(), 2);
    EXPECT_EQ(w.list->SavedIndex(), 2);
    ASSERT_EQ(committed.count(), 1);
    EXPECT_EQ(committed.at(0).at(0).toInt(), 2);
    EXPECT_EQ(QApplication::focusWidget(), w.list);

    // The next Enter opens the list again rather than committing once more.
    FieldWindow::Press(Qt::Key_Return);
    EXPECT_TRUE(w.list->IsListOpen());
    EXPECT_EQ(committed.count(), 1);
}

TEST(KeyComboBox, EscapeInTheOpenListGoesBackToTheSavedEntry) {
    ListWindow w(1);
    QSignalSpy committed(w.list, &TKeyComboBox::committed);
    w.OpenOn(1);
    FieldWindow::Press(Qt::Key_Down);
    FieldWindow::Press(Qt::Key_Escape);
    EXPECT_FALSE(w.list->IsListOpen());
    EXPECT_EQ(w.list->currentIndex(), 1);
    EXPECT_EQ(committed.count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), w.list);

    // An entry the program sets (a reload from the store) is the one Escape goes back to.
    w.list->setCurrentIndex(3);
    w.OpenOn(0);
    FieldWindow::Press(Qt::Key_Escape);
    EXPECT_EQ(w.list->currentIndex(), 3);
    EXPECT_EQ(w.list->SavedIndex(), 3);
}

TEST(KeyComboBox, AMousePickIsSavedAndCommitted) {
    ListWindow w(0);
    QSignalSpy committed(w.list, &TKeyComboBox::committed);
    FieldWindow::Press(Qt::Key_Return);
    ASSERT_TRUE(w.list->IsListOpen());
    QAbstractItemView* view = w.list->view();
    const QRect entry = view->visualRect(w.list->model()->index(2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_FALSE(w.list->IsListOpen());
    EXPECT_EQ(w.list->currentIndex(), 2);
    EXPECT_EQ(w.list->SavedIndex(), 2);
    ASSERT_EQ(committed.count(), 1);
    EXPECT_EQ(committed.at(0).at(0).toInt(), 2);

    FieldWindow::Press(Qt::Key_Return);
    FieldWindow::Press(Qt::Key_Up);
    FieldWindow::Press(Qt::Key_Escape);
    EXPECT_EQ(w.list->currentIndex(), 2);
}

TEST(KeyComboBox, EnteringSavesTheEntry) {
    ListWindow w(0);
    ASSERT_TRUE(w.Focus(w.a));
    w.list->setCurrentIndex(2);
    ASSERT_TRUE(w.Focus(w.list));
    EXPECT_EQ(w.list->SavedIndex(), 2);
    EXPECT_FALSE(w.list->IsListOpen());
}

TEST(KeyComboBox, TheWheelTurnsOnlyTheFocusedList) {
    ListWindow w(1);
    QSignalSpy committed(w.list, &TKeyComboBox::committed);
    auto turn = [&] {
        const QPointF at(w.list->width() / 2.0, w.list->height() / 2.0);
        QWheelEvent wheel(at, w.list->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.list, &wheel);
    };
    ASSERT_TRUE(w.Focus(w.a));
    turn();
    EXPECT_EQ(w.list->currentIndex(), 1);
    EXPECT_EQ(committed.count(), 0);

    ASSERT_TRUE(w.Focus(w.list));
    turn();
    EXPECT_EQ(w.list->currentIndex(), 2);
    EXPECT_EQ(committed.count(), 1);
}

TEST(KeyComboBox, EnterNeverReachesTheDefaultButton) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new TKeyComboBox(&dialog);
    auto* button = new QPushButton("OK", &dialog);
    list->addItems({"GPL", "Metano"});
    button->setDefault(true);
    layout->addWidget(list);
    layout->addWidget(button);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    list->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), list);
    QSignalSpy clicked(button, &QPushButton::clicked);
    FieldWindow::Press(Qt::Key_Return);
    ASSERT_TRUE(list->IsListOpen());
    FieldWindow::Press(Qt::Key_Down);
    FieldWindow::Press(Qt::Key_Return);
    EXPECT_FALSE(list->IsListOpen());
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
}

// Turns the rolling list animation on for a scope.
class RollingLists {
  public:
    RollingLists()
        : general_(QApplication::isEffectEnabled(Qt::UI_General)),
          animated_(QApplication::isEffectEnabled(Qt::UI_AnimateCombo)) {
        QApplication::setEffectEnabled(Qt::UI_General, true);
        QApplication::setEffectEnabled(Qt::UI_AnimateCombo, true);
    }
    ~RollingLists() {
        QApplication::setEffectEnabled(Qt::UI_AnimateCombo, animated_);
        QApplication::setEffectEnabled(Qt::UI_General, general_);
    }

  private:
    bool general_;
    bool animated_;
};

TEST(KeyComboBox, AnAnimatedListIsOpenAtOnce) {
    RollingLists rolling;
    // A style whose lists roll open rather than pop up.
    std::unique_ptr<QStyle> style(QStyleFactory::create("Windows"));
    ASSERT_NE(style, nullptr);
    ListWindow w(1);
    w.list->setStyle(style.get());
    QSignalSpy committed(w.list, &TKeyComboBox::committed);
    FieldWindow::Press(Qt::Key_Return);
    EXPECT_TRUE(w.list->IsListOpen());
    EXPECT_EQ(committed.count(), 0);
    FieldWindow::Press(Qt::Key_Down);
    FieldWindow::Press(Qt::Key_Return);
    EXPECT_EQ(w.list->currentIndex(), 2);
    EXPECT_EQ(committed.count(), 1);
}

}  // namespace
