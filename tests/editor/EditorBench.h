#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>

#include "ConfigBaseLibrary.h"
#include "Language.h"
#include "LoopbackEcu.h"
#include "ScriptedDialogs.h"
#include "TFormConfig.h"
#include "TFormMain.h"
#include "TStreamDati.h"
#include "TemporarySettings.h"
#include "VirtualClock.h"

// Virtual time, the scripted user and settings of their own; the program's own texts.
struct EditorShell {
    EditorShell() { Language::current().Attach(nullptr); }
    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
};

// The main screen and its editor on the program's data module, talking through the real
// link code to a virtual ECU in virtual time, with the base-configuration library loaded.
// The editor's refresh runs in virtual time too: its timer is stopped once the editor is
// open and the test calls each tick.
class EditorBench {
  public:
    static inline const QRect kScreen{0, 0, 800, 600};

    explicit EditorBench(sim::VirtualEcuOptions options = {}) : ecu(shell.clock, options) {
        EXPECT_TRUE(base.Load()) << base.LoadError().toStdString();
        previousBase_ = ConfigBaseLibrary::Current();
        ConfigBaseLibrary::SetCurrent(&base);
        data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {});
        main = std::make_unique<TFormMain>(data, kScreen);
        main->ActionConnettiExecute();
        EXPECT_NE(data.link().IsConnected(), 0);
        shell.dialogs.clear();
        ecu.clearTrace();
    }
    ~EditorBench() {
        main.reset();
        ConfigBaseLibrary::SetCurrent(previousBase_);
    }

    // The store reads the ECU again, after a test changed the ECU behind its back.
    void Reload() {
        EXPECT_TRUE(data.Transfer(TStreamDati::kReadEcu));
        ecu.clearTrace();
    }

    // Enter on "CONFIGURA VETTURA", the first entry of the main screen. What the opening
    // itself sends (the options the editor follows) is left out of the trace.
    TFormConfig& OpenEditor() {
        QTest::keyClick(main.get(), Qt::Key_Return);
        TFormConfig& editor = *main->FormConfig();
        editor.Timer1->stop();
        QApplication::setActiveWindow(&editor);
        QApplication::processEvents();
        ecu.clearTrace();
        return editor;
    }

    // Where the keyboard goes: the open list, else the focused control. Without a window
    // manager nothing gives the editor the keyboard back after a dialog: the bench does.
    static QWidget* KeyTarget() {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup->focusWidget() ? popup->focusWidget() : popup;
        if (!QApplication::activeWindow() && QApplication::activeModalWidget()) {
            QApplication::setActiveWindow(QApplication::activeModalWidget());
            QApplication::processEvents();
        }
        return QApplication::focusWidget();
    }
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = KeyTarget();
        ASSERT_NE(target, nullptr) << "no widget has the keyboard";
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
    static void Type(const QString& characters) {
        for (QChar ch : characters) QTest::keyClick(KeyTarget(), ch.toLatin1());
    }
    // Select all, type, Enter: a value typed over the field's own.
    static void Enter(const QString& characters) {
        Press(Qt::Key_A, Qt::ControlModifier);
        Type(characters);
        Press(Qt::Key_Return);
    }
    // Enter opens the list, Down moves the highlight, Enter chooses.
    static void Choose(int downs) {
        Press(Qt::Key_Return);
        for (int i = 0; i < downs; ++i) Press(Qt::Key_Down);
        Press(Qt::Key_Return);
    }
    static QString Focused() {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

    std::vector<std::string> Writes() const {
        std::vector<std::string> out;
        for (const std::string& line : ecu.trace())
            if (line.rfind("Write", 0) == 0) out.push_back(line);
        return out;
    }

    EditorShell shell;
    ConfigBaseLibrary base;
    LoopbackEcu ecu;
    TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
    std::unique_ptr<TFormMain> main;

  private:
    ConfigBaseLibrary* previousBase_ = nullptr;
};
