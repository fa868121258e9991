#pragma once

#include <QLocale>

// A default locale for the lifetime of a scope; the one found comes back afterwards, even
// when the test ends early.
class ScopedLocale {
  public:
    explicit ScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(previous_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

  private:
    QLocale previous_;  // the default in force at construction
};
