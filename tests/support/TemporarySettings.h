#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Settings of the user scope kept in a temporary folder for the object's lifetime, so no
// test touches the user's settings.
class TemporarySettings {
  public:
    TemporarySettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }
    bool isValid() const { return dir_.isValid(); }

  private:
    QTemporaryDir dir_;
};
