#pragma once

#include <QString>
#include <QStringList>

// The words the search finds a text by: runs of letters and digits folded to lower case, and,
// for a short text, all of them run together ("AB 123 CD" is found by "ab123", "123" and "cd").
class ArchiveSearchWords {
  public:
    static constexpr int kMaxWords = 40;
    static constexpr int kMaxWordLength = 64;

    static QStringList of(const QString& text);
    // The bounds of every word that starts with `prefix`: lower <= word < upper.
    static QString upperBound(const QString& prefix);
};
