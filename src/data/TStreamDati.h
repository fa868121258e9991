#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <memory>

#include "ConfigSource.h"
#include "DataContext.h"
#include "DefaultValues.h"
#include "DisturbedLine.h"
#include "EcuSession.h"
#include "EcuVariable.h"
#include "MainState.h"
#include "ParameterStore.h"
#include "StoreListener.h"
#include "TQorConnectEcu.h"
#include "TQorGlobalData.h"
#include "TemperatureCurve.h"
#include "TransferFlags.h"
#include "ValueAccess.h"

// The data module: owns the ECU link component and the settings component, holds the
// working copy of every ECU parameter and moves it between defaults, configuration
// sources and the ECU. Every screen reaches the ECU and the parameters through it. Its
// workers (ValueAccess, TransferEngine) see only the DataContext it hands them.
class TStreamDati : public QObject {
    Q_OBJECT

  public:
    // Transfer flags.
    static constexpr int kLoadDefaults = TransferFlag::kLoadDefaults;
    static constexpr int kReadEcu = TransferFlag::kReadEcu;
    static constexpr int kSaveFile = TransferFlag::kSaveFile;
    static constexpr int kWriteEcu = TransferFlag::kWriteEcu;

    static constexpr int kMaxDescription = ParameterStore::kMaxDescription;
    static constexpr int kMaxSerialNumber = ParameterStore::kMaxSerialNumber;
    static constexpr int kMaxFileName = 260;
    static constexpr int kReadyStatus = EcuVariable::kReady;
    static constexpr int kReconnectMs = EcuSession::kReadyTimeoutMs;
    static constexpr int kNoValue = ValueAccess::kNoValue;  // GetValue of an unknown code

    struct Options {
        bool loadLinkLibrary = true;  // false: the caller hands a link over with UseLink
        QString linkLibrary = QString::fromLatin1(TQorConnectEcu::kDefaultDllName);
        bool loadSettings = true;            // of the module's own settings
        TQorGlobalData* settings = nullptr;  // the entry point's; else the module has its own
    };

    explicit TStreamDati(QObject* parent = nullptr);
    explicit TStreamDati(const Options& options, QObject* parent = nullptr);
    ~TStreamDati() override;

    // The settings under this build's key, loaded; a failure is reported and the defaults hold.
    static void LoadSettings(TQorGlobalData& settings);

    TQorConnectEcu& QorConnectEcu() { return *connect_; }
    TQorGlobalData& QorGlobalData() { return *settings_; }
    // The raw link, for the live-data poll alone (polling mode and ReadBlock); configuration
    // work goes through the operations below.
    IEcuLink& link() { return connect_->link(); }

    // The ECU operations of the screens.
    bool IsConnected() { return ecu_.IsConnected(); }
    // A new connection: a disturbed line is told again.
    bool OpenLink() {
        disturbedLine_.Reset();
        return linkUp(ecu_.OpenLink());
    }
    bool Connect() { return linkUp(ecu_.Connect()); }
    void Disconnect() { ecu_.Disconnect(); }
    // The ECU status (variable 1); 0 when it cannot be read.
    int32_t ReadStatus() { return ecu_.ReadStatus(); }
    // Sets the status bit that asks the ECU to initialise itself at the next connection;
    // announces BeforeReset first.
    bool RequestReset();
    // Writes status back with that request cleared.
    bool ClearResetRequest(int32_t status);
    // The ECU's serial number, "SerialNumberNotInEcu" where it holds none.
    QString ReadEcuSerialNumber(bool* read = nullptr) { return ecu_.ReadSerialNumber(read); }

    // Moves the groups of groupMask as the flags say; false when any step failed (the
    // reason in LastError). resourceId > 0 names a base configuration.
    bool Transfer(int flags, const QString& fileName = {}, int resourceId = 0, int groupMask = 0xFF,
                  bool showProgress = false);
    QString LastError() const { return lastError_; }
    QString FileName() const { return fileName_; }
    void SetFileName(const QString& name) { fileName_ = name.left(kMaxFileName); }

    // Configuration source (file or base configuration); its INI primitives are Source()'s.
    bool IsSourceOpen() const { return source_.IsOpen(); }
    ConfigSource& Source() { return source_; }
    void OpenFileSource(bool forReading);
    void OpenResourceSource(int number);
    void CloseFileSource();
    void CloseResourceSource();
    // The configuration in the store as the INI text the save command writes into a file
    // named fileName, before scrambling; nothing is written and the link is not used. Empty
    // while a transfer's source is open.
    QByteArray ConfigurationText(const QString& fileName = {});

    // Who hears of the setters' writes and of the moments a configuration changes hands;
    // none by default. Announce tells it of a moment (the screens' roads call it).
    void SetListener(StoreListener* listener) { ecu_.SetListener(listener); }
    void Announce(StoreMoment moment);

    // Scrambling key; a key over 49 characters is refused and the old one stays.
    bool SetKey(const QString& key);
    QString Key() const { return key_; }
    bool WriteThrough() const { return writeThrough_; }
    int GrandTotal() const { return grandTotal_; }
    int MovedBytes() const { return moved_; }

    // The store.
    ParameterStore& Store() { return store_; }
    const ParameterStore& Store() const { return store_; }
    bool IsModified() const { return store_.modified(); }
    void SetModified(bool on) { store_.setModified(on); }
    int32_t BaseTempi() const { return store_.tick(); }

    // Value access by parameter code.
    double GetValue(uint32_t code);
    int SetValue(int64_t code, double value);
    double GetElement(uint32_t code, int index);
    int SetElement(uint32_t code, int index, double value);

    // Options of "Flag1" / "Flag2".
    int GetOption(int option) const { return store_.option(option); }
    bool SetOption(int option, bool on);

    // Temperature curves.
    const TemperatureCurve& GasCurve() const { return gasCurve_; }
    const TemperatureCurve& EngineCurve() const { return engineCurve_; }
    void ChooseGasCurve() { context_.ChooseGasCurve(); }  // by "TipoSensoreTemperaturaGas"
    // From the store with option 10, else the built-in one.
    void ChooseEngineCurve() { context_.ChooseEngineCurve(); }
    // The ten references: element 0 is 0, element 9 is 255, the others the code of degrees.
    bool SetGasReference(int element, double degrees);
    bool SetEngineReference(int element, double degrees);

    // Level sensor by list position (LevelSensor): the code of the position; positions 0 to
    // 2 also set their four references. False when a write failed.
    bool SetLevelSensorType(int position);
    // The references of level sensor position 0, 1 or 2, as shown.
    static std::vector<int32_t> LevelReferences(int position) {
        return DefaultValues::LevelReferences(position);
    }
    // One level reference as shown: 256 and above are ignored; an inverted sensor keeps
    // 255 minus the value.
    bool SetLevelSensorReference(int index, int32_t shown);
    // The rpm signal type, bit 6 of variable 20 (set: a weak signal). Stored only when the
    // ECU took it; the official flag stays as it is.
    bool SetRpmSignal(bool weak);
    // One cell of the K map and one zone correction (a signed byte), each kept only when
    // the ECU took it.
    bool SetKMapCell(int row, int column, int32_t value);
    bool SetZoneCorrection(int zone, int column, int32_t value);
    // One time of the default injection-time table, in milliseconds.
    bool SetDefaultInjectionTime(int line, int column, double ms);

    // Description (28 characters in the ECU header) and serial number (20).
    bool SetDescription(const QString& text);
    // Character i of text as the ECU holds it: one byte, '?' for what Latin-1 cannot hold,
    // 0 past the end.
    static int32_t LatinCode(const QString& text, int i) {
        return ParameterStore::LatinCode(text, i);
    }
    QString GetDescription() const { return store_.description(); }
    bool SetSerialNumber(const QString& text);
    // The serial number just read from the ECU, into the store only: the ECU already holds it.
    void KeepSerialNumber(const QString& text);
    QString GetSerialNumber() const { return store_.serialNumber(); }
    bool SetOfficial(bool on) { return ecu_.SetOfficial(on); }
    bool IsOfficial() const { return store_.official(); }
    // kind 1 "DescrizAuto", 2 "Euro", 3 "Motore", 4 "Centralina", 5 "Cambio".
    bool SetVehicleText(int kind, const QString& text);

    // Identity: customer code, model code and two more bytes.
    bool ReadIdentity() { return ecu_.ReadIdentity(); }
    void SetIdentityDefaults(int model);
    bool WriteCustomerCode(int code) { return ecu_.WriteCustomerCode(code); }
    int Identity(int index) const { return store_.identity().at(static_cast<size_t>(index)); }

    bool Reconnect(int timeoutMs = kReconnectMs) { return linkUp(ecu_.Reconnect(timeoutMs)); }
    // A command with length bytes, the reply coming back in them (the calibration's 18-21).
    bool SendCommand(int32_t command, uint8_t* bytes, int32_t status, int32_t length) {
        return ecu_.SendCommand(command, bytes, status, length);
    }
    bool WaitReady(int timeoutMs) { return ecu_.WaitReady(timeoutMs); }

    // Milliseconds and ECU timer counts at the store's BaseTempi.
    int32_t TimeToRaw(double ms) const;
    double RawToTime(int32_t raw) const;

    // Clears the official flag of a configuration marked official (setters call it).
    void ClearOfficial() { ecu_.ClearOfficial(); }

    // Sent, not posted: the receivers have handled the code when this returns.
    void SendMainState(int code, int wParam = 0) { emit mainState(code, wParam); }

  signals:
    // Transfer progress (0x8191): a percentage, or an increment when increment is set.
    void progress(int value, bool increment);
    // Main-state changes (0x8190), posted: code 0 the link lost its connection by itself (the
    // adapter pulled), 1 connected again after that, 2 description changed, 5 fuel changed
    // (wParam: the option's bit before the change).
    void mainState(int code, int wParam);
    // A transfer with the ECU had more than DisturbedLine::kWarnAbovePercent of its replies
    // asked for again (percent: their share); once per connection, after the transfer.
    void lineDisturbed(int percent);

  private:
    using SerialCodes = std::array<int32_t, kMaxSerialNumber>;
    static SerialCodes serialCodes(const QString& text);
    void storeSerialNumber(const SerialCodes& codes);
    bool writeReference(int variable, int row, int element, double degrees,
                        const TemperatureCurve& curve);
    void rederiveGasTemperatures();
    void rederiveEngineTemperatures();
    void postMainState(int code, int wParam);
    // After a loss the link did not ask for, and at the next connection: posts code 0 or 1,
    // whichever the link is in when it is delivered, once per change.
    void postLinkState();
    bool linkUp(bool connected);
    bool runTransfer(int flags, const QString& fileName, int resourceId, int groupMask,
                     bool showProgress);

    static std::unique_ptr<TQorGlobalData> ownSettings(bool load);

    std::unique_ptr<TQorGlobalData> ownSettings_;
    TQorGlobalData* settings_;
    std::unique_ptr<TQorConnectEcu> connect_;
    ParameterStore store_;
    TemperatureCurve gasCurve_;
    TemperatureCurve engineCurve_;
    ConfigSource source_;
    QString key_;
    QString fileName_;
    EcuSession ecu_;
    DataContext context_;
    std::unique_ptr<ValueAccess> values_;
    QString lastError_;
    bool writeThrough_ = false;
    int grandTotal_ = 0;
    int moved_ = 0;
    bool lossReported_ = false;  // code 0 emitted, no 1 since
    DisturbedLine disturbedLine_;
};
