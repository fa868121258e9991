#include "EditorCaptions.h"

#include <QRegularExpression>

#include "CaptionLoader.h"

namespace {
struct Caption {
    const char* section;
    const char* key;
    int number;
    const char* design;
    int buffer;
};

// The fields of the tabs and their captions. Variable 20 ("NumeroCilindri") is the ignition
// list, variable 52 ("TipoIniezione") the cylinder list.
constexpr Caption kCaptions[] = {
    {"Accensione-Cambio", "GiriPerCambio", 150, "Soglia giri per il cambio", CaptionLoader::kField},
    {"Accensione-Cambio", "TemperaturaCambio", 155, "Temperatura riduttore per il cambio",
     CaptionLoader::kField},
    {"Accensione-Cambio", "NumeroCilindri", 142, "Tipo di accensione", CaptionLoader::kField},
    {"Arricchimento", "TipoIniezione", 133, "Numero cilindri", CaptionLoader::kField},
    {"Lambda", "TipoDiLambda", 158, "Tipo di sonda Lambda", CaptionLoader::kField},
    {"SensoreDiLivello", "TipoSensore", 183, "Tipo di sensore livello GAS", CaptionLoader::kField},
    {"SensoreDiLivello", "RifSensore0", 190, "Riserva", CaptionLoader::kLevel},
    {"SensoreDiLivello", "RifSensore1", 191, "1/4", CaptionLoader::kLevel},
    {"SensoreDiLivello", "RifSensore2", 192, "2/4", CaptionLoader::kLevel},
    {"SensoreDiLivello", "RifSensore3", 193, "3/4", CaptionLoader::kLevel},
};

// The manual carburation tab: zones 0..3 by rows, "Minimo" and "Fuori minimo" by columns.
constexpr int kZoneFirst = 495;
constexpr int kColumnFirst = 493;
const char* const kZones[] = {"Carico molto basso", "Basso carico", "Medio carico",
                              "Massima potenza"};
const char* const kColumns[] = {"Minimo", "Fuori minimo"};

std::optional<QString> zoneCaption(const QString& section, const QString& key) {
    static const QRegularExpression zoneKey(
        QStringLiteral("^MappaCorrAutotaratura([0-3])_([01])$"));
    if (section != QLatin1String("AutoTaratura")) return std::nullopt;
    const QRegularExpressionMatch match = zoneKey.match(key);
    if (!match.hasMatch()) return std::nullopt;
    const int zone = match.captured(1).toInt();
    const int column = match.captured(2).toInt();
    return CaptionLoader::Text(kZoneFirst + zone, QString::fromUtf8(kZones[zone])) +
           QStringLiteral(" - ") +
           CaptionLoader::Text(kColumnFirst + column, QString::fromUtf8(kColumns[column]));
}
}  // namespace

std::optional<QString> EditorCaptions::Of(const QString& section, const QString& key) {
    for (const Caption& c : kCaptions)
        if (section == QLatin1String(c.section) && key == QLatin1String(c.key))
            return CaptionLoader::Text(c.number, QString::fromUtf8(c.design), c.buffer);
    return zoneCaption(section, key);
}

ConfigComparison::Names EditorCaptions::Names() {
    return {&EditorCaptions::Of,
            [](int number, const QString& design) { return CaptionLoader::Text(number, design); }};
}
