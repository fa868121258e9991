#include "ArchiveSearchWords.h"

namespace {
constexpr int kJoinedUpTo = 32;  // longer texts (descriptions) are not run together
}

QStringList ArchiveSearchWords::of(const QString& text) {
    QStringList words;
    QString word;
    QString joined;
    const QString folded = text.toCaseFolded();
    auto flush = [&] {
        if (!word.isEmpty() && words.size() < kMaxWords && !words.contains(word))
            words << word.left(kMaxWordLength);
        word.clear();
    };
    for (const QChar c : folded) {
        if (c.isLetterOrNumber()) {
            word += c;
            joined += c;
        } else {
            flush();
        }
    }
    flush();
    if (words.size() > 1 && text.size() <= kJoinedUpTo && !words.contains(joined)) words << joined;
    return words;
}

QString ArchiveSearchWords::upperBound(const QString& prefix) {
    // Above every character a word can hold: terms are compared byte by byte (UTF-8), and
    // U+10FFFF is the largest code point.
    return prefix + QString::fromUcs4(U"\U0010FFFF", 1);
}
