#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

// The INI text of a configuration, as the workshops' files are written. Sections and keys
// match without regard to case; of two equal keys the first wins; blanks around names and
// values are dropped; lines without "=" (the "DECRYPTED_MLTP_FILE" line among them) and
// ";" comments carry no key. Keys keep their spelling, spaces included ("N cilindri"), and
// a rewrite keeps every line, the order of sections and keys, and the untouched lines as
// they were. QSettings does not fit: it escapes such keys and keeps "General" for itself.
// Lines are read as UTF-8, or as Windows-1252 when not valid UTF-8, and written as UTF-8
// with CR LF.
class IniFile {
  public:
    static constexpr qint64 kMaxSize = 1024 * 1024;

    void Parse(QByteArrayView bytes);
    QByteArray ToBytes() const;
    // Load: false when the file is unreadable or larger than kMaxSize. Save is atomic.
    bool Load(const QString& fileName);
    bool Save(const QString& fileName) const;

    std::optional<QString> Value(const QString& section, const QString& key) const;
    // Replaces the first equal key, or adds the key after the last key of the first equal
    // section, or adds the section at the end. Control characters but tab (line breaks among
    // them) become blanks, so a value never makes a line of its own.
    void SetValue(const QString& section, const QString& key, const QString& value);

    bool IsModified() const { return modified_; }
    int EntryCount() const { return static_cast<int>(index_.size()); }
    // The section and key of each entry that Value finds, as spelled in the text.
    std::vector<std::pair<QString, QString>> Entries() const;
    bool EndsWithLineBreak() const { return endsWithLineBreak_; }

  private:
    struct Line {
        QString text;  // as read; rebuilt from key and value once changed
        QString key;   // empty for lines that carry no key
        QString value;
        bool changed = false;
    };
    struct Section {
        QString name;  // the part before the first header has no name and no header line
        QString header;
        std::vector<Line> lines;
        qsizetype lastEntry = -1;
    };
    struct Where {
        qsizetype section;
        qsizetype line;
    };

    static QString IndexKey(const QString& section, const QString& key);
    void AddLine(const QString& text);
    void AddEntry(qsizetype section, Line line);

    std::vector<Section> sections_;
    QHash<QString, qsizetype> sectionIndex_;
    QHash<QString, Where> index_;
    bool modified_ = false;
    bool endsWithLineBreak_ = true;
};
