#include "TStreamDati.h"

#include "BuildProfile.h"
#include "Catalogue.h"
#include "Clock.h"
#include "OptionBits.h"
#include "TimeBase.h"
#include "TransferEngine.h"
#include "TransferError.h"
#include "ValueAccess.h"

namespace {
constexpr uint32_t kFlagsId = 8963;
constexpr uint32_t kHeaderVariable = 53;
constexpr int kDescriptionFirst = 2;
constexpr uint32_t kSerialNumberId = 82176;
constexpr uint32_t kStatusVariable = 2;
constexpr uint32_t kCustomerVariable = 64;
constexpr uint32_t kLevelTypeVariable = 36;
constexpr uint32_t kLevelReferenceVariable = 37;
constexpr uint32_t kGasReferenceVariable = 42;
constexpr uint32_t kEngineReferenceVariable = 92;
constexpr uint32_t kInjectionTimeId = 0x28F;
constexpr int kReferenceCount = 10;
constexpr int kFirstConnectWaitMs = 1000;
constexpr int kRetryMs = 500;

QString textOf(const std::vector<int32_t>& values, int first, int length) {
    QString text;
    for (int i = first; i < first + length; ++i) {
        const int32_t c = values.at(static_cast<size_t>(i)) & 0xFF;
        if (c == 0) break;
        text += QChar::fromLatin1(static_cast<char>(c));
    }
    return text;
}

}  // namespace

TStreamDati::TStreamDati(QObject* parent) : TStreamDati(Options{}, parent) {}

TStreamDati::TStreamDati(const Options& options, QObject* parent)
    : QObject(parent), settings_(std::make_unique<TQorGlobalData>()) {
    settings_->SetStrKey(QStringLiteral("\\Software\\") + BuildProfile::RegistrySubkey());
    if (options.loadSettings) settings_->LoadStrKeyOrWarn(BuildProfile::ProductTitle());
    connect_ = std::make_unique<TQorConnectEcu>(options.loadLinkLibrary, options.linkLibrary);
    values_ = std::make_unique<ValueAccess>(*this);
    SetKey(BuildProfile::ScrambleKey());
    writeThrough_ = true;
    grandTotal_ = Catalogue::grandTotal();
    // The store never holds anything but a configuration: the defaults, "Standard".
    TransferEngine(*this, kLoadDefaults, Group::kAll, false).MoveRows();
    store_.setModified(false);
}

TStreamDati::~TStreamDati() {
    connect_.reset();
    settings_.reset();
}

// ---- transfer and source ----

bool TStreamDati::Transfer(int flags, const QString& fileName, int resourceId, int groupMask,
                           bool showProgress) {
    lastError_.clear();
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
        TransferEngine(*this, flags, groupMask, showProgress).Run();
        if (opened) resourceId > 0 ? CloseResourceSource() : CloseFileSource();
        return true;
    } catch (const TransferError& error) {
        lastError_ = error.text();
        // A failed transfer never writes its source back: the file keeps what it held.
        if (opened) source_.CloseResource();
        return false;
    }
}

void TStreamDati::OpenFileSource(bool forReading) { source_.OpenFile(fileName_, forReading, key_); }

void TStreamDati::OpenResourceSource(int number) { source_.OpenResource(number, key_); }
void TStreamDati::CloseFileSource() { source_.CloseFile(); }
void TStreamDati::CloseResourceSource() { source_.CloseResource(); }

void TStreamDati::ReadInt(int32_t& value, const QString& key, const QString& section) {
    source_.ReadInt(value, key, section);
}
void TStreamDati::ReadBool(bool& value, const QString& key, const QString& section) {
    source_.ReadBool(value, key, section);
}
void TStreamDati::ReadText(QString& text, const QString& key, const QString& section,
                           int maxLength) {
    source_.ReadText(text, key, section, maxLength);
}
void TStreamDati::WriteInt(int32_t value, const QString& key, const QString& section) {
    source_.WriteInt(value, key, section);
}
void TStreamDati::WriteBool(bool value, const QString& key, const QString& section) {
    source_.WriteBool(value, key, section);
}
void TStreamDati::WriteText(const QString& text, const QString& key, const QString& section) {
    source_.WriteText(text, key, section);
}

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

// ---- options ----

int TStreamDati::GetOption(int option) const {
    const auto bit = OptionBits::Of(option);
    if (!bit) return 0;
    return (store_.value(Catalogue::kFlags, bit->word) & bit->mask) ? 1 : 0;
}

bool TStreamDati::SetOption(int option, bool on) {
    const auto bit = OptionBits::Of(option);
    if (!bit) return false;
    if (option == 1) postMainState(kStateFuel, GetOption(1));
    int32_t words[2] = {store_.value(Catalogue::kFlags, 0), store_.value(Catalogue::kFlags, 1)};
    words[bit->word] = on ? (words[bit->word] | bit->mask) : (words[bit->word] & ~bit->mask);
    if (!link().WriteVariable(kFlagsId, words)) return false;
    store_.set(Catalogue::kFlags, 0, words[0]);
    store_.set(Catalogue::kFlags, 1, words[1]);
    store_.setModified(true);
    ClearOfficial();
    if (option == 9) rederiveGasTemperatures();
    if (option == 10) rederiveEngineTemperatures();
    return true;
}

// ---- temperature curves ----

void TStreamDati::ChooseGasCurve() {
    gasCurve_ = TemperatureCurve::Gas(store_.value(Catalogue::kGasSensorType));
}

void TStreamDati::ChooseEngineCurve() {
    std::optional<TemperatureCurve> fromStore;
    if (GetOption(10))
        fromStore = TemperatureCurve::FromEngineParameters(
            store_.values(Catalogue::kEngineParameters), store_.values(Catalogue::kEngineCodes));
    engineCurve_ = fromStore.value_or(TemperatureCurve());
}

bool TStreamDati::writeReference(int variable, int row, int element, double degrees,
                                 const TemperatureCurve& curve) {
    store_.setModified(true);
    if (element < 0 || element >= kReferenceCount) return false;
    const int32_t code = element == 0                     ? 0
                         : element == kReferenceCount - 1 ? 255
                                                          : curve.ToCode(degrees);
    if (!link().WriteElement(static_cast<uint32_t>(variable), element, code)) return false;
    store_.set(row, element, code);
    ClearOfficial();
    return true;
}

bool TStreamDati::SetGasReference(int element, double degrees) {
    return writeReference(kGasReferenceVariable, Catalogue::kGasReferences, element, degrees,
                          gasCurve_);
}

bool TStreamDati::SetEngineReference(int element, double degrees) {
    return writeReference(kEngineReferenceVariable, Catalogue::kEngineReferences, element, degrees,
                          engineCurve_);
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
    const double changeover = GetValue(15);
    const auto references =
        referencesInDegrees(store_.values(Catalogue::kGasReferences), gasCurve_);
    ChooseGasCurve();
    SetValue(15, changeover);
    for (int e = 0; e < kReferenceCount; ++e)
        SetGasReference(e, references[static_cast<size_t>(e)]);
}

void TStreamDati::rederiveEngineTemperatures() {
    const double changeover = GetValue(117);
    const double calibration = GetValue(144);
    const auto references =
        referencesInDegrees(store_.values(Catalogue::kEngineReferences), engineCurve_);
    ChooseEngineCurve();
    SetValue(117, changeover);
    SetValue(144, calibration);
    for (int e = 0; e < kReferenceCount; ++e)
        SetEngineReference(e, references[static_cast<size_t>(e)]);
}

// ---- level sensor and injection times ----

std::vector<int32_t> TStreamDati::LevelReferences(int type) {
    switch (type) {
        case 0:
            return {155, 127, 102, 77};
        case 1:
            return {100, 128, 153, 178};
        case 2:
            return {19, 36, 56, 69};
        default:
            return {};
    }
}

bool TStreamDati::SetLevelSensorType(int type) {
    store_.setModified(true);
    if (!link().WriteValue(kLevelTypeVariable, type)) return false;
    store_.set(Catalogue::kLevelSensorType, 0, type);
    ClearOfficial();
    bool ok = true;
    const std::vector<int32_t> references = LevelReferences(type);
    for (size_t i = 0; i < references.size(); ++i)
        ok = SetLevelSensorReference(static_cast<int>(i), references[i]) && ok;
    return ok;
}

bool TStreamDati::SetLevelSensorReference(int index, int32_t code) {
    store_.setModified(true);
    if (index < 0 || index >= Catalogue::row(Catalogue::kLevelReferences).elements) return false;
    if (!link().WriteElement(kLevelReferenceVariable, index, code)) return false;
    store_.set(Catalogue::kLevelReferences, index, code);
    ClearOfficial();
    return true;
}

bool TStreamDati::SetDefaultInjectionTime(int line, int column, double ms) {
    store_.setModified(true);
    const CatalogueRow& row = Catalogue::row(Catalogue::kInjectionTimes);
    if (line < 0 || line >= row.lines || column < 0 || column >= row.lineLength()) return false;
    const int32_t raw = TimeToRaw(ms);
    if (!link().WriteElement2(kInjectionTimeId, line, column, raw)) return false;
    store_.set(row.number, line * row.lineLength() + column, raw);
    ClearOfficial();
    return true;
}

// ---- description, serial number, official flag, vehicle ----

int32_t TStreamDati::LatinCode(const QString& text, int i) {
    if (i >= text.size()) return 0;
    const char16_t c = text.at(i).unicode();
    return c != 0 && c < 256 ? c : '?';
}

bool TStreamDati::SetDescription(const QString& text) {
    store_.setModified(true);
    const QString description = text.left(kMaxDescription);
    // The characters, then the zero that ends a shorter text.
    const int count = std::min<int>(kMaxDescription, static_cast<int>(description.size()) + 1);
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        const int32_t c = LatinCode(description, i);
        if (link().WriteElement(kHeaderVariable, kDescriptionFirst + i, c))
            store_.set(Catalogue::kHeader, kDescriptionFirst + i, c);
        else
            ok = false;
    }
    if (ok) {
        // The record's description is the same key of the file: it follows.
        store_.vehicle().description = description;
        ClearOfficial();
    }
    postMainState(kStateDescription, 0);
    return ok;
}

QString TStreamDati::GetDescription() const {
    return textOf(store_.values(Catalogue::kHeader), kDescriptionFirst, kMaxDescription);
}

bool TStreamDati::SetSerialNumber(const QString& text) {
    store_.setModified(true);
    const QString serial = text.left(kMaxSerialNumber);
    int32_t buffer[kMaxSerialNumber];
    for (int i = 0; i < kMaxSerialNumber; ++i) buffer[i] = LatinCode(serial, i);
    const bool ok = link().WriteVariable(kSerialNumberId, buffer) != 0;
    if (ok) {
        for (int i = 0; i < kMaxSerialNumber; ++i)
            store_.set(Catalogue::kSerialNumber, i, buffer[i]);
        ClearOfficial();
    }
    postMainState(kStateDescription, 0);
    return ok;
}

QString TStreamDati::GetSerialNumber() const {
    return textOf(store_.values(Catalogue::kSerialNumber), 0, kMaxSerialNumber);
}

bool TStreamDati::SetOfficial(bool on) {
    const int32_t old = store_.value(Catalogue::kHeader, 0);
    const int32_t flags =
        on ? (old | ParameterStore::kOfficialBit) : (old & ~ParameterStore::kOfficialBit);
    if (!link().WriteElement(kHeaderVariable, 0, flags)) return false;
    store_.set(Catalogue::kHeader, 0, flags);
    return true;
}

void TStreamDati::ClearOfficial() {
    if (IsOfficial()) SetOfficial(false);
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

// ---- identity and connection ----

bool TStreamDati::ReadIdentity() {
    uint8_t bytes[4] = {};
    if (!link().ReadIdentity(bytes)) return false;
    std::copy(bytes, bytes + 4, store_.identity().begin());
    return true;
}

void TStreamDati::SetIdentityDefaults(int model) {
    store_.identity() = {static_cast<uint8_t>(BuildProfile::CustomerCode()),
                         static_cast<uint8_t>(model), 0, 0};
}

bool TStreamDati::WriteCustomerCode(int code) {
    if (!link().WriteValue(kCustomerVariable, code)) return false;
    store_.identity()[0] = static_cast<uint8_t>(code);
    return true;
}

bool TStreamDati::Reconnect(int timeoutMs) {
    IEcuLink& ecu = link();
    Clock& clock = Clock::current();
    ecu.Disconnect();
    clock.waitMs(kFirstConnectWaitMs);
    ecu.EnterPollingMode();
    const qint64 start = clock.nowMs();
    bool connected = ecu.Connect() != 0;
    while (!connected && clock.nowMs() - start < timeoutMs) {
        clock.waitMs(kRetryMs);
        connected = ecu.Connect() != 0;
    }
    ecu.LeavePollingMode();
    return ecu.IsConnected() != 0 && WaitReady(kReconnectMs);
}

bool TStreamDati::WaitReady(int timeoutMs) {
    Clock& clock = Clock::current();
    const qint64 start = clock.nowMs();
    for (;;) {
        int32_t buffer[256] = {};
        if (link().ReadVariable(kStatusVariable, buffer) && buffer[0] == kReadyStatus) return true;
        if (clock.nowMs() - start >= timeoutMs) return false;
        clock.waitMs(kRetryMs);
    }
}

int32_t TStreamDati::TimeToRaw(double ms) const { return TimeBase::ToRaw(ms, store_.tick()); }
double TStreamDati::RawToTime(int32_t raw) const { return TimeBase::ToMs(raw, store_.tick()); }
