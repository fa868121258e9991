#include "TransferEngine.h"

#include <QFileInfo>
#include <algorithm>
#include <array>

#include "Catalogue.h"
#include "Clock.h"
#include "ConfigSource.h"
#include "DataContext.h"
#include "DefaultValues.h"
#include "EcuSession.h"
#include "EcuVariable.h"
#include "ParameterStore.h"
#include "TimeBase.h"
#include "TransferError.h"
#include "TransferFlags.h"

const QString TransferEngine::kSaveStartFailed =
    QStringLiteral("Impossibile eseguire il salvataggio dei dati");
const QString TransferEngine::kSaveEndFailed =
    QStringLiteral("Impossibile completare correttamente il salvataggio dei dati");
const QString TransferEngine::kReconnectFailed =
    QStringLiteral("Impossibile connettersi correttamente con la centralina");
const QString TransferEngine::kReadFailed =
    QStringLiteral("Impossibile leggere i dati dalla centralina");
const QString TransferEngine::kWriteFailed =
    QStringLiteral("Impossibile scrivere i dati nella centralina");
const QString TransferEngine::kBadKMapSize =
    QStringLiteral("La centralina ha indicato dimensioni della mappa K non valide");

namespace {
// Large enough for any element count an id can carry, so a link that delivers the
// count of the id never writes past it.
using Buffer = std::array<int32_t, 256>;

const QString kHeaderDescription = QStringLiteral("DescrizAuto");
const QString kHeaderOfficial = QStringLiteral("Ufficiale");
const QString kPressureByteKey = QStringLiteral("CoeffPressDiffByte");

constexpr double kMaxCurrentMs[] = {20.0, 1.5};
constexpr double kSafeDelayMinMs = 0.1;
constexpr double kSafeDelayMs = 2.0;
}  // namespace

TransferEngine::TransferEngine(DataContext& data, int flags, int groupMask, bool showProgress)
    : data_(data),
      flags_(flags),
      groupMask_(groupMask),
      showProgress_(showProgress),
      grandTotal_(Catalogue::grandTotal()) {}

const TransferEngine::Handlers& TransferEngine::handlersOf(Hook hook) {
    using T = TransferEngine;
    static const Handlers none{};
    static const Handlers baseTempi{nullptr, nullptr,           &T::readBaseTempi,
                                    nullptr, &T::readBaseTempi, nullptr};
    static const Handlers gasSensor{nullptr, nullptr, nullptr,
                                    nullptr, nullptr, &T::settleGasSensor};
    static const Handlers engine{&T::defaultEngineCurve};
    static const Handlers kMapSize{
        nullptr, &T::readKMapSizeFromSource, &T::askKMapSize, nullptr, &T::askKMapSize, nullptr};
    static const Handlers levelSensor{&T::defaultLevelSensor};
    static const Handlers header{&T::defaultHeader,
                                 &T::readHeaderFromSource,
                                 &T::readHeaderFromEcu,
                                 &T::writeHeaderToSource,
                                 nullptr,
                                 nullptr};
    static const Handlers maxCurrent{nullptr, &T::boundMaxCurrentTime};
    static const Handlers pressure{&T::defaultPressure,     &T::readPressureFromSource,
                                   &T::readPressureFromEcu, &T::writePressureToSource,
                                   &T::writePressureToEcu,  nullptr};
    static const Handlers safeDelay{nullptr, &T::boundSafeDelay};
    static const Handlers injector{nullptr, nullptr, nullptr, nullptr, &T::writeInjectorType};
    switch (hook) {
        case Hook::BaseTempi:
            return baseTempi;
        case Hook::GasSensorType:
            return gasSensor;
        case Hook::EngineCurve:
            return engine;
        case Hook::KMapSize:
            return kMapSize;
        case Hook::LevelSensorType:
            return levelSensor;
        case Hook::Header:
            return header;
        case Hook::MaxCurrentTime:
            return maxCurrent;
        case Hook::PressureCoefficients:
            return pressure;
        case Hook::SafeDelay:
            return safeDelay;
        case Hook::InjectorType:
            return injector;
        case Hook::None:
        case Hook::KMap:
        case Hook::SerialNumber:
            return none;
    }
    return none;
}

void TransferEngine::Run() {
    IEcuLink& link = data_.ecu.link();
    moved_ = 0;
    if (showProgress_) data_.progress(0);
    const bool connected = link.IsConnected() != 0;
    const bool saving = (flags_ & (TransferFlag::kSaveFile | TransferFlag::kWriteEcu)) != 0;
    if (connected) {
        link.LeavePollingMode();
        if (saving) saveSequence(kSaveStart, kSaveStartFailed);
    }
    MoveRows();

    data_.store.setModified((flags_ & TransferFlag::kReadEcu) != 0);
    Clock::current().waitMs(kStepWaitMs);
    if (connected && saving) {
        saveSequence(kSaveEnd, kSaveEndFailed);
        link.Disconnect();
        Clock::current().waitMs(kStepWaitMs);
        if (!data_.ecu.Reconnect(EcuSession::kReadyTimeoutMs))
            throw TransferError(kReconnectFailed);
    }
    if (showProgress_) data_.progress(100);
}

void TransferEngine::MoveRows() {
    for (const CatalogueRow& row : Catalogue::rows()) moveRow(row);
    // The record was cleared by the header; the displacement comes with a later row.
    if (headerRead_)
        data_.store.vehicle().displacement = data_.store.value(Catalogue::kDisplacement);
    data_.ChooseEngineCurve();
}

void TransferEngine::saveSequence(int command, const QString& failure) {
    uint8_t bytes[5] = {0, 0, 0, 0, 0};
    int32_t status = 1;
    if (!data_.ecu.link().SendCommand(command, bytes, &status, 5)) throw TransferError(failure);
}

void TransferEngine::moveRow(const CatalogueRow& row) {
    const bool selected = (row.group & groupMask_) != 0;
    if (selected) {
        const Handlers& h = handlersOf(row.hook);
        if (flags_ & TransferFlag::kLoadDefaults) {
            run(h.loadDefault, &TransferEngine::loadDefault, row);
            run(h.readSource, &TransferEngine::readSource, row);
        }
        if (flags_ & TransferFlag::kReadEcu) run(h.readEcu, &TransferEngine::readEcu, row);
        if (flags_ & TransferFlag::kSaveFile) run(h.writeSource, &TransferEngine::writeSource, row);
        if (flags_ & TransferFlag::kWriteEcu) {
            // Read-only rows are read back while the others are written.
            run(h.writeEcu, row.readOnly ? &TransferEngine::readEcu : &TransferEngine::writeEcu,
                row);
        }
        if (h.settle) (this->*h.settle)(row);
    }
    const ParameterStore& store = data_.store;
    for (int bytes : Catalogue::progressSteps(row, store.kRows(), store.kColumns(), selected))
        report(bytes);
}

void TransferEngine::run(Phase special, Phase generic, const CatalogueRow& row) {
    (this->*(special ? special : generic))(row);
}

void TransferEngine::report(int bytes) {
    moved_ += bytes;
    if (!showProgress_) return;
    data_.progress(std::min(100, moved_ * 100 / std::max(1, grandTotal_)));
}

// ---- generic phases ----

void TransferEngine::loadDefault(const CatalogueRow& row) {
    ParameterStore& store = data_.store;
    const DefaultValues::Context context{store.tick(), data_.gasCurve, data_.engineCurve,
                                         store.kColumns()};
    store.values(row.number) = DefaultValues::Of(row, context);
}

void TransferEngine::readSource(const CatalogueRow& row) {
    if (!row.hasFileKey()) return;
    ParameterStore& store = data_.store;
    std::vector<int32_t>& values = store.values(row.number);
    const std::vector<int> elements =
        Catalogue::activeElements(row, store.kRows(), store.kColumns());
    if (row.keys == KeyStyle::Single) {
        // One key stands for every element.
        int32_t value = values[0];
        data_.source.ReadInt(value, Catalogue::key(row, 0), Catalogue::section(row, 0));
        std::fill(values.begin(), values.end(), value);
        return;
    }
    for (int e : elements)
        data_.source.ReadInt(values[static_cast<size_t>(e)], Catalogue::key(row, e),
                             Catalogue::section(row, e));
}

void TransferEngine::writeSource(const CatalogueRow& row) {
    if (!row.hasFileKey()) return;
    const ParameterStore& store = data_.store;
    const std::vector<int32_t>& values = store.values(row.number);
    std::vector<int> elements = Catalogue::activeElements(row, store.kRows(), store.kColumns());
    if (row.keys == KeyStyle::Single) elements = {0};
    for (int e : elements)
        data_.source.WriteInt(values[static_cast<size_t>(e)], Catalogue::key(row, e),
                              Catalogue::section(row, e));
}

void TransferEngine::readEcu(const CatalogueRow& row) {
    ParameterStore& store = data_.store;
    IEcuLink& link = data_.ecu.link();
    std::vector<int32_t>& values = store.values(row.number);
    const uint32_t id = Catalogue::idFor(row, store.kRows(), store.kColumns());
    const int lines = Catalogue::activeLines(row, store.kRows());
    const std::vector<int> elements =
        Catalogue::activeElements(row, store.kRows(), store.kColumns());
    const int perLine = static_cast<int>(elements.size()) / lines;
    for (int line = 0; line < lines; ++line) {
        Buffer buffer{};
        const bool ok = row.lines > 1 || row.extent == Extent::KMap
                            ? link.ReadRow(id, buffer.data(), line)
                            : link.ReadVariable(id, buffer.data());
        if (!ok) throw TransferError(kReadFailed);
        for (int i = 0; i < perLine; ++i)
            values[static_cast<size_t>(elements[static_cast<size_t>(line * perLine + i)])] =
                buffer[static_cast<size_t>(i)];
    }
}

void TransferEngine::writeEcu(const CatalogueRow& row) {
    if (row.id == 0) return;
    const ParameterStore& store = data_.store;
    IEcuLink& link = data_.ecu.link();
    const std::vector<int32_t>& values = store.values(row.number);
    const uint32_t id = Catalogue::idFor(row, store.kRows(), store.kColumns());
    const int lines = Catalogue::activeLines(row, store.kRows());
    const std::vector<int> elements =
        Catalogue::activeElements(row, store.kRows(), store.kColumns());
    const int perLine = static_cast<int>(elements.size()) / lines;
    for (int line = 0; line < lines; ++line) {
        Buffer buffer{};
        for (int i = 0; i < perLine; ++i)
            buffer[static_cast<size_t>(i)] =
                values[static_cast<size_t>(elements[static_cast<size_t>(line * perLine + i)])];
        const bool ok = row.lines > 1 || row.extent == Extent::KMap
                            ? link.WriteRow(id, buffer.data(), line)
                            : link.WriteVariable(id, buffer.data());
        if (!ok) throw TransferError(kWriteFailed);
    }
}

// ---- hooks ----

void TransferEngine::readBaseTempi(const CatalogueRow& row) {
    Buffer buffer{};
    // Every time of the ECU depends on it: a failed or senseless read keeps the standard tick.
    const bool ok = data_.ecu.link().ReadVariable(row.id, buffer.data()) && buffer[0] > 0;
    data_.store.set(row.number, 0, ok ? buffer[0] : Catalogue::kDefaultBaseTempi);
}

void TransferEngine::settleGasSensor(const CatalogueRow&) { data_.ChooseGasCurve(); }

void TransferEngine::defaultEngineCurve(const CatalogueRow& row) {
    loadDefault(row);
    data_.engineCurve = TemperatureCurve();
}

void TransferEngine::readKMapSizeFromSource(const CatalogueRow& row) {
    ParameterStore& store = data_.store;
    int32_t rows = store.kRows();
    int32_t columns = store.kColumns();
    data_.source.ReadInt(rows, Catalogue::key(row, 0), Catalogue::section(row, 0));
    data_.source.ReadInt(columns, Catalogue::key(row, 1), Catalogue::section(row, 1));
    // A size the tables cannot hold keeps the one in force.
    if (rows < 1 || rows > Catalogue::kMaxKRows || columns < 1 || columns > Catalogue::kMaxKColumns)
        return;
    store.set(row.number, 0, rows);
    store.set(row.number, 1, columns);
}

void TransferEngine::askKMapSize(const CatalogueRow& row) {
    uint8_t bytes[2] = {84, 0};
    int32_t status = 1;
    if (!data_.ecu.link().SendCommand(kTableSize, bytes, &status, 2)) return;
    const int columns = bytes[0];
    const int rows = bytes[1] - 1;
    if (rows < 1 || rows > Catalogue::kMaxKRows || columns < 1 || columns > Catalogue::kMaxKColumns)
        throw TransferError(kBadKMapSize);
    data_.store.set(row.number, 0, rows);
    data_.store.set(row.number, 1, columns);
}

void TransferEngine::defaultLevelSensor(const CatalogueRow& row) {
    // Sensor type 0 with its references; nothing goes to the ECU while defaults are set.
    data_.store.set(row.number, 0, 0);
    data_.store.values(Catalogue::kLevelReferences) = DefaultValues::LevelReferences(0);
}

void TransferEngine::defaultHeader(const CatalogueRow& row) {
    loadDefault(row);
    data_.store.vehicle() = VehicleRecord{};
    data_.store.vehicle().description = QString::fromLatin1(DefaultValues::kDescription);
}

void TransferEngine::readHeaderFromSource(const CatalogueRow& row) {
    const QString section = QString::fromLatin1(row.section);
    ParameterStore& store = data_.store;
    VehicleRecord& v = store.vehicle();
    QString text = data_.store.description();
    data_.source.ReadText(text, kHeaderDescription, section, VehicleRecord::kLongText + 1);
    v.description = text.left(VehicleRecord::kLongText);
    for (int i = 0; i < ParameterStore::kMaxDescription; ++i)
        store.set(row.number, 2 + i, ParameterStore::LatinCode(text, i));
    bool official = store.official();
    data_.source.ReadBool(official, kHeaderOfficial, section);
    const int32_t flags = store.value(row.number, 0);
    store.set(row.number, 0,
              official ? (flags | ParameterStore::kOfficialBit)
                       : (flags & ~ParameterStore::kOfficialBit));
    data_.source.ReadText(v.euro, QStringLiteral("Euro"), section, VehicleRecord::kEuroText + 1);
    data_.source.ReadInt(v.displacement, QStringLiteral("CentCubici"), section);
    data_.source.ReadInt(v.valves, QStringLiteral("Valvole"), section);
    data_.source.ReadInt(v.cylinders, QStringLiteral("N cilindri"), section);
    int32_t power = static_cast<int32_t>(v.power * 100 + (v.power < 0 ? -0.5f : 0.5f));
    data_.source.ReadInt(power, QStringLiteral("Potenza"), section);
    v.power = static_cast<float>(power / 100.0);
    data_.source.ReadText(v.engine, QStringLiteral("Motore"), section,
                          VehicleRecord::kLongText + 1);
    data_.source.ReadText(v.ecu, QStringLiteral("Centralina"), section,
                          VehicleRecord::kLongText + 1);
    data_.source.ReadText(v.gearbox, QStringLiteral("Cambio"), section,
                          VehicleRecord::kLongText + 1);
    data_.source.ReadInt(v.year, QStringLiteral("AnnoVettura"), section);
}

void TransferEngine::readHeaderFromEcu(const CatalogueRow& row) {
    readEcu(row);
    data_.store.vehicle().Clear();
    headerRead_ = true;
}

void TransferEngine::writeHeaderToSource(const CatalogueRow& row) {
    const QString section = QString::fromLatin1(row.section);
    const VehicleRecord& v = data_.store.vehicle();
    // The record holds the longer text; emptied by a read from the ECU, it gives way to the
    // ECU's description.
    const QString text = v.description.isEmpty() ? data_.store.description() : v.description;
    data_.source.WriteText(text, kHeaderDescription, section);
    data_.source.WriteBool(data_.store.official(), kHeaderOfficial, section);
    data_.source.WriteText(v.euro, QStringLiteral("Euro"), section);
    data_.source.WriteInt(v.displacement, QStringLiteral("CentCubici"), section);
    data_.source.WriteInt(v.valves, QStringLiteral("Valvole"), section);
    data_.source.WriteInt(v.cylinders, QStringLiteral("N cilindri"), section);
    data_.source.WriteInt(static_cast<int32_t>(v.power * 100 + (v.power < 0 ? -0.5f : 0.5f)),
                          QStringLiteral("Potenza"), section);
    data_.source.WriteText(v.engine, QStringLiteral("Motore"), section);
    data_.source.WriteText(v.ecu, QStringLiteral("Centralina"), section);
    data_.source.WriteText(v.gearbox, QStringLiteral("Cambio"), section);
    data_.source.WriteInt(v.year, QStringLiteral("AnnoVettura"), section);
    data_.source.WriteText(QFileInfo(data_.fileName).fileName(),
                           QStringLiteral("NomeConfigurazione"), section);
    data_.source.WriteInt(1, QStringLiteral("VersioneFile"), section);
}

void TransferEngine::boundMaxCurrentTime(const CatalogueRow& row) {
    readSource(row);
    for (int e = 0; e < 2; ++e) {
        const int32_t bound = TimeBase::ToRaw(kMaxCurrentMs[e], data_.store.tick());
        if (data_.store.value(row.number, e) > bound) data_.store.set(row.number, e, bound);
    }
}

void TransferEngine::boundSafeDelay(const CatalogueRow& row) {
    readSource(row);
    // Compared in milliseconds: against a rounded count, 39 counts at 2560 ns (0.09984 ms)
    // would pass as 0.1 ms.
    const int32_t tick = data_.store.tick();
    if (TimeBase::ToMs(data_.store.value(row.number), tick) < kSafeDelayMinMs)
        data_.store.set(row.number, 0, TimeBase::ToRaw(kSafeDelayMs, tick));
}

void TransferEngine::defaultPressure(const CatalogueRow& row) {
    loadDefault(row);
    data_.store.setPressureByteForm(true);
}

void TransferEngine::readPressureFromSource(const CatalogueRow& row) {
    readSource(row);
    bool byteForm = data_.store.pressureByteForm();
    data_.source.ReadBool(byteForm, kPressureByteKey, QString::fromLatin1(row.section));
    data_.store.setPressureByteForm(byteForm);
}

void TransferEngine::writePressureToSource(const CatalogueRow& row) {
    writeSource(row);
    data_.source.WriteBool(data_.store.pressureByteForm(), kPressureByteKey,
                           QString::fromLatin1(row.section));
}

int8_t TransferEngine::pressureForm() {
    return data_.ecu.link().QueryElementSize(static_cast<int32_t>(EcuVariable::kPressureSize), 1);
}

void TransferEngine::readPressureFromEcu(const CatalogueRow& row) {
    const int8_t form = pressureForm();
    if (form <= 0) return;
    Buffer buffer{};
    if (!data_.ecu.link().ReadVariable(
            form == 1 ? EcuVariable::kPressureBytes : EcuVariable::kPressureWords, buffer.data()))
        throw TransferError(kReadFailed);
    std::vector<int32_t>& values = data_.store.values(row.number);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = form == 1 ? buffer[i] * kPressureFactor : buffer[i];
    data_.store.setPressureByteForm(false);
}

void TransferEngine::writePressureToEcu(const CatalogueRow& row) {
    const int8_t form = pressureForm();
    if (form <= 0) return;
    const bool byteForm = data_.store.pressureByteForm();
    const std::vector<int32_t>& values = data_.store.values(row.number);
    Buffer buffer{};
    for (size_t i = 0; i < values.size(); ++i) {
        int32_t v = values[i];
        if (form == 1 && !byteForm) v = std::clamp(v / kPressureFactor, -128, 127);
        if (form > 1 && byteForm) v *= kPressureFactor;
        buffer[i] = v;
    }
    if (!data_.ecu.link().WriteVariable(
            form == 1 ? EcuVariable::kPressureBytes : EcuVariable::kPressureWords, buffer.data()))
        throw TransferError(kWriteFailed);
}

void TransferEngine::writeInjectorType(const CatalogueRow& row) {
    const int32_t value = data_.store.value(row.number);
    IEcuLink& link = data_.ecu.link();
    if (!link.WriteElement(EcuVariable::kInjectorType, 0, value) ||
        !link.WriteElement(EcuVariable::kInjectorType, 1, value))
        throw TransferError(kWriteFailed);
}
