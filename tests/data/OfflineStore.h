#pragma once

#include <QSettings>
#include <QTemporaryDir>

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

// A store whose link library was never loaded: the program's empty link, never connected,
// refusing every operation.
struct OfflineStore {
    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
};
