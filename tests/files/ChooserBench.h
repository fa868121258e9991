#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

#include "FullDisk.h"
#include "LockedFolder.h"
#include "LoopbackEcu.h"
#include "ScriptedDialogs.h"
#include "TFormFile.h"
#include "TFormMain.h"
#include "TStreamDati.h"
#include "TemporarySettings.h"
#include "VirtualClock.h"

// The program as the technician meets it: the main screen started in a workshop folder of
// the test's own, over a data module that talks through the real link code to a virtual ECU
// (or to no ECU at all), in virtual time.
class ChooserBench {
  public:
    static constexpr int kSaveEntry = 3;  // "SALVA CONFIGURAZIONE"
    static constexpr int kLoadEntry = 4;  // "CARICA CONFIGURAZIONE"

    // ecu: the virtual ECU's options; none: no ECU is connected.
    explicit ChooserBench(std::optional<sim::VirtualEcuOptions> ecu);
    ~ChooserBench();

    // Picks the main screen's entry by the arrow keys and runs it with Enter. act gets the
    // chooser once it is open and must close it. False when no chooser opened.
    bool RunEntry(int entry, const std::function<void(TFormFile&)>& act);
    // Saves the configuration in memory under name, by keys, through the save entry.
    void SaveAs(const QString& name);

    QString Workshop() const { return workshop_.path(); }
    QString Lpg(const QString& name) const;
    QByteArray Bytes(const QString& path) const;
    // The decoded text of a configuration file, as the bench tool prints it.
    QString Decoded(const QString& path) const;

    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    std::unique_ptr<LoopbackEcu> ecu;
    std::unique_ptr<TStreamDati> data;  // after ecu: destroyed first, while the link lives
    std::unique_ptr<TFormMain> form;

  private:
    QTemporaryDir workshop_;
    QString startDirectory_;
};

// Key presses as the technician makes them: to the widget that has the keyboard.
void Type(QWidget* widget, const QString& text);
void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A double click as the mouse makes it: press, release, double click, release.
void DoubleClick(QWidget* widget, QPoint at);
// Replaces the text of the name field by keys.
void TypeName(TFormFile& chooser, const QString& name);
// The captions of the chooser's list, in order.
QStringList Captions(const TFormFile& chooser);
