#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

#include "Language.h"
#include "ScriptedDialogs.h"
#include "TStreamDati.h"
#include "VirtualClock.h"

// Settings kept in a temporary folder, so no test touches the user's settings.
class TemporarySettings {
  public:
    TemporarySettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }

  private:
    QTemporaryDir dir_;
};

// Virtual time, the scripted user, settings of its own and a data module; the language
// state goes back to the program's own table afterwards.
struct ShellFixture {
    ShellFixture() { Language::current().Attach(nullptr); }
    ~ShellFixture() { Language::current().Attach(nullptr); }

    // A data module without a link library: the empty link, never connected.
    std::unique_ptr<TStreamDati> makeOfflineData() {
        return std::make_unique<TStreamDati>(TStreamDati::Options{.loadLinkLibrary = false});
    }

    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
};
