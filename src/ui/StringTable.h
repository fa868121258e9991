#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A table of numbered texts in the program's text format: UTF-8 lines "number<TAB>text",
// # comments, escapes \n (line break), \t (tab), \\ (backslash). The program's own Italian
// table is compiled in and read through Builtin().
class StringTable {
  public:
    // The program's texts are numbered 0..999, the room each block of the language library
    // keeps for them.
    static constexpr int kNumbers = 1000;
    // A text longer than this is not taken.
    static constexpr int kMaxTextLength = 2048;

    // Lines that do not follow the format, numbers out of range and repeated numbers are
    // left out and described in problems (when given).
    static StringTable Parse(const QByteArray& utf8, QStringList* problems = nullptr);
    static const StringTable& Builtin();

    std::optional<QString> Text(int number) const;
    QList<int> Numbers() const;
    int size() const { return static_cast<int>(texts_.size()); }

  private:
    static QString unescape(QStringView text);

    QHash<int, QString> texts_;
};
