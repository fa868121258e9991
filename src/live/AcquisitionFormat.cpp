#include "AcquisitionFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
constexpr char kHeadingsOneProbe[] = "TEMPO\tGIRI\tLAMBDA\tINJ.\tINJ.BNZ\tPRESS.\tT.RID.\tT.MOT.";
constexpr char kHeadingsSecondProbe[] = "\tLAMBDA2\tINJ2.\tINJ.BNZ2";
}  // namespace

const std::array<AcquisitionFormat::Column, 9>& AcquisitionFormat::RealColumns() {
    static const std::array<Column, 9> columns = {{
        {&AcquisitionRecord::lambda1, false},
        {&AcquisitionRecord::gasTime1, false},
        {&AcquisitionRecord::petrolTime1, false},
        {&AcquisitionRecord::pressure, false},
        {&AcquisitionRecord::reducerTemp, true},
        {&AcquisitionRecord::engineTemp, true},
        {&AcquisitionRecord::lambda2, false},
        {&AcquisitionRecord::gasTime2, false},
        {&AcquisitionRecord::petrolTime2, false},
    }};
    return columns;
}

QByteArray AcquisitionFormat::Header(int version, const QString& started) {
    QByteArray line = "Ver. 1 " + QByteArray::number(version) + " real time data ECUX41, ";
    // The start is for people only; a long date text loses its end, never a whole character.
    for (const QChar* c = started.cbegin(); c != started.cend(); ++c) {
        const int length = c->isHighSurrogate() && c + 1 != started.cend() ? 2 : 1;
        const QByteArray bytes = QStringView(c, length).toUtf8();
        if (line.size() + bytes.size() > kMaxLine) break;
        line += bytes;
        c += length - 1;
    }
    return line;
}

QByteArray AcquisitionFormat::Headings(int version) {
    QByteArray line(kHeadingsOneProbe);
    if (version != 1) line += kHeadingsSecondProbe;
    return line;
}

QByteArray AcquisitionFormat::Record(const AcquisitionRecord& record, int version) {
    QByteArray line;
    line.reserve(128);
    AppendInteger(line, record.time);
    line += '\t';
    AppendInteger(line, record.rpm);
    const int reals = Columns(version) - 2;
    for (int i = 0; i < reals; ++i) {
        const Column& column = RealColumns()[static_cast<size_t>(i)];
        const double value = record.*column.value;
        line += '\t';
        if (column.whole)  // clamped: a real read from a file may lie beyond any integer
            AppendInteger(line, static_cast<int64_t>(std::clamp(std::trunc(value), -1e18, 1e18)));
        else
            AppendReal(line, value);
    }
    return line;
}

void AcquisitionFormat::AppendReal(QByteArray& out, double value) {
    if (value == 0) value = 0;  // no "-0"
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    out.append(text, end.ptr - text);
}

void AcquisitionFormat::AppendInteger(QByteArray& out, int64_t value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value);
    out.append(text, end.ptr - text);
}
