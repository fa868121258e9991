#include "ProgramStart.h"

#include "BuildProfile.h"
#include "ConfigBaseLibrary.h"
#include "Dialogs.h"
#include "LanguageLibrary.h"

const char* const ProgramStart::kMissingFilesText =
    "It is not possible to start the program,\n      very important files missing.\n"
    "Reinstall the program and tray again.";

void ProgramStart::LoadLibraries(LanguageLibrary& languages, ConfigBaseLibrary& configBase,
                                 const QString& languagesName, const QString& configBaseName) {
    languages.Load(languagesName);  // without it the program speaks its own Italian
    if (!configBase.Load(configBaseName)) {
        languages.Unload();
        throw Error(kMissingFilesText);
    }
}

int ProgramStart::Report(const std::exception& error) {
    Dialogs::current().error(BuildProfile::ProductTitle(), QString::fromUtf8(error.what()));
    return 1;
}
