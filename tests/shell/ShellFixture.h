#pragma once

#include <memory>

#include "Language.h"
#include "ScriptedDialogs.h"
#include "TStreamDati.h"
#include "TemporarySettings.h"
#include "VirtualClock.h"

// Virtual time, the scripted user, settings of its own and a data module; the language
// state goes back to the program's own table afterwards.
struct ShellFixture {
    ShellFixture() { Language::current().Attach(nullptr); }
    ~ShellFixture() { Language::current().Attach(nullptr); }

    // A data module without a link library: the empty link, never connected.
    std::unique_ptr<TStreamDati> makeOfflineData() {
        return std::make_unique<TStreamDati>(TStreamDati::Options{.loadLinkLibrary = false});
    }

    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
};
