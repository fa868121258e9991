#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "Dialogs.h"

class TStreamDati;
class WaitView;

// The connect and disconnect commands: open the link, identify the ECU, check that it
// belongs to this build, and load its configuration into the store (or, for an ECU that
// asks for initialisation, write a base configuration into it). Messages are titled with the
// caller's caption and carry the codes C01 (link or write), C02 (identity), C03 (another
// customer or model).
class EcuConnection {
  public:
    enum class Result {
        Cancelled,      // the save question was cancelled; nothing changed
        Loaded,         // every parameter read from the ECU
        Initialised,    // the base configuration written into an ECU that asked for it
        NoLink,         // C01: the link did not open
        NotIdentified,  // C02
        Incompatible,   // C03
        WriteFailed,    // C01: initialising the ECU failed
        ReadFailed,     // reading the configuration failed
    };
    using WaitFactory = std::function<std::unique_ptr<WaitView>()>;

    explicit EcuConnection(TStreamDati& data);

    // The caption messages are titled with (the main screen's).
    void SetTitle(std::function<QString()> title) { title_ = std::move(title); }
    // The save command that a yes to the save question runs first.
    void SetSaveCommand(std::function<void()> save) { save_ = std::move(save); }
    // Makes the wait dialog of the connect command; none when not set.
    void SetWaitFactory(WaitFactory factory) { waitFactory_ = std::move(factory); }

    // No at once when the store holds nothing unsaved; otherwise asks (yes/no/cancel) and
    // runs the save command on yes. A yes whose save left the store modified answers Cancel.
    Dialogs::Answer AskSaveChanges();
    // The ECU's model must be a build model; a blank ECU (customer 253) is given the build's
    // customer code. Compatible when its customer's mask meets the build's mask.
    bool CheckCompatibility();
    Result Connect();
    void Disconnect();
    // The close query: false only when the save question is cancelled.
    bool CanClose() { return AskSaveChanges() != Dialogs::Answer::Cancel; }

    // The texts of the failures, as shown.
    static QString LinkFailureText();
    static QString IdentityFailureText();
    static QString IncompatibleText();
    // What to do when the port refused this user: join the serial ports' group, log in again.
    static QString PortDeniedText();
    // The warning of a transfer on a disturbed line, percent of its replies asked again.
    static QString DisturbedLineText(int percent);

  private:
    QString title() const;
    void setIdentityDefaults();
    void loadBaseDefaults();
    bool identify();
    Result load(WaitView* wait);
    Result initialise(WaitView* wait, int32_t status);

    TStreamDati& data_;
    std::function<QString()> title_;
    std::function<void()> save_;
    WaitFactory waitFactory_;
};
