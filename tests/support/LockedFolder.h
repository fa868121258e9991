#pragma once

#include <QString>

// A folder in which nothing can be created or renamed for the object's lifetime (read-only
// bits, or the immutable flag where the test runs with the rights to ignore those bits).
class LockedFolder {
  public:
    explicit LockedFolder(const QString& path);
    ~LockedFolder();
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;
    bool Locked() const { return locked_; }

  private:
    bool writable() const;
    bool setImmutable(bool on) const;

    QString path_;
    bool immutable_ = false;
    bool locked_ = false;
};
