#pragma once

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

// Temporary copies go to a folder of the test's own while it lives, so that the test can see
// that none is left while other test programs run beside it.
class PrivateTemp {
  public:
    PrivateTemp() : old_(qgetenv("TMPDIR")) { qputenv("TMPDIR", dir_.path().toLocal8Bit()); }
    ~PrivateTemp() { qputenv("TMPDIR", old_); }
    PrivateTemp(const PrivateTemp&) = delete;
    PrivateTemp& operator=(const PrivateTemp&) = delete;

    QStringList Copies() const { return QDir(dir_.path()).entryList(QDir::Files); }

  private:
    QTemporaryDir dir_;
    QByteArray old_;
};
