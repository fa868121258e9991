#include "AcquisitionReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>

#include "AcquisitionFormat.h"

namespace {
// A line, its line end and one byte more: enough to tell a line that is too long.
constexpr qint64 kLineBuffer = AcquisitionFormat::kMaxLine + 3;

// The fields of one line, taken as the C scanf family takes "%d" and "%f": each one after
// any white space, as far as it reads as a number; what follows the last is left alone.
class Fields {
  public:
    explicit Fields(QByteArrayView line) : p_(line.begin()), end_(line.end()) {}

    bool Literal(QByteArrayView text) {
        if (!QByteArrayView(p_, end_).startsWith(text)) return false;
        p_ += text.size();
        return true;
    }
    bool Integer(int32_t& value) {
        if (!startNumber()) return false;
        const auto [ptr, ec] = std::from_chars(p_, end_, value);
        if (ec != std::errc()) return false;
        p_ = ptr;
        return true;
    }
    bool Real(double& value) {
        if (!startNumber()) return false;
        float single = 0;
        const auto [ptr, ec] = std::from_chars(p_, end_, single, std::chars_format::general);
        if (ec != std::errc() || !std::isfinite(single)) return false;
        p_ = ptr;
        value = single;
        return true;
    }

  private:
    // Skips white space and a plus sign, which from_chars does not take ("+-1" stays bad).
    bool startNumber() {
        while (p_ != end_ && (*p_ == ' ' || (*p_ >= '\t' && *p_ <= '\r'))) ++p_;
        if (p_ == end_ || *p_ != '+') return true;
        ++p_;
        return p_ == end_ || *p_ != '-';
    }

    const char* p_;
    const char* end_;
};

// The next line without its line end; false when it is longer than the reader takes or the
// device fails. At the end of the data the line is empty.
bool nextLine(QIODevice& in, char (&buffer)[kLineBuffer], QByteArrayView& line) {
    const qint64 n = in.readLine(buffer, kLineBuffer);
    if (n < 0) {
        line = {};
        return in.atEnd();
    }
    qint64 length = n;
    const bool ended = length > 0 && buffer[length - 1] == '\n';
    if (ended) --length;
    if (length > 0 && buffer[length - 1] == '\r') --length;
    if (length > AcquisitionFormat::kMaxLine || (!ended && !in.atEnd())) return false;
    line = QByteArrayView(buffer, length);
    return true;
}

// "Ver. %*d %d": the literal, a number not looked at, the version.
bool readHeader(QByteArrayView line, int& version) {
    Fields fields(line);
    int32_t skipped = 0, value = 0;
    if (!fields.Literal("Ver.") || !fields.Integer(skipped) || !fields.Integer(value)) return false;
    version = value;
    return true;
}

bool readRecord(QByteArrayView line, int columns, AcquisitionRecord& record) {
    Fields fields(line);
    if (!fields.Integer(record.time) || !fields.Integer(record.rpm)) return false;
    for (int i = 0; i < columns - 2; ++i) {
        const auto& column = AcquisitionFormat::RealColumns()[static_cast<size_t>(i)];
        if (!fields.Real(record.*column.value)) return false;
    }
    return true;
}
}  // namespace

AcquisitionReader::Result AcquisitionReader::Read(const QString& path, Recording& recording) {
    recording = {};
    if (!QFileInfo::exists(path)) return Result::Missing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Result::Invalid;
    return Read(file, recording);
}

AcquisitionReader::Result AcquisitionReader::Parse(const QByteArray& text, Recording& recording) {
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    return Read(buffer, recording);
}

AcquisitionReader::Result AcquisitionReader::Read(QIODevice& in, Recording& recording) {
    recording = {};
    Recording read;
    char buffer[kLineBuffer];
    QByteArrayView line;
    if (!nextLine(in, buffer, line) || !readHeader(line, read.version)) return Result::Invalid;
    if (!nextLine(in, buffer, line)) return Result::Invalid;  // the headings, not looked at
    const int columns = AcquisitionFormat::Columns(read.version);
    // The end is tested before each line: a last line break ends the file like its absence.
    while (!in.atEnd()) {
        AcquisitionRecord record;
        if (!nextLine(in, buffer, line) || !readRecord(line, columns, record))
            return Result::Invalid;
        read.records.push_back(record);
    }
    recording = std::move(read);
    return Result::Read;
}
