#pragma once

// The main-state codes (window message 0x8190): what the data module and the link tell the
// main screen, and what screens ask of it.
namespace MainState {
enum Code : int {
    kLinkDown = 0,
    kLinkUp = 1,
    kDescriptionChanged = 2,
    kConnect = 3,  // a screen asks the main screen to connect
    kSave = 4,     // a screen asks the main screen to save to a file
    kFuelChanged = 5,
};
}  // namespace MainState
