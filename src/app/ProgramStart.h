#pragma once

#include <QString>
#include <stdexcept>

class ConfigBaseLibrary;
class LanguageLibrary;

// The steps of the start that can fail, kept out of main() so that tests reach them.
class ProgramStart {
  public:
    static const char* const kMissingFilesText;

    // Raised by a start-up step; shown by Report and the program exits.
    class Error : public std::runtime_error {
      public:
        using std::runtime_error::runtime_error;
    };

    // The language library is optional; the base-configuration library with both of its
    // exports is not: without it Error(kMissingFilesText) is raised and neither is kept.
    static void LoadLibraries(LanguageLibrary& languages, ConfigBaseLibrary& configBase,
                              const QString& languagesName, const QString& configBaseName);

    // Shows a failed start to the user (error icon, product title) and gives the exit code.
    static int Report(const std::exception& error);
};
