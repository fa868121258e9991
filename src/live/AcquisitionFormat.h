#pragma once

#include <QByteArray>
#include <QString>
#include <array>

#include "AcquisitionRecord.h"

// The text of an acquisition file, shared by its writer and its reader: Windows line ends,
// fields separated by one tab, numbers with a point whatever the locale. Line 1 is the header
// "Ver. 1 V real time data ECUX41, <start>", V being 2 with a second lambda probe and 1
// without; line 2 the column headings; then one record per line. The file does not end with
// a line break: each line after the second starts with the one that ends the line before.
class AcquisitionFormat {
  public:
    static constexpr int kMaxLine = 199;  // longest line the reader takes, line end excluded
    static constexpr char kLineEnd[] = "\r\n";
    static constexpr int kColumnsOneProbe = 8;
    static constexpr int kColumnsTwoProbes = 11;

    // How a column after the first two is written and read.
    struct Column {
        double AcquisitionRecord::*value;
        bool whole;  // written as an integer (truncated), read as a real like the others
    };
    // Columns 3 to 11, in file order.
    static const std::array<Column, 9>& RealColumns();

    // 2 with a second lambda probe, else 1.
    static int Version(bool secondProbe) { return secondProbe ? 2 : 1; }
    // Columns per record of a file of this version: 8 for version 1, 11 for any other.
    static int Columns(int version) { return version == 1 ? kColumnsOneProbe : kColumnsTwoProbes; }

    // Line 1, cut to kMaxLine bytes (never inside a character) so the reader always takes it.
    static QByteArray Header(int version, const QString& started);
    // Line 2.
    static QByteArray Headings(int version);
    // A record line without its line break.
    static QByteArray Record(const AcquisitionRecord& record, int version);
    // A real number as a standard stream writes it by default: at most six significant
    // digits, no trailing zeros, exponent form only for very small or large magnitudes.
    static void AppendReal(QByteArray& out, double value);
    static void AppendInteger(QByteArray& out, int64_t value);
};
