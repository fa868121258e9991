#pragma once

#include <QColor>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "CalibrationReadout.h"
#include "LiveDataReader.h"

class TStreamDati;

// The automatic calibration as the screen runs it, without widgets. The calibration itself
// runs inside the ECU: this starts it (command 19), asks its progress on every tick (command
// 20), turns the reply into the technician's instructions or into why it cannot go on, and
// when the ECU reports the last step closes it (command 18), reconnects and reads every
// parameter back. Closing while it runs aborts it (command 21). Meanwhile every tick shows
// the engine values the technician needs. The screen draws Display whenever the procedure
// says it changed.
class CalibrationProcedure {
  public:
    enum class State { Waiting = 0, Running = 1, Finished = 2 };

    static constexpr int kLastStep = 12;
    static constexpr int kStepCount = 13;
    static constexpr int kClosingProgress = 95;
    static constexpr int kRestartPauseMs = 3000;  // after command 18 or 21
    static constexpr int kFinishPauseMs = 1000;

    // The error bits of the progress reply, in the order their texts are appended.
    static constexpr std::array<uint8_t, 5> kErrorBits = {0x04, 0x08, 0x01, 0x02, 0x10};

    // The procedure's texts in the current language, loaded once.
    struct Texts {
        QString linkLost;       // no live data: the ECU does not answer
        QString startRefused;   // the ECU did not take command 19
        QString queryFailed;    // command 20 failed
        QString waiting;        // steps 0 and 1
        QString targetSpeed;    // step 2, with the speed to hold
        QString calibrating;    // steps 3 to 9
        QString checking;       // step 10
        QString transferring;   // steps 11 and 12
        QString finished;       // after the re-read
        QString rereadFailed;   // the re-read after completion failed
        QString cannotProceed;  // heads the error texts
        std::array<QString, kErrorBits.size()> errors;

        static Texts Load(int targetSpeed);
    };

    // What the screen shows of the procedure.
    struct Display {
        CalibrationReadout::Texts live;
        QString operation;
        bool operationVisible = false;
        int progress = 0;
        bool progressVisible = false;
        bool promptVisible = true;
        bool noteVisible = false;
        bool exitFocused = false;
    };

    struct Hooks {
        std::function<QString()> caption;  // title of the procedure's messages
        std::function<void()> changed;     // Display changed: draw it now
    };

    // Loads the texts with the target speed the store holds ("GiriAutotaratura") and fixes
    // the lambda reference and probe kind.
    CalibrationProcedure(TStreamDati& data, Hooks hooks);

    // The 150 ms tick: the engine values, then, while running, the ECU's progress.
    void Tick();
    // Enter: starts the calibration in state Waiting; nothing otherwise.
    void Start();
    // Asks the ECU how far it is and follows (state Running only).
    void Query();
    // The screen closes: a running calibration is aborted and the link restored.
    void Close();

    State GetState() const { return state_; }
    // A command, a message or a wait of the procedure is in progress: a tick now would nest
    // link calls.
    bool Busy() const { return busy_; }
    const Display& GetDisplay() const { return display_; }

    // The instruction for a step, nothing for a step outside 0..12.
    static std::optional<QString> StepText(const Texts& texts, int step);
    // cannotProceed followed by the text of every set bit, in table order, no separator.
    static QString ErrorText(const Texts& texts, uint8_t bits);
    // step x 100 / 13, as the bar shows it (0..100).
    static int Progress(int step);
    // Green when the mixture reads lean for the probe, red otherwise (and when equal).
    static QColor LambdaColour(double volts, double reference, bool inverted);

  private:
    bool command(int code, uint8_t (&bytes)[2], int32_t status);
    void follow(int step);
    void stopOnErrors(uint8_t errors);
    void complete();
    void reloadAfterRestart();
    void show() const;
    void error(const QString& text) const;

    TStreamDati& data_;
    Texts texts_;
    Hooks hooks_;
    CalibrationReadout readout_;
    LiveDataReader reader_;
    State state_ = State::Waiting;
    Display display_;
    bool busy_ = false;
};
