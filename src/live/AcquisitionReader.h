#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "AcquisitionRecord.h"

class QIODevice;

// Reads an acquisition file back: the header's version V (the second number after "Ver."),
// the headings line skipped unread, then every record, 8 columns when V is 1 and 11 for any
// other V. Blanks and tabs both separate fields; what follows the last column is not looked
// at; reals are taken in single precision. A line of more than 199 characters, a bad header,
// a short or malformed record, a number out of range or not finite all make the whole file
// invalid. The file may end with a line break or without one.
class AcquisitionReader {
  public:
    enum class Result { Read, Missing, Invalid };

    struct Recording {
        int version = 0;
        std::vector<AcquisitionRecord> records;
    };

    // Missing when there is no such file; Invalid leaves recording empty.
    static Result Read(const QString& path, Recording& recording);
    static Result Read(QIODevice& in, Recording& recording);
    static Result Parse(const QByteArray& text, Recording& recording);
};
