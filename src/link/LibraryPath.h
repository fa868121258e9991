#pragma once

#include <QString>

// The outside libraries sit beside the executable, or, installed, in the program's private
// folder (kPrivateFolder, relative to the executable's folder). Their names are kept in the
// Windows form the program has always used ("SerQorDL.dll"); this maps them to the platform's
// file.
class LibraryPath {
  public:
    static const QString kPrivateFolder;

    // "SerQorDL.dll" -> "<folder of the executable>/libSerQorDL.so" on Linux,
    // "<folder>/SerQorDL.dll" on Windows. A name with a folder keeps its folder.
    static QString resolve(const QString& name);
    // The same for a program in programFolder: beside it when the file is there, else in its
    // private folder when the file is there, else beside it.
    static QString resolveIn(const QString& programFolder, const QString& name);
    static QString platformFileName(const QString& name);
};
