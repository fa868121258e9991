#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMetaProperty>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <cmath>
#include <functional>
#include <limits>

#include "FieldWindow.h"

namespace {

struct Setup {
    double min = 0;
    double max = 0;
    double precision = 0;
    bool disableLimit = false;
};

void Configure(TNumericEdit* field, const Setup& setup) {
    field->SetMinValue(setup.min);
    field->SetMaxValue(setup.max);
    field->SetPrecision(setup.precision);
    field->SetDisableLimit(setup.disableLimit);
}

const Setup kPercent{0, 100, 0};
const Setup kTemperature{-40, 120, 0.5};
const Setup kFree{0, 0, 0};

struct TypingCase {
    const char* what;
    Setup setup;
    const char* start;
    int selectFrom;  // caret position when selectLength is 0
    int selectLength;
    const char* typed;  // '\b' is Backspace
    const char* expected;
};

TEST(NumericEdit, TypedCharactersAreFiltered) {
    const TypingCase cases[] = {
        {"no step: a point is refused", kPercent, "12", 2, 0, ".5", "125"},
        {"minimum 0: a minus is refused", kPercent, "5", 0, 0, "-", "5"},
        {"negative minimum: a minus at the start", kTemperature, "5", 0, 0, "-", "-5"},
        {"a minus after the start is refused", kTemperature, "5", 1, 0, "-", "5"},
        {"a second minus is refused", kTemperature, "-5", 0, 0, "-", "-5"},
        {"a minus replaces a selection holding one", kTemperature, "-5", 0, 2, "-", "-"},
        {"a minus replaces the whole text selected", kTemperature, "37", 0, 2, "-7", "-7"},
        {"fractional step: one point only", kTemperature, "", 0, 0, "1.2.3", "1.23"},
        {"a point replaces a selection holding one", kTemperature, "1.5", 1, 2, ".", "1."},
        {"a point beside a selection without one", kTemperature, "1.5", 2, 1, ".", "1.5"},
        {"whole step: a point is refused", {-40, 120, 1}, "", 0, 0, "3.5", "35"},
        {"a tiny step still takes a point", {0, 0, 0.00001}, "", 0, 0, "0.5", "0.5"},
        {"no limits: a minus", kFree, "7", 0, 0, "-", "-7"},
        {"limits disabled: a minus", {0, 100, 0, true}, "7", 0, 0, "-", "-7"},
        {"letters, signs and a comma are refused", kFree, "", 0, 0, "a1+b,2e ", "12"},
        {"Backspace is taken", kPercent, "123", 3, 0, "\b\b4", "14"},
    };
    FieldWindow w;
    for (const TypingCase& c : cases) {
        Configure(w.a, c.setup);
        ASSERT_TRUE(w.Focus(w.a));
        w.a->setText(c.start);
        if (c.selectLength > 0) {
            w.a->setSelection(c.selectFrom, c.selectLength);
        } else {
            w.a->setCursorPosition(c.selectFrom);
        }
        FieldWindow::Type(c.typed);
        EXPECT_EQ(w.a->text(), c.expected) << c.what;
    }
}

struct EnterCase {
    const char* what;
    Setup setup;
    const char* typed;
    const char* expected;
};

TEST(NumericEdit, EnterClampsRoundsCommitsAndMovesOn) {
    const EnterCase cases[] = {
        {"37.3 on a half step goes up", kTemperature, "37.3", "37.5"},
        {"37.2 on a half step goes down", kTemperature, "37.2", "37"},
        {"above the range stops at the top", kTemperature, "200", "120"},
        {"below the range stops at the bottom", kTemperature, "-50", "-40"},
        {"a tie goes up", {0, 0, 0.25}, "0.125", "0.25"},
        {"a decimal half goes up", {0, 0, 0.1}, "0.15", "0.2"},
        {"rounding to zero never shows -0", kTemperature, "-0.2", "0"},
        {"rpm step of 50, down", {0, 3000, 50}, "1660", "1650"},
        {"rpm step of 50, up", {0, 3000, 50}, "1675", "1700"},
        {"rounding never leaves the range", {0, 101, 3}, "101", "99"},
        {"nor does it below the range", {-101, 0, 3}, "-101", "-99"},
        {"no limits take anything", kFree, "-98765", "-98765"},
        {"disabled limits take anything", {0, 100, 0, true}, "500", "500"},
        {"an emptied field goes back to its value", kPercent, "\b", "10"},
        {"a lone minus goes back to the value", kTemperature, "-", "10"},
    };
    FieldWindow w;
    for (const EnterCase& c : cases) {
        Configure(w.a, c.setup);
        w.a->SetInt(10);
        w.Retype(w.a, c.typed);
        QSignalSpy committed(w.a, &TNumericEdit::committed);
        FieldWindow::Press(Qt::Key_Return);
        EXPECT_EQ(w.a->text(), c.expected) << c.what;
        const double value = QString(c.expected).toDouble();
        EXPECT_EQ(w.a->CommittedValue(), value) << c.what;
        ASSERT_EQ(committed.count(), 1) << c.what;
        EXPECT_EQ(committed.at(0).at(0).toDouble(), value) << c.what;
        EXPECT_EQ(QApplication::focusWidget(), w.b) << c.what;
    }
}

TEST(NumericEdit, EnterWithoutNextFieldSelectsTheValue) {
    FieldWindow w;
    Configure(w.c, kPercent);
    w.c->SetNextControl(nullptr);
    w.Retype(w.c, "42");
    FieldWindow::Press(Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), w.c);
    EXPECT_EQ(w.c->selectedText(), "42");
}

// Whichever road brings the focus, the whole value is selected: a sign typed first replaces
// it instead of being refused in the middle of it.
TEST(NumericEdit, EveryRoadInSelectsTheValueSoTypingReplacesIt) {
    struct Road {
        const char* name;
        std::function<void(FieldWindow&)> go;  // from the outside field to b
    };
    const Road roads[] = {
        {"set by the program", [](FieldWindow& w) { w.b->setFocus(Qt::OtherFocusReason); }},
        {"Tab", [](FieldWindow& w) { w.b->setFocus(Qt::TabFocusReason); }},
        {"Down from a", [](FieldWindow& w) {
             ASSERT_TRUE(w.Focus(w.a));
             FieldWindow::Press(Qt::Key_Down);
         }},
        {"Up from c", [](FieldWindow& w) {
             ASSERT_TRUE(w.Focus(w.c));
             FieldWindow::Press(Qt::Key_Up);
         }},
        {"a click", [](FieldWindow& w) { QTest::mouseClick(w.b, Qt::LeftButton); }},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        FieldWindow w;
        Configure(w.b, kTemperature);
        w.b->SetDouble(0);
        ASSERT_TRUE(w.Focus(w.elsewhere));
        road.go(w);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), w.b);
        EXPECT_EQ(w.b->selectedText(), QStringLiteral("0"));
        FieldWindow::Type(QStringLiteral("-2"));
        EXPECT_EQ(w.b->text(), QStringLiteral("-2"));
    }
}

TEST(NumericEdit, EnterStopsAtTheFieldNotAtTheDefaultButton) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* field = new TNumericEdit(&dialog);
    auto* button = new QPushButton("OK", &dialog);
    button->setDefault(true);
    layout->addWidget(field);
    layout->addWidget(button);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    field->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), field);
    QSignalSpy clicked(button, &QPushButton::clicked);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(NumericEdit, EscapeUndoesTheTyping) {
    FieldWindow w;
    Configure(w.a, kPercent);
    w.a->SetInt(10);
    w.Retype(w.a, "55");
    QSignalSpy committed(w.a, &TNumericEdit::committed);
    FieldWindow::Press(Qt::Key_Escape);
    EXPECT_EQ(w.a->text(), "10");
    EXPECT_EQ(w.a->selectedText(), "10");
    EXPECT_EQ(QApplication::focusWidget(), w.a);
    EXPECT_EQ(committed.count(), 0);
}

struct LeaveCase {
    const char* what;
    bool validation;
    const char* typed;
    const char* expected;
    double value;
};

TEST(NumericEdit, LeavingWithoutEnterRestoresOrCommitsByValidation) {
    const LeaveCase cases[] = {
        {"validation drops what was typed", true, "55", "10", 10},
        {"without validation leaving keeps it", false, "55", "55", 55},
        {"without validation it is still clamped", false, "555", "100", 100},
        {"without validation an empty text is the value", false, "\b", "10", 10},
    };
    FieldWindow w;
    for (const LeaveCase& c : cases) {
        Configure(w.a, kPercent);
        w.a->SetValidation(c.validation);
        w.a->SetInt(10);
        w.Retype(w.a, c.typed);
        QSignalSpy committed(w.a, &TNumericEdit::committed);
        QTest::mouseClick(w.elsewhere, Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), w.elsewhere) << c.what;
        EXPECT_EQ(w.a->text(), c.expected) << c.what;
        EXPECT_EQ(w.a->CommittedValue(), c.value) << c.what;
        EXPECT_EQ(committed.count(), 0) << c.what;  // only Enter commits to the screen
    }
}

TEST(NumericEdit, WindowDeactivationIsNotLeaving) {
    FieldWindow w;
    Configure(w.a, kPercent);
    w.a->SetInt(10);
    w.Retype(w.a, "55");
    // A message box over the screen takes the window's activation, not the field's focus.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w.a, &out);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w.a, &in);
    EXPECT_EQ(w.a->text(), "55");
    EXPECT_EQ(w.a->CommittedValue(), 10);
}

TEST(NumericEdit, EnteringTakesANumberAndNormalisesIt) {
    FieldWindow w;
    Configure(w.a, kTemperature);
    ASSERT_TRUE(w.Focus(w.b));
    w.a->setText("150");
    ASSERT_TRUE(w.Focus(w.a));
    EXPECT_EQ(w.a->text(), "120");
    EXPECT_EQ(w.a->CommittedValue(), 120);

    ASSERT_TRUE(w.Focus(w.b));
    w.a->setText("12.3");
    ASSERT_TRUE(w.Focus(w.a));
    EXPECT_EQ(w.a->text(), "12.5");

    ASSERT_TRUE(w.Focus(w.b));
    w.a->setText("not a number");
    ASSERT_TRUE(w.Focus(w.a));
    EXPECT_EQ(w.a->text(), "12.5");
    EXPECT_EQ(w.a->CommittedValue(), 12.5);
}

struct ReadCase {
    const char* what;
    Setup setup;
    double committed;
    const char* text;
    double getDouble;
    int getInt;
    const char* textAfterGetInt;
};

TEST(NumericEdit, ReadingCorrectsAsEachGetterShould) {
    const ReadCase cases[] = {
        {"above both limits", {10, 100, 0}, 0, "150", 100, 150, "100"},
        {"whole correction needs both limits", kPercent, 0, "150", 100, 150, "150"},
        {"below both limits", {10, 100, 0}, 50, "5", 10, 5, "10"},
        {"step 2: a half goes up, a whole number down", {0, 0, 2}, 0, "7", 8, 7, "6"},
        {"step 0.1 keeps a whole number whole", {0, 0, 0.1}, 0, "3", 3, 3, "3"},
        {"no number: the committed value", kTemperature, 37.5, "abc", 37.5, 37, "37"},
        {"a fraction is no whole number", kFree, 37.5, "12.5", 12.5, 37, "12.5"},
        {"the committed value is cut toward zero", kFree, -7.9, "x", -7.9, -7, "x"},
        {"a whole number beyond int is no whole number", kFree, 5, "99999999999", 99999999999.0, 5,
         "99999999999"},
    };
    FieldWindow w;
    for (const ReadCase& c : cases) {
        Configure(w.b, c.setup);
        w.b->SetDouble(c.committed);
        w.b->setText(c.text);
        EXPECT_EQ(w.b->GetDouble(), c.getDouble) << c.what;
        EXPECT_EQ(w.b->text(), c.text) << c.what << " (GetDouble leaves the text)";
        EXPECT_EQ(w.b->GetInt(), c.getInt) << c.what;
        EXPECT_EQ(w.b->text(), c.textAfterGetInt) << c.what;
    }
}

struct ShowCase {
    const char* what;
    Setup setup;
    bool asInt;
    double value;
    const char* text;
    double committed;
};

TEST(NumericEdit, SettersShowTheValueInTextForm) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const ShowCase cases[] = {
        {"SetInt above the range shows the top", kPercent, true, 500, "100", 100},
        {"SetInt below the range shows the bottom", kPercent, true, -5, "0", 0},
        {"SetInt does not round", {0, 0, 2}, true, 37, "37", 37},
        {"SetDouble rounds to the step", kTemperature, false, 37.3, "37.5", 37.5},
        {"SetDouble outside shows the limit unrounded", {0, 99.9, 1}, false, 150, "99.9", 99.9},
        {"fifteen significant digits", kFree, false, 1.0 / 3, "0.333333333333333",
         0.333333333333333},
        {"large values in exponent form", kFree, false, 1e20, "1e+20", 1e20},
        {"long values cut to fifteen digits", kFree, false, 123456789012345678.0,
         "1.23456789012346e+17", 1.23456789012346e+17},
        {"minus zero shows as zero", kFree, false, -0.0, "0", 0},
        {"not a number changes nothing", kFree, false, nan, "10", 10},
    };
    FieldWindow w;
    for (const ShowCase& c : cases) {
        Configure(w.b, c.setup);
        w.b->SetInt(10);
        if (c.asInt) {
            w.b->SetInt(static_cast<int>(c.value));
        } else {
            w.b->SetDouble(c.value);
        }
        EXPECT_EQ(w.b->text(), c.text) << c.what;
        EXPECT_EQ(w.b->CommittedValue(), c.committed) << c.what;
    }
}

TEST(NumericEdit, CommaLocaleTypesReadsAndShowsCommas) {
    FieldWindow w;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    Configure(w.a, kTemperature);
    w.Retype(w.a, "37.3");
    EXPECT_EQ(w.a->text(), "373");
    w.Retype(w.a, "37,3");
    EXPECT_EQ(w.a->text(), "37,3");
    FieldWindow::Press(Qt::Key_Return);
    EXPECT_EQ(w.a->text(), "37,5");
    EXPECT_EQ(w.a->CommittedValue(), 37.5);
    w.b->setText("1.5");
    EXPECT_EQ(w.b->GetDouble(), 0) << "a point is no separator here";
    w.b->SetDouble(2.25);
    EXPECT_EQ(w.b->text(), "2,25");
}

struct LimitStep {
    int index;
    double x;
};

struct LimitCase {
    const char* what;
    std::vector<LimitStep> steps;
    double min;
    double max;
};

TEST(NumericEdit, SetLimitKeepsTheLimitsInOrder) {
    const LimitCase cases[] = {
        {"a positive bottom before a top is ignored", {{2, 20}}, 0, 0},
        {"top first, then bottom", {{1, 90}, {2, 20}}, 20, 90},
        {"a negative bottom on a fresh field", {{2, -10}}, -10, 0},
        {"a negative top before a bottom is ignored", {{1, -5}}, 0, 0},
        {"bottom first, then a negative top", {{2, -40}, {1, -5}}, -40, -5},
        {"a top below the bottom is ignored", {{1, 90}, {2, 20}, {1, 10}}, 20, 90},
        {"a bottom above the top is ignored", {{1, 90}, {2, 95}}, 0, 90},
        {"equal limits are taken", {{1, 50}, {2, 50}}, 50, 50},
        {"an unknown index is ignored", {{3, 7}, {0, 7}}, 0, 0},
    };
    for (const LimitCase& c : cases) {
        TNumericEdit field;
        for (const LimitStep& step : c.steps) field.SetLimit(step.index, step.x);
        EXPECT_EQ(field.GetLimit(2), c.min) << c.what;
        EXPECT_EQ(field.GetLimit(1), c.max) << c.what;
        EXPECT_EQ(field.GetMinValue(), c.min) << c.what;
        EXPECT_EQ(field.GetMaxValue(), c.max) << c.what;
    }
}

TEST(NumericEdit, AttributesArePropertiesInOrderWithTheirDefaults) {
    TNumericEdit field;
    TNumericEdit other;
    const QMetaObject* meta = field.metaObject();
    const char* names[] = {"Precision", "MaxValue",  "MinValue",    "DisableLimit", "Validation",
                           "DataCode",  "DataIndex", "NextControl", "PrevControl"};
    const QVariant defaults[] = {0.0,
                                 0.0,
                                 0.0,
                                 false,
                                 true,
                                 -1,
                                 -1,
                                 QVariant::fromValue<QWidget*>(nullptr),
                                 QVariant::fromValue<QWidget*>(nullptr)};
    ASSERT_EQ(meta->propertyCount() - meta->propertyOffset(), 9);
    for (int i = 0; i < 9; ++i) {
        const QMetaProperty property = meta->property(meta->propertyOffset() + i);
        EXPECT_STREQ(property.name(), names[i]);
        EXPECT_EQ(property.read(&field), defaults[i]) << names[i];
    }
    EXPECT_EQ(field.text(), "0");
    EXPECT_TRUE(field.setProperty("Precision", 0.5));
    EXPECT_TRUE(field.setProperty("DataCode", 528));
    EXPECT_TRUE(field.setProperty("NextControl", QVariant::fromValue<QWidget*>(&other)));
    EXPECT_EQ(field.GetPrecision(), 0.5);
    EXPECT_EQ(field.GetDataCode(), 528);
    EXPECT_EQ(field.NextControl(), &other);
}

}  // namespace
