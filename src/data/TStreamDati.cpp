#include "TStreamDati.h"

#include <QScopeGuard>

#include "BuildProfile.h"
#include "Catalogue.h"
#include "LevelSensor.h"
#include "OptionBits.h"
#include "TimeBase.h"
#include "TransferEngine.h"
#include "TransferError.h"
#include "ValueAccess.h"

namespace {
constexpr int kReferenceCount = 10;

QString programKey() { return QStringLiteral("\\Software\\") + BuildProfile::RegistrySubkey(); }
}  // namespace

TStreamDati::TStreamDati(QObject* parent) : TStreamDati(Options{}, parent) {}

TStreamDati::TStreamDati(const Options& options, QObject* parent)
    : QObject(parent),
      ownSettings_(options.settings ? nullptr : ownSettings(options.loadSettings)),
      settings_(options.settings ? options.settings : ownSettings_.get()),
      connect_(std::make_unique<TQorConnectEcu>(options.loadLinkLibrary, options.linkLibrary)),
      ecu_(*connect_, store_),
      context_{store_,
               ecu_,
               source_,
               fileName_,
               gasCurve_,
               engineCurve_,
               [this](int percent) { emit progress(percent, false); }},
      values_(std::make_unique<ValueAccess>(context_)) {
    SetKey(BuildProfile::ScrambleKey());
    writeThrough_ = true;
    grandTotal_ = Catalogue::grandTotal();
    // The store never holds anything but a configuration: the defaults, "Standard".
    TransferEngine defaults(context_, kLoadDefaults, Group::kAll, false);
    defaults.MoveRows();
    moved_ = defaults.Moved();
    store_.setModified(false);
    // The library calls this on the thread that noticed, maybe inside a link call: posted.
    connect_->SetLinkLostHandler([this] { postLinkState(); });
}

// The link goes before the settings are written back (members go in reverse order).
TStreamDati::~TStreamDati() = default;

void TStreamDati::LoadSettings(TQorGlobalData& settings) {
    settings.SetStrKey(programKey());
    settings.LoadStrKeyOrWarn(BuildProfile::ProductTitle());
}

std::unique_ptr<TQorGlobalData> TStreamDati::ownSettings(bool load) {
    auto settings = std::make_unique<TQorGlobalData>();
    settings->SetStrKey(programKey());
    if (load) settings->LoadStrKeyOrWarn(BuildProfile::ProductTitle());
    return settings;
}

// ---- transfer and source ----

bool TStreamDati::Transfer(int flags, const QString& fileName, int resourceId, int groupMask,
                           bool showProgress) {
    if ((flags & (kReadEcu | kWriteEcu)) == 0)
        return runTransfer(flags, fileName, resourceId, groupMask, showProgress);
    const auto before = connect_->GetReplyCounts();
    const bool done = runTransfer(flags, fileName, resourceId, groupMask, showProgress);
    // Told whatever the transfer's result: it explains a slow or a failed one alike.
    if (const auto percent = disturbedLine_.Check(before, connect_->GetReplyCounts()))
        emit lineDisturbed(*percent);
    return done;
}

bool TStreamDati::runTransfer(int flags, const QString& fileName, int resourceId, int groupMask,
                              bool showProgress) {
    lastError_.clear();
    const bool wasModified = IsModified();
    bool opened = false;
    try {
        if (flags & (kLoadDefaults | kSaveFile)) {
            if (resourceId > 0) {
                OpenResourceSource(resourceId);
                opened = true;
            } else if (!fileName.isEmpty()) {
                // A longer name is refused, never cut: cut, it would name another file.
                if (fileName.size() > kMaxFileName)
                    throw TransferError(QString::fromUtf8((flags & kSaveFile)
                                                              ? ConfigSource::kWriteFailed
                                                              : ConfigSource::kReadFailed));
                SetFileName(fileName);
                OpenFileSource((flags & kSaveFile) == 0);
                opened = true;
            }
        }
        TransferEngine engine(context_, flags, groupMask, showProgress);
        const auto counted = qScopeGuard([&] { moved_ = engine.Moved(); });
        engine.Run();
        if (opened) resourceId > 0 ? CloseResourceSource() : CloseFileSource();
        return true;
    } catch (const TransferError& error) {
        lastError_ = error.text();
        // A failed transfer never writes its source back: the file keeps what it held.
        if (opened) source_.CloseResource();
        // Nor does a failed save pass for a saved configuration.
        if (flags & kSaveFile) store_.setModified(wasModified);
        return false;
    }
}

QByteArray TStreamDati::ConfigurationText(const QString& fileName) {
    if (source_.IsOpen()) return {};
    const QString kept = fileName_;
    fileName_ = fileName;
    source_.OpenText();
    // The save command's own rows, without its link sequence or the modified flag.
    TransferEngine engine(context_, kSaveFile, Group::kAll, false);
    engine.MoveRows();
    QByteArray text = source_.IniText();
    source_.CloseResource();
    fileName_ = kept;
    return text;
}

void TStreamDati::Announce(StoreMoment moment) {
    if (StoreListener* listener = ecu_.Listener()) listener->MomentReached(moment);
}

void TStreamDati::OpenFileSource(bool forReading) { source_.OpenFile(fileName_, forReading, key_); }

void TStreamDati::OpenResourceSource(int number) { source_.OpenResource(number, key_); }
void TStreamDati::CloseFileSource() { source_.CloseFile(); }
void TStreamDati::CloseResourceSource() { source_.CloseResource(); }

bool TStreamDati::SetKey(const QString& key) {
    if (key.size() > BuildProfile::kMaxKeyLength) return false;
    key_ = key;
    return true;
}

// ---- value access ----

double TStreamDati::GetValue(uint32_t code) { return values_->GetValue(code); }
int TStreamDati::SetValue(int64_t code, double value) { return values_->SetValue(code, value); }
double TStreamDati::GetElement(uint32_t code, int index) {
    return values_->GetElement(code, index);
}
int TStreamDati::SetElement(uint32_t code, int index, double value) {
    return values_->SetElement(code, index, value);
}

// Posted, as a window message: receivers handle it once the change is done and read the
// store as it then is.
void TStreamDati::postMainState(int code, int wParam) {
    QMetaObject::invokeMethod(
        this, [this, code, wParam] { emit mainState(code, wParam); }, Qt::QueuedConnection);
}

void TStreamDati::postLinkState() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            // The state the link is in when the notice arrives; nothing when already told.
            const bool up = IsConnected();
            if (up != lossReported_) return;
            lossReported_ = !up;
            emit mainState(up ? MainState::kLinkUp : MainState::kLinkDown, 0);
        },
        Qt::QueuedConnection);
}

bool TStreamDati::linkUp(bool connected) {
    if (connected && lossReported_) postLinkState();
    return connected;
}

// ---- options ----

bool TStreamDati::SetOption(int option, bool on) {
    const auto bit = OptionBits::Of(option);
    if (!bit) return false;
    if (option == 1) postMainState(MainState::kFuelChanged, GetOption(1));
    int32_t words[2] = {store_.value(Catalogue::kFlags, 0), store_.value(Catalogue::kFlags, 1)};
    words[bit->word] = on ? (words[bit->word] | bit->mask) : (words[bit->word] & ~bit->mask);
    const int32_t old[2] = {store_.value(Catalogue::kFlags, 0), store_.value(Catalogue::kFlags, 1)};
    if (!ecu_.WriteVariable(EcuVariable::kOptionFlags, old, words, 2)) return false;
    store_.set(Catalogue::kFlags, 0, words[0]);
    store_.set(Catalogue::kFlags, 1, words[1]);
    store_.setModified(true);
    ClearOfficial();
    if (option == 9) rederiveGasTemperatures();
    if (option == 10) rederiveEngineTemperatures();
    return true;
}

// ---- temperature curves ----

bool TStreamDati::writeReference(int variable, int row, int element, double degrees,
                                 const TemperatureCurve& curve) {
    store_.setModified(true);
    if (element < 0 || element >= kReferenceCount) return false;
    const int32_t code = element == 0                     ? 0
                         : element == kReferenceCount - 1 ? 255
                                                          : curve.ToCode(degrees);
    if (!ecu_.WriteElement(static_cast<uint32_t>(variable), element, store_.value(row, element),
                           code))
        return false;
    store_.set(row, element, code);
    ClearOfficial();
    return true;
}

bool TStreamDati::SetGasReference(int element, double degrees) {
    return writeReference(EcuVariable::kGasReferences, Catalogue::kGasReferences, element, degrees,
                          gasCurve_);
}

bool TStreamDati::SetEngineReference(int element, double degrees) {
    return writeReference(EcuVariable::kEngineReferences, Catalogue::kEngineReferences, element,
                          degrees, engineCurve_);
}

namespace {
// The references in whole degrees of the curve in force, the end elements as they are.
std::array<double, 10> referencesInDegrees(const std::vector<int32_t>& codes,
                                           const TemperatureCurve& curve) {
    std::array<double, 10> degrees{};
    for (size_t i = 0; i < degrees.size(); ++i)
        degrees[i] = (i == 0 || i == degrees.size() - 1)
                         ? codes[i]
                         : static_cast<int>(curve.ToDegrees(codes[i]) + 0.5);
    return degrees;
}
}  // namespace

void TStreamDati::rederiveGasTemperatures() {
    const double changeover = GetValue(EcuVariable::kGasChangeover);
    const auto references =
        referencesInDegrees(store_.values(Catalogue::kGasReferences), gasCurve_);
    ChooseGasCurve();
    SetValue(EcuVariable::kGasChangeover, changeover);
    for (int e = 0; e < kReferenceCount; ++e)
        SetGasReference(e, references[static_cast<size_t>(e)]);
}

void TStreamDati::rederiveEngineTemperatures() {
    const double changeover = GetValue(EcuVariable::kEngineChangeover);
    const double calibration = GetValue(EcuVariable::kCalibrationTemperature);
    const auto references =
        referencesInDegrees(store_.values(Catalogue::kEngineReferences), engineCurve_);
    ChooseEngineCurve();
    SetValue(EcuVariable::kEngineChangeover, changeover);
    SetValue(EcuVariable::kCalibrationTemperature, calibration);
    for (int e = 0; e < kReferenceCount; ++e)
        SetEngineReference(e, references[static_cast<size_t>(e)]);
}

// ---- level sensor and injection times ----

bool TStreamDati::SetLevelSensorType(int position) {
    store_.setModified(true);
    const int32_t code = LevelSensor::CodeOf(position);
    if (code < 0 || !ecu_.WriteValue(EcuVariable::kLevelSensorType,
                                     store_.value(Catalogue::kLevelSensorType), code))
        return false;
    store_.set(Catalogue::kLevelSensorType, 0, code);
    ClearOfficial();
    bool ok = true;
    const std::vector<int32_t> references = DefaultValues::LevelReferences(position);
    for (size_t i = 0; i < references.size(); ++i)
        ok = SetLevelSensorReference(static_cast<int>(i), references[i]) && ok;
    return ok;
}

bool TStreamDati::SetLevelSensorReference(int index, int32_t shown) {
    store_.setModified(true);
    if (index < 0 || index >= Catalogue::row(Catalogue::kLevelReferences).elements) return false;
    if (shown < 0 || shown > 255) return false;
    const int32_t code = LevelSensor::Stored(shown, store_.value(Catalogue::kLevelSensorType));
    if (!ecu_.WriteElement(EcuVariable::kLevelReferences, index,
                           store_.value(Catalogue::kLevelReferences, index), code))
        return false;
    store_.set(Catalogue::kLevelReferences, index, code);
    ClearOfficial();
    return true;
}

bool TStreamDati::SetRpmSignal(bool weak) {
    const int32_t old = store_.value(Catalogue::kIgnition);
    const int32_t value =
        weak ? (old | EcuVariable::kWeakSignalBit) : (old & ~EcuVariable::kWeakSignalBit);
    if (!ecu_.WriteValue(EcuVariable::kIgnition, old, value)) return false;
    store_.set(Catalogue::kIgnition, 0, value);
    store_.setModified(true);
    return true;
}

bool TStreamDati::SetKMapCell(int row, int column, int32_t value) {
    store_.setModified(true);
    ClearOfficial();
    const CatalogueRow& map = Catalogue::row(Catalogue::kKMap);
    if (row < 0 || row > store_.kRows() || column < 0 || column >= store_.kColumns()) return false;
    if (value < 0 || value > 255) return false;
    const int element = row * map.lineLength() + column;
    if (!ecu_.WriteElement2(Catalogue::elementId(map.id), row, column, element,
                            store_.value(map.number, element), value))
        return false;
    store_.set(map.number, element, value);
    return true;
}

bool TStreamDati::SetZoneCorrection(int zone, int column, int32_t value) {
    store_.setModified(true);
    const CatalogueRow& table = Catalogue::row(Catalogue::kZoneCorrections);
    if (zone < 0 || zone >= table.lines || column < 0 || column >= table.lineLength()) return false;
    if (value < -128 || value > 127) return false;
    const int element = zone * table.lineLength() + column;
    if (!ecu_.WriteElement2(EcuVariable::kZoneCorrection, zone, column, element,
                            store_.value(table.number, element), value))
        return false;
    store_.set(table.number, element, value);
    ClearOfficial();
    return true;
}

bool TStreamDati::SetDefaultInjectionTime(int line, int column, double ms) {
    store_.setModified(true);
    const CatalogueRow& row = Catalogue::row(Catalogue::kInjectionTimes);
    if (line < 0 || line >= row.lines || column < 0 || column >= row.lineLength()) return false;
    const int32_t raw = TimeToRaw(ms);
    const int element = line * row.lineLength() + column;
    if (!ecu_.WriteElement2(EcuVariable::kInjectionTimes, line, column, element,
                            store_.value(row.number, element), raw))
        return false;
    store_.set(row.number, element, raw);
    ClearOfficial();
    return true;
}

// ---- description, serial number, official flag, vehicle ----

bool TStreamDati::SetDescription(const QString& text) {
    store_.setModified(true);
    const QString description = text.left(kMaxDescription);
    // The characters, then the zero that ends a shorter text.
    const int count = std::min<int>(kMaxDescription, static_cast<int>(description.size()) + 1);
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        const int32_t c = LatinCode(description, i);
        const int element = ParameterStore::kDescriptionFirst + i;
        if (ecu_.WriteElement(EcuVariable::kHeader, element,
                              store_.value(Catalogue::kHeader, element), c))
            store_.set(Catalogue::kHeader, element, c);
        else
            ok = false;
    }
    if (ok) {
        // The record's description is the same key of the file: it follows.
        store_.vehicle().description = description;
        ClearOfficial();
    }
    postMainState(MainState::kDescriptionChanged, 0);
    return ok;
}

bool TStreamDati::SetSerialNumber(const QString& text) {
    store_.setModified(true);
    const SerialCodes codes = serialCodes(text);
    const bool ok = ecu_.WriteVariable(EcuVariable::kSerialNumber,
                                       store_.values(Catalogue::kSerialNumber).data(), codes.data(),
                                       kMaxSerialNumber);
    if (ok) {
        storeSerialNumber(codes);
        ClearOfficial();
    }
    postMainState(MainState::kDescriptionChanged, 0);
    return ok;
}

void TStreamDati::KeepSerialNumber(const QString& text) {
    store_.setModified(true);
    storeSerialNumber(serialCodes(text));
    postMainState(MainState::kDescriptionChanged, 0);
}

TStreamDati::SerialCodes TStreamDati::serialCodes(const QString& text) {
    SerialCodes codes{};
    const QString serial = text.left(kMaxSerialNumber);
    for (int i = 0; i < kMaxSerialNumber; ++i) codes[static_cast<size_t>(i)] = LatinCode(serial, i);
    return codes;
}

void TStreamDati::storeSerialNumber(const SerialCodes& codes) {
    for (int i = 0; i < kMaxSerialNumber; ++i)
        store_.set(Catalogue::kSerialNumber, i, codes[static_cast<size_t>(i)]);
}

bool TStreamDati::SetVehicleText(int kind, const QString& text) {
    VehicleRecord& v = store_.vehicle();
    switch (kind) {
        case 1:
            v.description = text.left(VehicleRecord::kLongText);
            break;
        case 2:
            v.euro = text.left(VehicleRecord::kEuroText);
            break;
        case 3:
            v.engine = text.left(VehicleRecord::kLongText);
            break;
        case 4:
            v.ecu = text.left(VehicleRecord::kLongText);
            break;
        case 5:
            v.gearbox = text.left(VehicleRecord::kLongText);
            break;
        default:
            return false;
    }
    store_.setModified(true);
    ClearOfficial();
    return true;
}

// ---- identity and the ECU's status ----

void TStreamDati::SetIdentityDefaults(int model) {
    store_.identity() = {static_cast<uint8_t>(BuildProfile::CustomerCode()),
                         static_cast<uint8_t>(model), 0, 0};
}

bool TStreamDati::RequestReset() {
    Announce(StoreMoment::BeforeReset);
    const int32_t status = ecu_.ReadStatus();
    return ecu_.WriteStatus(status, status | EcuVariable::kInitialiseBit);
}

bool TStreamDati::ClearResetRequest(int32_t status) {
    return ecu_.WriteStatus(status, status & ~EcuVariable::kInitialiseBit);
}

int32_t TStreamDati::TimeToRaw(double ms) const { return TimeBase::ToRaw(ms, store_.tick()); }
double TStreamDati::RawToTime(int32_t raw) const { return TimeBase::ToMs(raw, store_.tick()); }
