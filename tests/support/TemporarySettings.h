#pragma once

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

// Settings kept in a temporary folder for the object's lifetime, so no test touches the
// user's settings: the user scope, and an empty system scope (the installed defaults the user
// scope falls back to) that a test may fill through systemFolder().
class TemporarySettings {
  public:
    TemporarySettings() {
        QDir(dir_.path()).mkdir(QStringLiteral("system"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, systemFolder());
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, systemFolder());
    }
    bool isValid() const { return dir_.isValid(); }
    QString systemFolder() const { return dir_.filePath(QStringLiteral("system")); }

  private:
    QTemporaryDir dir_;
};
