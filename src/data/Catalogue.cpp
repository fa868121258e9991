#include "Catalogue.h"

#include <numeric>

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

// A scalar row with one key.
CatalogueRow scalar(int n, const char* section, const char* key, uint32_t id, double def,
                    int group = kB) {
    const int width = (id & 0x200u) ? 2 : 1;
    return {n,
            section,
            key,
            section ? K::Single : K::None,
            {},
            id,
            E::Fixed,
            1,
            1,
            width,
            (id & 0x400u) != 0,
            group,
            D::Values,
            {def}};
}

CatalogueRow scalarMs(int n, const char* section, const char* key, uint32_t id, double ms,
                      int group, Hook hook = H::None) {
    CatalogueRow row = scalar(n, section, key, id, ms, group);
    row.rule = D::Milliseconds;
    row.hook = hook;
    return row;
}

CatalogueRow scalarCode(int n, const char* key, uint32_t id, DefaultRule rule, double degrees,
                        int group) {
    CatalogueRow row = scalar(n, kAC, key, id, degrees, group);
    row.rule = rule;
    return row;
}

// An array row whose shape comes from its id.
CatalogueRow array(int n, const char* section, const char* key, KeyStyle keys, uint32_t id,
                   DefaultRule rule, std::vector<double> defs, int group = kB) {
    const int count = Catalogue::countOf(id);
    return {n,
            section,
            key,
            keys,
            {},
            id,
            E::Fixed,
            count,
            1,
            (id & 0x200u) ? 2 : 1,
            (id & 0x400u) != 0,
            group,
            rule,
            std::move(defs)};
}

CatalogueRow named(int n, const char* section, std::vector<NamedKey> keys, uint32_t id,
                   DefaultRule rule, std::vector<double> defs, int group) {
    CatalogueRow row = array(n, section, nullptr, K::Named, id, rule, std::move(defs), group);
    row.named = std::move(keys);
    row.elements = static_cast<int>(row.named.size());
    if (Catalogue::countOf(id) > row.elements) row.elements = Catalogue::countOf(id);
    return row;
}

// A row moved line by line: `lines` lines of the id's count.
CatalogueRow grid(int n, const char* section, const char* key, uint32_t id, int lines,
                  DefaultRule rule, std::vector<double> defs, int group) {
    CatalogueRow row = array(n, section, key, K::Grid, id, rule, std::move(defs), group);
    row.lines = lines;
    row.elements = lines * Catalogue::countOf(id);
    return row;
}

CatalogueRow withHook(CatalogueRow row, Hook hook) {
    row.hook = hook;
    return row;
}

std::vector<CatalogueRow> build() {
    std::vector<CatalogueRow> t;
    t.push_back(
        named(1, kG, {{nullptr, "Flag1"}, {nullptr, "Flag2"}}, 8963, D::Values, {1044, 1}, kI));
    CatalogueRow baseTempi = scalar(2, nullptr, nullptr, 633, Catalogue::kDefaultBaseTempi);
    baseTempi.hook = H::BaseTempi;
    t.push_back(baseTempi);
    t.push_back(withHook(scalar(3, kT, "TipoSensoreTemperaturaGas", 134, 0), H::GasSensorType));
    t.push_back(withHook(
        array(4, kT, "ParametriTempMotore", K::Indexed, 21898, D::Values, {18, 92, 5, -20, 30}),
        H::EngineCurve));
    t.push_back(
        withHook(array(5, kT, "EcuTempMotore", K::Indexed, 123275, D::Values,
                       {231, 224, 216, 206, 195, 183, 170, 156, 142, 128, 114, 101, 89, 78, 68,
                        59,  51,  44,  38,  33,  29,  25,  22,  19,  16,  14,  12,  11, 10, 8}),
                 H::EngineCurve));
    CatalogueRow size =
        named(6, kMK, {{nullptr, "NumeroRighe"}, {nullptr, "NumeroColonne"}}, 0, D::Values,
              {Catalogue::kDefaultKRows, Catalogue::kDefaultKColumns}, kK);
    size.hook = H::KMapSize;
    t.push_back(size);
    t.push_back({7,
                 "RiferimentiTempiK",
                 "RifTempiK",
                 K::Indexed,
                 {},
                 0x737,
                 E::KRows,
                 12,
                 1,
                 2,
                 true,
                 kK,
                 D::Milliseconds,
                 {2.0, 2.5, 3.0, 3.5, 4.5, 6.0, 8.0, 10.0, 12.0, 14.0, 16.0, 18.0}});
    t.push_back({8,
                 "RiferimentiGiriK",
                 "RifGiriK",
                 K::Indexed,
                 {},
                 0x73D,
                 E::KColumns,
                 12,
                 1,
                 2,
                 true,
                 kK,
                 D::KRpm,
                 {}});
    t.push_back({9,
                 "TempiKOpenLoop",
                 "TOpenLoop",
                 K::Indexed,
                 {},
                 0x37F,
                 E::KColumns,
                 12,
                 1,
                 2,
                 false,
                 kF,
                 D::Milliseconds,
                 {30}});
    t.push_back({10,
                 kMK,
                 "MappaK",
                 K::Grid,
                 {},
                 0x154,
                 E::KMap,
                 (Catalogue::kMaxKRows + 1) * Catalogue::kMaxKColumns,
                 Catalogue::kMaxKRows + 1,
                 1,
                 false,
                 kK,
                 D::KMap,
                 {},
                 H::KMap});
    CatalogueRow serial = array(11, nullptr, nullptr, K::None, 82176, D::Text, {});
    serial.text = "SerialNumberNotInEcu";
    serial.hook = H::SerialNumber;
    t.push_back(serial);
    t.push_back(scalar(12, kL, "TipoDiLambda", 4, 2));
    t.push_back(scalar(13, kL, "RifLambda", 5, 28));
    t.push_back(scalar(14, kL, "RitardoLetturaSonda", 6, 0));
    t.push_back(scalar(15, kL, "TempoSondaFredda", 7, 5));
    t.push_back(scalar(16, kL, "RifSupSondaFredda", 8, 31));
    t.push_back(scalar(17, kL, "RifInfSondaFredda", 9, 15));
    t.push_back(scalar(18, kL, "RifSupSondaCalda", 10, 31));
    t.push_back(scalar(19, kL, "RifInfSondaCalda", 11, 15));
    t.push_back(array(20, "RiferimentiGiri", "RifGiri", K::Indexed, 49932, D::Values,
                      {500, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500, 5000, 5500, 6000}));
    t.push_back(scalarCode(21, "TemperaturaCambio", 15, D::GasCodes, 25, kB));
    t.push_back(scalar(22, kAC, "GiriPerCambio", 528, 1600));
    t.push_back(scalar(23, kAC, "RitardoMinimoCambio", 17, 60));
    t.push_back(scalar(24, nullptr, nullptr, 530, 0));
    t.push_back(scalar(25, kAC, "NumeroCilindri", 20, 2));
    t.push_back(scalar(26, nullptr, nullptr, 23, 0));
    t.push_back(scalar(27, nullptr, nullptr, 536, 0));
    t.push_back(array(28, nullptr, nullptr, K::None, 41241, D::Values, {0}));
    t.push_back(scalar(29, "TPS", "TipoDiTps", 26, 0));
    t.push_back(withHook(scalar(30, kSL, "TipoSensore", 36, 0), H::LevelSensorType));
    t.push_back(array(31, kSL, "RifSensore", K::Indexed, 16677, D::Values, {155, 127, 102, 77}));
    t.push_back(array(32, kT, "Rif", K::Indexed, 41258, D::GasReferences,
                      {70, 60, 50, 40, 35, 30, 25, 20}, kFS));
    t.push_back(array(33, kT, "Coeff", K::Indexed, 37163, D::Values,
                      {100, 99, 97, 94, 92, 90, 88, 86, 84}, kFS));
    t.push_back(grid(34, kDia, "Azione", 12593, 3, D::Values, {0}, kB));
    t.push_back(scalar(35, kArr, "TipoIniezione", 52, 3));
    t.push_back(withHook(array(36, kG, nullptr, K::None, 123189, D::Header, {128}), H::Header));
    t.push_back(scalar(37, kArr, "CorrenteMantenimento", 56, 10, kI));
    t.push_back(array(38, kDia, "Stato", K::Indexed, 20793, D::Values, {0}));
    t.push_back(array(39, kDia, "Abilitazione", K::Indexed, 20794, D::Values, {0}));
    t.push_back(scalar(40, nullptr, nullptr, 571, 0));
    t.push_back(scalar(41, nullptr, nullptr, 572, 0));
    t.push_back(scalar(42, kSL, "TempoRitBenzina", 62, 2));
    CatalogueRow r43 = scalar(43, nullptr, nullptr, 67, 0);
    r43.readOnly = true;
    t.push_back(r43);
    CatalogueRow r44 = scalar(44, nullptr, nullptr, 68, 0);
    r44.readOnly = true;
    t.push_back(r44);
    t.push_back(scalar(45, kEm, "LivelloAlto", 71, 41));
    t.push_back(scalar(46, kEm, "LivelloBasso", 72, 5));
    t.push_back(
        withHook(named(47, kArr, {{nullptr, "TempoMaxCorrente"}, {nullptr, "TempoMaxCorrente1"}},
                       9034, D::Milliseconds, {3, 0}, kI),
                 H::MaxCurrentTime));
    t.push_back(scalar(48, kG, "Cilindrata", 587, 1600));
    t.push_back(array(49, kDia, "Temperatura", K::Indexed, 16721, D::TemperatureLimits,
                      {-40, 180, -40, 180}));
    t.push_back(scalarMs(50, kInj, "TempoAperturaIniettore", 595, 1.5, kI));
    t.push_back(scalarMs(51, kInj, "TempoChiusuraIniettore", 594, 0, kI));
    t.push_back(array(52, kT, "RifMot", K::Indexed, 41308, D::EngineReferences,
                      {70, 60, 50, 40, 35, 30, 25, 20}, kFS));
    t.push_back(array(53, kT, "CoeffMot", K::Indexed, 37213, D::Values,
                      {109, 106, 103, 100, 97, 94, 91, 88, 85}, kFS));
    t.push_back(scalar(54, kAC, "TempoSovrapposizione", 109, 0));
    t.push_back(scalarCode(55, "TemperaturaMotoreCambio", 117, D::EngineCodes, 35, kB));
    t.push_back(scalar(56, kArr, "FreqHoldingCurrent", 118, 50, kI));
    t.push_back(scalar(57, kArr, "ValPercHoldingCurrent", 119, 45, kI));
    t.push_back(named(58, kG,
                      {{nullptr, "OffsetMapInterno"},
                       {nullptr, "PendenzaMapInterno"},
                       {nullptr, "OffsetMapEsterno"},
                       {nullptr, "PendenzaMapEsterno"},
                       {nullptr, "OffsetDiff"},
                       {nullptr, "PendenzaDiff"}},
                      26488, D::Values, {100, 500, 100, 500, -108, 542}, kBI));
    t.push_back(scalar(59, kArr, "SafetyTime", 122, 20));
    CatalogueRow r60 = array(
        60, kPD, "RifPressDiff", K::Indexed, 62331, D::Scaled,
        {0.5, 0.55, 0.59, 0.63, 0.67, 0.71, 0.75, 0.79, 0.83, 0.87, 0.91, 0.95, 1.0, 1.05, 1.1},
        kFS);
    r60.scale = 1000.0;
    t.push_back(r60);
    CatalogueRow r61 = array(61, kPD, "CoeffPressDiff", K::Indexed, 63356, D::Scaled,
                             {34.32, 29.89, 26.49, 23.21, 20.0, 16.94, 13.93, 11.01, 8.16, 5.38,
                              2.66, 0.0, -3.25, -6.41, -9.51},
                             kFS);
    r61.scale = 10.0 / 3.0;
    r61.hook = H::PressureCoefficients;
    t.push_back(r61);
    t.push_back(scalarMs(62, kInj, "TempoMortoIniettoreBenzina", 637, 0.3, kI));
    t.push_back(scalarMs(63, kInj, "TempoMortoIniettoreGas", 638, 1.1, kI));
    t.push_back(scalarMs(64, kInj, "TempoFuoriStabilizzato", 640, 0.6, kB));
    t.push_back(named(65, kInj,
                      {{kInj, "KFiltro"}, {kEm, "TempoEmulazioneMagra1"}, {kInj, "KFiltro2"}},
                      12673, D::Values, {128}, kFS));
    t.push_back(array(66, kEm, "RiferimentiSondaLambda", K::Indexed, 49538, D::Values, {26}));
    t.push_back(array(67, kEm, "RitardoEmulazioneRicca", K::Indexed, 50051, D::Values, {0}));
    t.push_back(
        named(68, kEm, {{nullptr, "Opzione1"}, {nullptr, "Opzione2"}}, 9093, D::Values, {0}, kB));
    t.push_back(scalar(69, kEm, "RitardoGiriEmulazione", 135, 0));
    t.push_back(scalar(70, kEm, "SmagrimentoRientroCutoff", 136, 100));
    t.push_back(scalar(71, kEm, "NumeroIniettateSmagrimento", 137, 0));
    CatalogueRow r72 = scalar(72, kEm, nullptr, 653, 8000, kFS);
    r72.keys = K::Named;
    r72.named = {{nullptr, "TempoEmulazioneMagra0"}};
    t.push_back(r72);
    t.push_back(scalarMs(73, kArr, "SafeDelay", 654, 2, kB, H::SafeDelay));
    t.push_back(
        grid(74, "TInjDefault", "TInjDefault", 9103, 8, D::Milliseconds,
             {2.5, 2.5, 2.6, 2.6, 2.7, 2.7, 2.8, 2.8, 2.9, 2.9, 3.0, 3.0, 3.1, 3.1, 3.2, 3.2}, kB));
    t.push_back(scalarCode(75, "TemperaturaAutotaratura", 144, D::EngineCodes, 35, kF));
    t.push_back(named(76, kAT,
                      {{nullptr, "ScartoMinimoTaratura0"}, {nullptr, "ScartoMinimoTaratura1"}},
                      9105, D::Milliseconds, {0.2, 0}, kF));
    t.push_back(scalarMs(77, kAC, "TInjBenzMaxCambio", 658, 12, kB));
    t.push_back(scalar(78, kAT, "SpostamentoTaratura", 659, 0, kF));
    t.push_back(
        withHook(array(79, kInj, "TipoIniettoreSoftware", K::Single, 8596, D::Values, {0}, kI),
                 H::InjectorType));
    t.push_back(grid(80, kAT, "MappaCorrAutotaratura", 17813, 4, D::Values, {0}, kF));
    t.push_back(scalar(81, kAT, "GiriAutotaratura", 662, 2800, kF));
    t.push_back(
        array(82, kAT, "ParametriAutotaratura", K::Indexed, 12695, D::Values, {1, 5, 2}, kF));
    return t;
}
}  // namespace

const std::vector<CatalogueRow>& Catalogue::rows() {
    static const std::vector<CatalogueRow> table = build();
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
    if (row.extent == Extent::KColumns) return {kColumns * row.width};
    if (row.lines > 1)
        return std::vector<int>(static_cast<size_t>(row.lines), row.lineLength() * row.width);
    if (row.number == kKMapSize) return {2};
    return {row.elements * row.width};
}

int Catalogue::grandTotal() {
    int total = 0;
    for (const CatalogueRow& r : rows())
        for (int step : progressSteps(r, kDefaultKRows, kDefaultKColumns, true)) total += step;
    return total;
}
