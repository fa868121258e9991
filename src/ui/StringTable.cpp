#include "StringTable.h"

#include <QFile>
#include <algorithm>

QString StringTable::unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next;
    }
    return out;
}

StringTable StringTable::Parse(const QByteArray& utf8, QStringList* problems) {
    StringTable table;
    const auto complain = [problems](int line, const QString& what) {
        if (problems) *problems << QStringLiteral("line %1: %2").arg(line).arg(what);
    };
    const QList<QByteArray> lines = utf8.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = QString::fromUtf8(lines[i]);
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int number = tab > 0 ? line.left(tab).toInt(&ok) : -1;
        const QString text = unescape(QStringView(line).mid(tab + 1));
        if (!ok || number < 0 || number >= kNumbers) {
            complain(i + 1,
                     QStringLiteral("not a number in 0..%1 followed by a tab").arg(kNumbers - 1));
        } else if (text.size() > kMaxTextLength) {
            complain(i + 1, QStringLiteral("text longer than %1 characters").arg(kMaxTextLength));
        } else if (table.texts_.contains(number)) {
            complain(i + 1, QStringLiteral("number %1 given twice").arg(number));
        } else {
            table.texts_.insert(number, text);
        }
    }
    return table;
}

const StringTable& StringTable::Builtin() {
    static const StringTable table = [] {
        QFile file(QStringLiteral(":/strings/it.txt"));
        if (!file.open(QIODevice::ReadOnly)) qFatal("the program's string table is missing");
        return Parse(file.readAll());
    }();
    return table;
}

std::optional<QString> StringTable::Text(int number) const {
    const auto it = texts_.constFind(number);
    if (it == texts_.constEnd()) return std::nullopt;
    return *it;
}

QList<int> StringTable::Numbers() const {
    QList<int> numbers = texts_.keys();
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}
