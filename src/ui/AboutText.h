#pragma once

#include <QChar>
#include <QString>

// The texts of the about box that do not need the box.
class AboutText {
  public:
    static constexpr int kVersionWordMaximum = 11;

    // The program's file version, compiled in from the project version ("1.0.1.20").
    static QString FileVersion();
    // word + " " + file version (or "not available" when there is none) + " " + edition.
    static QString VersionLine(const QString& word, const QString& fileVersion, QChar edition);
    // The line under the version.
    static QString Comment();
};
