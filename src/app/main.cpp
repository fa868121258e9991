// The program's entry point: build profile, one instance, the outside libraries, the data
// module and the main window, then the message loop.
#include <QApplication>
#include <QDir>

#include "ArchiveRecorder.h"
#include "BuildProfile.h"
#include "ConfigBaseLibrary.h"
#include "Dialogs.h"
#include "Language.h"
#include "LanguageLibrary.h"
#include "ProgramStart.h"
#include "QtDialogs.h"
#include "SingleInstance.h"
#include "TFormMain.h"
#include "TQorGlobalData.h"
#include "TStreamDati.h"

namespace {
// Restores a minimised window and brings it, and any dialog it has open, to the front.
void bringForward(QWidget* window) {
    if (window) {
        if (window->isMinimized()) window->showNormal();
        window->raise();
        window->activateWindow();
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
    qInfo("brought forward by a second start");
}

// Whichever way run() ends, nothing keeps pointing at the libraries freed with it.
struct LibrariesInUse {
    ~LibrariesInUse() {
        Language::current().Attach(nullptr);
        ConfigBaseLibrary::SetCurrent(nullptr);
    }
};

int run(QApplication& app, SingleInstance& instance) {
    // Until the main window exists, a second start brings forward whatever dialog is open.
    auto early = QObject::connect(&instance, &SingleInstance::raiseRequested, &app,
                                  [] { bringForward(nullptr); });
    app.setApplicationDisplayName(BuildProfile::ProductTitle());

    LanguageLibrary languages;
    ConfigBaseLibrary configBase;
    ProgramStart::LoadLibraries(languages, configBase, LanguageLibrary::kDefaultName,
                                ConfigBaseLibrary::kDefaultName);
    ConfigBaseLibrary::SetCurrent(&configBase);
    Language::current().Attach(&languages);
    const LibrariesInUse inUse;

    // The program's settings live as long as the run; the data module and the main screen
    // use them. The data module loads the ECU link library.
    TQorGlobalData settings;
    TStreamDati::LoadSettings(settings);
    TStreamDati::Options options;
    options.settings = &settings;
    TStreamDati data(options);
    // The workshop archive, in the base directory unless the settings name another place; a
    // failure is told and the program goes on without it.
    ArchiveRecorder archive(data);
    archive.Open(settings.Archive(), QDir::currentPath());
    QObject::disconnect(early);
    TFormMain window(data);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window,
                     [&window] { bringForward(&window); });
    window.showMaximized();

    return settings.CanStart() ? app.exec() : 0;
}
}  // namespace

int main(int argc, char** argv) {
    BuildProfile::SetBuildProfile(1024);
    QApplication app(argc, argv);
    QtDialogs dialogs;
    ScopedDialogs installDialogs(dialogs);

    SingleInstance instance(BuildProfile::ProductTitle());
    if (!instance.Claim()) return 0;  // the running instance was asked to come forward

    try {
        return run(app, instance);
    } catch (const std::exception& error) {
        return ProgramStart::Report(error);
    }
}
