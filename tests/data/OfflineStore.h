#pragma once

#include "ScriptedDialogs.h"
#include "TStreamDati.h"
#include "TemporarySettings.h"
#include "VirtualClock.h"

// A store whose link library was never loaded: the program's empty link, never connected,
// refusing every operation.
struct OfflineStore {
    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
};
