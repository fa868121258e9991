#include "IniFile.h"

#include "LegacyText.h"
#include "Scrambler.h"

namespace {
constexpr char kLineEnd[] = "\r\n";

// Control characters but tab become blanks: a line break would start a line of its own, and
// a file with control bytes is not taken as configuration text when it is loaded again.
QString OneLine(QString text) {
    for (QChar& c : text)
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return text;
}
}  // namespace

QString IniFile::IndexKey(const QString& section, const QString& key) {
    return section.trimmed().toCaseFolded() + QChar(u'\n') + key.trimmed().toCaseFolded();
}

void IniFile::Parse(QByteArrayView bytes) {
    sections_.assign(1, Section{});
    sectionIndex_.clear();
    index_.clear();
    modified_ = false;
    endsWithLineBreak_ = bytes.isEmpty() || bytes.endsWith('\n');
    // Decided line by line only when the whole text is not UTF-8.
    const bool utf8 = LegacyText::IsValidUtf8(bytes);
    // A line ends with LF, CR LF or a CR alone, so that no value ever holds a line break.
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
        const QByteArrayView line = bytes.sliced(start, end - start);
        AddLine(utf8 ? QString::fromUtf8(line) : LegacyText::Decode(line));
        start = end + 1;
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++start;
    }
}

void IniFile::AddLine(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.contains(QLatin1Char(']'))) {
        Section section;
        section.name = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1).trimmed();
        section.header = text;
        const QString folded = section.name.toCaseFolded();
        if (!sectionIndex_.contains(folded)) sectionIndex_.insert(folded, sections_.size());
        sections_.push_back(std::move(section));
        return;
    }
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    const bool comment = trimmed.startsWith(QLatin1Char(';'));
    const bool named = sections_.size() > 1;
    if (equals < 0 || comment || !named || text.left(equals).trimmed().isEmpty()) {
        sections_.back().lines.push_back(Line{text, {}, {}, false});
        return;
    }
    AddEntry(sections_.size() - 1,
             Line{text, text.left(equals).trimmed(), text.mid(equals + 1).trimmed(), false});
}

void IniFile::AddEntry(qsizetype sectionNumber, Line line) {
    Section& section = sections_[sectionNumber];
    const qsizetype at = section.lastEntry + 1;
    const QString indexKey = IndexKey(section.name, line.key);
    if (!index_.contains(indexKey)) index_.insert(indexKey, Where{sectionNumber, at});
    section.lines.insert(section.lines.begin() + at, std::move(line));
    section.lastEntry = at;
}

QByteArray IniFile::ToBytes() const {
    QByteArray out;
    for (const Section& section : sections_) {
        if (!section.header.isNull()) out += section.header.toUtf8() + kLineEnd;
        for (const Line& line : section.lines) {
            const QString text =
                line.changed ? line.key + QLatin1Char('=') + line.value : line.text;
            out += text.toUtf8() + kLineEnd;
        }
    }
    return out;
}

bool IniFile::Load(const QString& fileName) {
    const auto bytes = Scrambler::ReadWholeFile(fileName, kMaxSize);
    if (!bytes) return false;
    Parse(*bytes);
    return true;
}

bool IniFile::Save(const QString& fileName) const {
    return Scrambler::WriteWholeFile(fileName, ToBytes());
}

std::optional<QString> IniFile::Value(const QString& section, const QString& key) const {
    const auto found = index_.constFind(IndexKey(section, key));
    if (found == index_.cend()) return std::nullopt;
    return sections_[found->section].lines[found->line].value;
}

std::vector<std::pair<QString, QString>> IniFile::Entries() const {
    std::vector<std::pair<QString, QString>> out;
    out.reserve(static_cast<size_t>(index_.size()));
    for (const Where& where : index_)
        out.emplace_back(sections_[where.section].name,
                         sections_[where.section].lines[where.line].key);
    return out;
}

void IniFile::SetValue(const QString& section, const QString& key, const QString& value) {
    if (sections_.empty()) sections_.assign(1, Section{});
    const QString clean = OneLine(value).trimmed();
    modified_ = true;
    const auto found = index_.constFind(IndexKey(section, key));
    if (found != index_.cend()) {
        Line& line = sections_[found->section].lines[found->line];
        line.value = clean;
        line.changed = true;
        return;
    }
    const QString name = OneLine(section).trimmed();
    auto number = sectionIndex_.constFind(name.toCaseFolded());
    if (number == sectionIndex_.cend()) {
        Section added;
        added.name = name;
        added.header = QLatin1Char('[') + name + QLatin1Char(']');
        number = sectionIndex_.insert(name.toCaseFolded(), sections_.size());
        sections_.push_back(std::move(added));
    }
    AddEntry(*number, Line{{}, OneLine(key).trimmed(), clean, true});
}
