#include "Catalogue.h"

#include <algorithm>
#include <numeric>

#include "EcuVariable.h"

namespace {
using K = KeyStyle;
using E = Extent;
using D = DefaultRule;
using H = Hook;

constexpr int kB = Group::kBase;
constexpr int kK = Group::kKMap | Group::kFuel;
constexpr int kF = Group::kFuel;
constexpr int kFS = Group::kFuel | Group::kSensors;
constexpr int kI = Group::kInjection;
constexpr int kBI = Group::kBase | Group::kInjection;

const char* const kG = "Generale";
const char* const kT = "Temperatura";
const char* const kMK = "MappaCoefficientiK";
const char* const kL = "Lambda";
const char* const kAC = "Accensione-Cambio";
const char* const kSL = "SensoreDiLivello";
const char* const kDia = "Diagnosi";
const char* const kArr = "Arricchimento";
const char* const kEm = "Emulazione";
const char* const kInj = "Iniezione";
const char* const kPD = "PressioneDifferenziale";
const char* const kAT = "AutoTaratura";

// The rows in transfer order, one a line.
std::vector<CatalogueRow> catalogueTable() {
    // clang-format off
    return {
        {.number = 1, .id = EcuVariable::kOptionFlags, .section = kG, .keys = K::Named, .named = {{nullptr, "Flag1"}, {nullptr, "Flag2"}}, .group = kI, .defaults = {1044, 1}},
        {.number = 2, .id = 633, .keys = K::None, .defaults = {Catalogue::kDefaultBaseTempi}, .hook = H::BaseTempi},
        {.number = 3, .id = 134, .section = kT, .key = "TipoSensoreTemperaturaGas", .defaults = {0}, .hook = H::GasSensorType},
        {.number = 4, .id = 21898, .section = kT, .key = "ParametriTempMotore", .keys = K::Indexed, .defaults = {18, 92, 5, -20, 30}, .hook = H::EngineCurve},
        {.number = 5, .id = 123275, .section = kT, .key = "EcuTempMotore", .keys = K::Indexed, .defaults = {231, 224, 216, 206, 195, 183, 170, 156, 142, 128, 114, 101, 89, 78, 68, 59, 51, 44, 38, 33, 29, 25, 22, 19, 16, 14, 12, 11, 10, 8}, .hook = H::EngineCurve},
        {.number = 6, .id = 0, .section = kMK, .keys = K::Named, .named = {{nullptr, "NumeroRighe"}, {nullptr, "NumeroColonne"}}, .group = kK, .defaults = {Catalogue::kDefaultKRows, Catalogue::kDefaultKColumns}, .hook = H::KMapSize},
        {.number = 7, .id = 0x737, .section = "RiferimentiTempiK", .key = "RifTempiK", .keys = K::Indexed, .extent = E::KRows, .elements = Catalogue::kMaxKRows, .group = kK, .rule = D::Milliseconds, .defaults = {2.0, 2.5, 3.0, 3.5, 4.5, 6.0, 8.0, 10.0, 12.0, 14.0, 16.0, 18.0}},
        {.number = 8, .id = 0x73D, .section = "RiferimentiGiriK", .key = "RifGiriK", .keys = K::Indexed, .extent = E::KColumns, .elements = Catalogue::kMaxKColumns, .group = kK, .rule = D::KRpm},
        {.number = 9, .id = 0x37F, .section = "TempiKOpenLoop", .key = "TOpenLoop", .keys = K::Indexed, .extent = E::KColumns, .elements = Catalogue::kMaxKColumns, .group = kF, .rule = D::Milliseconds, .defaults = {30}},
        {.number = 10, .id = 0x154, .section = kMK, .key = "MappaK", .keys = K::Grid, .extent = E::KMap, .elements = (Catalogue::kMaxKRows + 1) * Catalogue::kMaxKColumns, .lines = Catalogue::kMaxKRows + 1, .group = kK, .rule = D::KMap, .hook = H::KMap},
        {.number = 11, .id = EcuVariable::kSerialNumber, .keys = K::None, .rule = D::Text, .hook = H::SerialNumber, .text = "SerialNumberNotInEcu"},
        {.number = 12, .id = 4, .section = kL, .key = "TipoDiLambda", .defaults = {2}},
        {.number = 13, .id = 5, .section = kL, .key = "RifLambda", .defaults = {28}},
        {.number = 14, .id = 6, .section = kL, .key = "RitardoLetturaSonda", .defaults = {0}},
        {.number = 15, .id = 7, .section = kL, .key = "TempoSondaFredda", .defaults = {5}},
        {.number = 16, .id = 8, .section = kL, .key = "RifSupSondaFredda", .defaults = {31}},
        {.number = 17, .id = 9, .section = kL, .key = "RifInfSondaFredda", .defaults = {15}},
        {.number = 18, .id = 10, .section = kL, .key = "RifSupSondaCalda", .defaults = {31}},
        {.number = 19, .id = 11, .section = kL, .key = "RifInfSondaCalda", .defaults = {15}},
        {.number = 20, .id = 49932, .section = "RiferimentiGiri", .key = "RifGiri", .keys = K::Indexed, .defaults = {500, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500, 5000, 5500, 6000}},
        {.number = 21, .id = 15, .section = kAC, .key = "TemperaturaCambio", .rule = D::GasCodes, .defaults = {25}},
        {.number = 22, .id = 528, .section = kAC, .key = "GiriPerCambio", .defaults = {1600}},
        {.number = 23, .id = 17, .section = kAC, .key = "RitardoMinimoCambio", .defaults = {60}},
        {.number = 24, .id = 530, .keys = K::None, .defaults = {0}},
        {.number = 25, .id = 20, .section = kAC, .key = "NumeroCilindri", .defaults = {2}},
        {.number = 26, .id = 23, .keys = K::None, .defaults = {0}},
        {.number = 27, .id = 536, .keys = K::None, .defaults = {0}},
        {.number = 28, .id = 41241, .keys = K::None, .defaults = {0}},
        {.number = 29, .id = EcuVariable::kBitFields, .section = "TPS", .key = "TipoDiTps", .defaults = {0}},
        {.number = 30, .id = 36, .section = kSL, .key = "TipoSensore", .defaults = {0}, .hook = H::LevelSensorType},
        {.number = 31, .id = 16677, .section = kSL, .key = "RifSensore", .keys = K::Indexed, .defaults = {155, 127, 102, 77}},
        {.number = 32, .id = 41258, .section = kT, .key = "Rif", .keys = K::Indexed, .group = kFS, .rule = D::GasReferences, .defaults = {70, 60, 50, 40, 35, 30, 25, 20}},
        {.number = 33, .id = 37163, .section = kT, .key = "Coeff", .keys = K::Indexed, .group = kFS, .defaults = {100, 99, 97, 94, 92, 90, 88, 86, 84}},
        {.number = 34, .id = 12593, .section = kDia, .key = "Azione", .keys = K::Grid, .lines = 3, .defaults = {0}},
        {.number = 35, .id = 52, .section = kArr, .key = "TipoIniezione", .defaults = {3}},
        {.number = 36, .id = 123189, .section = kG, .keys = K::None, .rule = D::Header, .defaults = {128}, .hook = H::Header},
        {.number = 37, .id = 56, .section = kArr, .key = "CorrenteMantenimento", .group = kI, .defaults = {10}},
        {.number = 38, .id = 20793, .section = kDia, .key = "Stato", .keys = K::Indexed, .defaults = {0}},
        {.number = 39, .id = 20794, .section = kDia, .key = "Abilitazione", .keys = K::Indexed, .defaults = {0}},
        {.number = 40, .id = 571, .keys = K::None, .defaults = {0}},
        {.number = 41, .id = 572, .keys = K::None, .defaults = {0}},
        {.number = 42, .id = 62, .section = kSL, .key = "TempoRitBenzina", .defaults = {2}},
        {.number = 43, .id = 67, .keys = K::None, .defaults = {0}, .readOnly = true},
        {.number = 44, .id = 68, .keys = K::None, .defaults = {0}, .readOnly = true},
        {.number = 45, .id = 71, .section = kEm, .key = "LivelloAlto", .defaults = {41}},
        {.number = 46, .id = 72, .section = kEm, .key = "LivelloBasso", .defaults = {5}},
        {.number = 47, .id = 9034, .section = kArr, .keys = K::Named, .named = {{nullptr, "TempoMaxCorrente"}, {nullptr, "TempoMaxCorrente1"}}, .group = kI, .rule = D::Milliseconds, .defaults = {3, 0}, .hook = H::MaxCurrentTime},
        {.number = 48, .id = 587, .section = kG, .key = "Cilindrata", .defaults = {1600}},
        {.number = 49, .id = 16721, .section = kDia, .key = "Temperatura", .keys = K::Indexed, .rule = D::TemperatureLimits, .defaults = {-40, 180, -40, 180}},
        {.number = 50, .id = 595, .section = kInj, .key = "TempoAperturaIniettore", .group = kI, .rule = D::Milliseconds, .defaults = {1.5}},
        {.number = 51, .id = 594, .section = kInj, .key = "TempoChiusuraIniettore", .group = kI, .rule = D::Milliseconds, .defaults = {0}},
        {.number = 52, .id = 41308, .section = kT, .key = "RifMot", .keys = K::Indexed, .group = kFS, .rule = D::EngineReferences, .defaults = {70, 60, 50, 40, 35, 30, 25, 20}},
        {.number = 53, .id = 37213, .section = kT, .key = "CoeffMot", .keys = K::Indexed, .group = kFS, .defaults = {109, 106, 103, 100, 97, 94, 91, 88, 85}},
        {.number = 54, .id = 109, .section = kAC, .key = "TempoSovrapposizione", .defaults = {0}},
        {.number = 55, .id = 117, .section = kAC, .key = "TemperaturaMotoreCambio", .rule = D::EngineCodes, .defaults = {35}},
        {.number = 56, .id = 118, .section = kArr, .key = "FreqHoldingCurrent", .group = kI, .defaults = {50}},
        {.number = 57, .id = 119, .section = kArr, .key = "ValPercHoldingCurrent", .group = kI, .defaults = {45}},
        {.number = 58, .id = 26488, .section = kG, .keys = K::Named, .named = {{nullptr, "OffsetMapInterno"}, {nullptr, "PendenzaMapInterno"}, {nullptr, "OffsetMapEsterno"}, {nullptr, "PendenzaMapEsterno"}, {nullptr, "OffsetDiff"}, {nullptr, "PendenzaDiff"}}, .group = kBI, .defaults = {100, 500, 100, 500, -108, 542}},
        {.number = 59, .id = 122, .section = kArr, .key = "SafetyTime", .defaults = {20}},
        {.number = 60, .id = 62331, .section = kPD, .key = "RifPressDiff", .keys = K::Indexed, .group = kFS, .rule = D::Scaled, .defaults = {0.5, 0.55, 0.59, 0.63, 0.67, 0.71, 0.75, 0.79, 0.83, 0.87, 0.91, 0.95, 1.0, 1.05, 1.1}, .scale = 1000.0},
        {.number = 61, .id = EcuVariable::kPressureWords, .section = kPD, .key = "CoeffPressDiff", .keys = K::Indexed, .group = kFS, .rule = D::Scaled, .defaults = {34.32, 29.89, 26.49, 23.21, 20.0, 16.94, 13.93, 11.01, 8.16, 5.38, 2.66, 0.0, -3.25, -6.41, -9.51}, .hook = H::PressureCoefficients, .scale = 10.0 / 3.0},
        {.number = 62, .id = 637, .section = kInj, .key = "TempoMortoIniettoreBenzina", .group = kI, .rule = D::Milliseconds, .defaults = {0.3}},
        {.number = 63, .id = 638, .section = kInj, .key = "TempoMortoIniettoreGas", .group = kI, .rule = D::Milliseconds, .defaults = {1.1}},
        {.number = 64, .id = 640, .section = kInj, .key = "TempoFuoriStabilizzato", .rule = D::Milliseconds, .defaults = {0.6}},
        {.number = 65, .id = 12673, .section = kInj, .keys = K::Named, .named = {{kInj, "KFiltro"}, {kEm, "TempoEmulazioneMagra1"}, {kInj, "KFiltro2"}}, .group = kFS, .defaults = {128}},
        {.number = 66, .id = 49538, .section = kEm, .key = "RiferimentiSondaLambda", .keys = K::Indexed, .defaults = {26}},
        {.number = 67, .id = 50051, .section = kEm, .key = "RitardoEmulazioneRicca", .keys = K::Indexed, .defaults = {0}},
        {.number = 68, .id = 9093, .section = kEm, .keys = K::Named, .named = {{nullptr, "Opzione1"}, {nullptr, "Opzione2"}}, .defaults = {0}},
        {.number = 69, .id = 135, .section = kEm, .key = "RitardoGiriEmulazione", .defaults = {0}},
        {.number = 70, .id = 136, .section = kEm, .key = "SmagrimentoRientroCutoff", .defaults = {100}},
        {.number = 71, .id = 137, .section = kEm, .key = "NumeroIniettateSmagrimento", .defaults = {0}},
        {.number = 72, .id = 653, .section = kEm, .keys = K::Named, .named = {{nullptr, "TempoEmulazioneMagra0"}}, .group = kFS, .defaults = {8000}},
        {.number = 73, .id = 654, .section = kArr, .key = "SafeDelay", .rule = D::Milliseconds, .defaults = {2}, .hook = H::SafeDelay},
        {.number = 74, .id = 9103, .section = "TInjDefault", .key = "TInjDefault", .keys = K::Grid, .lines = 8, .rule = D::Milliseconds, .defaults = {2.5, 2.5, 2.6, 2.6, 2.7, 2.7, 2.8, 2.8, 2.9, 2.9, 3.0, 3.0, 3.1, 3.1, 3.2, 3.2}},
        {.number = 75, .id = 144, .section = kAC, .key = "TemperaturaAutotaratura", .group = kF, .rule = D::EngineCodes, .defaults = {35}},
        {.number = 76, .id = 9105, .section = kAT, .keys = K::Named, .named = {{nullptr, "ScartoMinimoTaratura0"}, {nullptr, "ScartoMinimoTaratura1"}}, .group = kF, .rule = D::Milliseconds, .defaults = {0.2, 0}},
        {.number = 77, .id = 658, .section = kAC, .key = "TInjBenzMaxCambio", .rule = D::Milliseconds, .defaults = {12}},
        {.number = 78, .id = 659, .section = kAT, .key = "SpostamentoTaratura", .group = kF, .defaults = {0}},
        {.number = 79, .id = 8596, .section = kInj, .key = "TipoIniettoreSoftware", .group = kI, .defaults = {0}, .hook = H::InjectorType},
        {.number = 80, .id = 17813, .section = kAT, .key = "MappaCorrAutotaratura", .keys = K::Grid, .lines = 4, .group = kF, .defaults = {0}},
        {.number = 81, .id = 662, .section = kAT, .key = "GiriAutotaratura", .group = kF, .defaults = {2800}},
        {.number = 82, .id = 12695, .section = kAT, .key = "ParametriAutotaratura", .keys = K::Indexed, .group = kF, .defaults = {1, 5, 2}},
    };
    // clang-format on
}

// The element count of a row that leaves it to its id.
CatalogueRow withElements(CatalogueRow row) {
    if (row.elements == 0)
        row.elements = row.lines * std::max({1, Catalogue::countOf(row.id),
                                             static_cast<int>(row.named.size())});
    return row;
}
}  // namespace

const std::vector<CatalogueRow>& Catalogue::rows() {
    static const std::vector<CatalogueRow> table = [] {
        std::vector<CatalogueRow> rows;
        for (const CatalogueRow& row : catalogueTable()) rows.push_back(withElements(row));
        return rows;
    }();
    return table;
}

const CatalogueRow& Catalogue::row(int number) { return rows().at(number - 1); }

const CatalogueRow* Catalogue::rowOfCode(uint32_t code) {
    for (const CatalogueRow& r : rows())
        if (r.id != 0 && r.extent == Extent::Fixed && (r.id & ~0xFF000u) == (code & ~0xFF000u))
            return &r;
    return nullptr;
}

uint32_t Catalogue::idFor(const CatalogueRow& row, int kRows, int kColumns) {
    switch (row.extent) {
        case Extent::Fixed:
            return row.id;
        case Extent::KRows:
            return row.id | (static_cast<uint32_t>(kRows) << 12);
        case Extent::KColumns:
        case Extent::KMap:
            return row.id | (static_cast<uint32_t>(kColumns) << 12);
    }
    return row.id;
}

int Catalogue::activeLines(const CatalogueRow& row, int kRows) {
    return row.extent == Extent::KMap ? kRows + 1 : row.lines;
}

std::vector<int> Catalogue::activeElements(const CatalogueRow& row, int kRows, int kColumns) {
    std::vector<int> out;
    switch (row.extent) {
        case Extent::Fixed:
            out.resize(static_cast<size_t>(row.elements));
            std::iota(out.begin(), out.end(), 0);
            break;
        case Extent::KRows:
        case Extent::KColumns: {
            const int n = row.extent == Extent::KRows ? kRows : kColumns;
            for (int i = 0; i < n; ++i) out.push_back(i);
            break;
        }
        case Extent::KMap:
            for (int r = 0; r <= kRows; ++r)
                for (int c = 0; c < kColumns; ++c) out.push_back(r * row.lineLength() + c);
            break;
    }
    return out;
}

QString Catalogue::key(const CatalogueRow& row, int element) {
    switch (row.keys) {
        case KeyStyle::None:
            return {};
        case KeyStyle::Single:
            return QString::fromLatin1(row.key);
        case KeyStyle::Indexed:
            return QString::fromLatin1(row.key) + QString::number(element);
        case KeyStyle::Grid:
            return QStringLiteral("%1%2_%3")
                .arg(QString::fromLatin1(row.key))
                .arg(element / row.lineLength())
                .arg(element % row.lineLength());
        case KeyStyle::Named:
            return element < static_cast<int>(row.named.size())
                       ? QString::fromLatin1(row.named[static_cast<size_t>(element)].key)
                       : QString();
    }
    return {};
}

QString Catalogue::section(const CatalogueRow& row, int element) {
    if (row.keys == KeyStyle::Named && element < static_cast<int>(row.named.size()) &&
        row.named[static_cast<size_t>(element)].section)
        return QString::fromLatin1(row.named[static_cast<size_t>(element)].section);
    return row.section ? QString::fromLatin1(row.section) : QString();
}

std::vector<int> Catalogue::progressSteps(const CatalogueRow& row, int kRows, int kColumns,
                                          bool selected) {
    switch (row.number) {
        case kKTimes:
        case kKRpm:
            return {12 * 2};
        case kKMap:
            return std::vector<int>(static_cast<size_t>(kRows + 1), selected ? kColumns : 12);
        default:
            break;
    }
    if (row.extent == Extent::KColumns) return {kColumns * row.width()};
    if (row.lines > 1)
        return std::vector<int>(static_cast<size_t>(row.lines), row.lineLength() * row.width());
    if (row.number == kKMapSize) return {2};
    return {row.elements * row.width()};
}

int Catalogue::grandTotal() {
    int total = 0;
    for (const CatalogueRow& r : rows())
        for (int step : progressSteps(r, kDefaultKRows, kDefaultKColumns, true)) total += step;
    return total;
}
