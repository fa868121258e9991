#pragma once

#include <QString>

// The outside libraries sit beside the executable. Their names are kept in the Windows form
// the program has always used ("SerQorDL.dll"); this maps them to the platform's file.
class LibraryPath {
  public:
    // "SerQorDL.dll" -> "<folder of the executable>/libSerQorDL.so" on Linux,
    // "<folder>/SerQorDL.dll" on Windows. A name with a folder keeps its folder.
    static QString resolve(const QString& name);
    static QString platformFileName(const QString& name);
};
