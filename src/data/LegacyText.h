#pragma once

#include <QByteArrayView>
#include <QString>

// Texts from files: UTF-8 when the bytes are valid UTF-8, else Windows-1252, the code page
// of the older Windows tools whose files the workshops still keep.
class LegacyText {
  public:
    static QString Decode(QByteArrayView bytes);
    static bool IsValidUtf8(QByteArrayView bytes);
    static QString DecodeWindows1252(QByteArrayView bytes);
};
