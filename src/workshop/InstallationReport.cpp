#include "InstallationReport.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTextDocument>
#include <algorithm>

#include "Catalogue.h"
#include "ConfigComparison.h"
#include "EcuSession.h"
#include "EditorCaptions.h"
#include "EngineCodes.h"
#include "LambdaProbe.h"
#include "Language.h"
#include "LevelSensor.h"
#include "ParameterStore.h"
#include "StoreCurves.h"
#include "ValueAccess.h"

namespace {
constexpr int kFuelOption = 1;
constexpr int kWeakSignalBit = 6;
constexpr int kCylinderEntries = 5;  // every entry: a file may come from any model
constexpr int kZones = 4;
constexpr int kZoneColumns = 2;
const QString kNone = QStringLiteral("-");
// The level sensors of the editor's list; their names are not translated.
const char* const kLevelSensors[] = {"Q.O.R.", "0 - 90 ohm"};

QString text(int number, const char* design) {
    return LoadTextOr(number, QString::fromUtf8(design));
}

QString escaped(const QString& s) { return s.isEmpty() ? kNone : s.toHtmlEscaped(); }

// A list entry's text, or a dash when the list has no entry for the stored value.
QString entry(int first, std::initializer_list<const char*> designs, int position) {
    if (position < 0 || position >= static_cast<int>(designs.size())) return kNone;
    return text(first + position, designs.begin()[position]);
}

QString table(const std::vector<InstallationReport::Line>& lines) {
    QString html = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">");
    for (const InstallationReport::Line& line : lines)
        html += QStringLiteral("<tr><td width=\"55%\">%1</td><td><b>%2</b></td></tr>")
                    .arg(line.caption.toHtmlEscaped(), line.value.toHtmlEscaped());
    return html + QStringLiteral("</table>");
}

QString heading(const QString& title) {
    return QStringLiteral("<h3 style=\"background-color:#dde4ee;\">%1</h3>")
        .arg(title.toHtmlEscaped());
}

// A cell's background: white at the map's lowest value, deep orange at its highest.
QString shade(int32_t value, int32_t low, int32_t high) {
    const double t = high > low ? double(value - low) / double(high - low) : 0.0;
    const auto mix = [t](int from, int to) { return int(from + (to - from) * t + 0.5); };
    return QStringLiteral("#%1%2%3")
        .arg(mix(255, 240), 2, 16, QLatin1Char('0'))
        .arg(mix(255, 140), 2, 16, QLatin1Char('0'))
        .arg(mix(255, 60), 2, 16, QLatin1Char('0'));
}
}  // namespace

InstallationReport::InstallationReport(const ParameterStore& store, ReportFacts facts)
    : store_(store), facts_(std::move(facts)) {}

QString InstallationReport::FileName() const {
    QString name = facts_.plate;
    if (name.trimmed().isEmpty()) name = store_.vehicle().description;
    if (name.trimmed().isEmpty()) name = store_.description();
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]+"));
    name = name.trimmed().replace(unsafe, QStringLiteral("_")).left(60);
    if (name.isEmpty()) name = QStringLiteral("rapporto");
    return name + u'_' + facts_.date.toString(Qt::ISODate) + QStringLiteral(".pdf");
}

std::vector<InstallationReport::Section> InstallationReport::Parameters() const {
    return {changeoverSection(), lambdaSection(), levelSection(), zoneSection()};
}

InstallationReport::Section InstallationReport::changeoverSection() const {
    const TemperatureCurve gas = StoreCurves::Gas(store_);
    const TemperatureCurve engine = StoreCurves::Engine(store_);
    const auto shown = [&](uint32_t code) {
        const ValueAccess::Code* c = ValueAccess::Find(code);
        const CatalogueRow* row = Catalogue::rowOfCode(code);
        return ValueAccess::ToEngineering(*c, store_.value(row->number), store_.tick(),
                                          {gas, engine});
    };
    const int32_t ignition = store_.value(Catalogue::kIgnition);
    const int cylinders = EngineCodes::CylinderEntry(static_cast<int>(shown(52)), kCylinderEntries);
    const int threshold = static_cast<int>(shown(528));
    Section s{text(95, "Cambio"), {}};
    s.lines = {
        {text(140, "Tipo carburante"), entry(317, {"GPL", "Metano"}, store_.option(kFuelOption))},
        {text(130, "Tipo di segnale giri"),
         entry(131, {"Standard", "Debole"}, (ignition >> kWeakSignalBit) & 1)},
        {text(133, "Numero cilindri"),
         entry(134, {"3 cilindri", "4 cilindri", "5 cilindri", "6 cilindri", "8 cilindri"},
               cylinders)},
        {text(142, "Tipo di accensione"),
         entry(143, {"Monobobina", "Bibobina", "Contagiri"},
               EngineCodes::IgnitionEntry(static_cast<int>(shown(20))))},
        {text(150, "Soglia giri per il cambio"),
         threshold != 0 ? QStringLiteral("%1 %2").arg(threshold).arg(text(126, "rpm")) : kNone},
        {text(155, "Temperatura riduttore per il cambio"),
         QStringLiteral("%1 %2").arg(qRound(shown(15))).arg(text(123, "°C"))},
    };
    return s;
}

InstallationReport::Section InstallationReport::lambdaSection() const {
    const int probe = LambdaProbe::EntryOf(store_.value(Catalogue::kLambdaType));
    return {text(96, "Lambda"),
            {{text(158, "Tipo di sonda Lambda"),
              entry(159, {"0 - 1 Volt", "0 - 5 Volt", "5 - 0 Volt", "0.8 - 1.6 Volt"}, probe)}}};
}

InstallationReport::Section InstallationReport::levelSection() const {
    const int32_t code = store_.value(Catalogue::kLevelSensorType);
    const int position = LevelSensor::PositionOf(code);
    Section s{text(98, "Livello gas"), {}};
    const bool listed = position >= 0 && position < int(std::size(kLevelSensors));
    s.lines.push_back({text(183, "Tipo di sensore livello GAS"),
                       listed ? QString::fromUtf8(kLevelSensors[position]) : kNone});
    const char* designs[] = {"Riserva", "1/4", "2/4", "3/4"};
    for (int i = 0; i < LevelSensor::kReferences; ++i)
        s.lines.push_back(
            {text(190 + i, designs[i]), QString::number(LevelSensor::Shown(
                                            store_.value(Catalogue::kLevelReferences, i), code))});
    return s;
}

InstallationReport::Section InstallationReport::zoneSection() const {
    const char* zones[] = {"Carico molto basso", "Basso carico", "Medio carico", "Massima potenza"};
    const char* columns[] = {"Minimo", "Fuori minimo"};
    const int line = Catalogue::row(Catalogue::kZoneCorrections).lineLength();
    Section s{text(492, "Modifica manuale carburazione (+-25%)"), {}};
    for (int zone = 0; zone < kZones; ++zone)
        for (int column = 0; column < kZoneColumns; ++column) {
            const int32_t value = store_.value(Catalogue::kZoneCorrections, zone * line + column);
            s.lines.push_back({text(495 + zone, zones[zone]) + QStringLiteral(" - ") +
                                   text(493 + column, columns[column]),
                               QStringLiteral("%1%2").arg(value > 0 ? "+" : "").arg(value)});
        }
    return s;
}

QString InstallationReport::headerHtml() const {
    const WorkshopDetails w = facts_.workshop.Bounded();
    QString html = QStringLiteral("<table width=\"100%\"><tr><td><b>%1</b><br>%2<br>%3 %4</td>")
                       .arg(escaped(w.name), escaped(w.address),
                            text(724, "Telefono").toHtmlEscaped(), escaped(w.telephone));
    html += QStringLiteral("<td align=\"right\">%1: %2</td></tr></table>")
                .arg(text(725, "Data").toHtmlEscaped(),
                     QLocale().toString(facts_.date, QLocale::ShortFormat).toHtmlEscaped());
    return html + QStringLiteral("<h1 align=\"center\">%1</h1>")
                      .arg(text(721, "Rapporto di installazione").toHtmlEscaped());
}

QString InstallationReport::vehicleHtml() const {
    const VehicleRecord& v = store_.vehicle();
    const QString description = v.description.isEmpty() ? store_.description() : v.description;
    std::vector<Line> lines;
    if (!facts_.plate.isEmpty()) lines.push_back({text(727, "Targa"), facts_.plate});
    if (!facts_.vin.isEmpty()) lines.push_back({text(728, "Telaio (VIN)"), facts_.vin});
    if (!facts_.makeModel.isEmpty())
        lines.push_back({text(729, "Marca e modello"), facts_.makeModel});
    if (!facts_.customer.isEmpty()) lines.push_back({text(730, "Cliente"), facts_.customer});
    const auto orDash = [](const QString& s) { return s.isEmpty() ? kNone : s; };
    lines.push_back({text(731, "Descrizione"), orDash(description)});
    lines.push_back({text(732, "Euro"), orDash(v.euro)});
    lines.push_back({text(733, "Motore"), orDash(v.engine)});
    lines.push_back({text(734, "Centralina del veicolo"), orDash(v.ecu)});
    lines.push_back({text(735, "Cambio"), orDash(v.gearbox)});
    return heading(text(726, "Veicolo")) + table(lines);
}

QString InstallationReport::ecuHtml() const {
    const auto number = [](const std::optional<int>& n) { return n ? QString::number(*n) : kNone; };
    QString firmware = kNone;
    if (facts_.firmwareMajor && facts_.firmwareMinor)
        firmware = QStringLiteral("%1.%2").arg(*facts_.firmwareMajor).arg(*facts_.firmwareMinor);
    const QString serial = store_.serialNumber();
    const bool held = !serial.isEmpty() && serial != QLatin1String(EcuSession::kNoSerialNumber);
    const std::vector<Line> lines = {
        {text(737, "Modello"), number(facts_.model)},
        {text(35, "Versione firmware"), firmware},
        {text(738, "Numero di serie"), held ? serial : kNone},
    };
    return heading(text(736, "Centralina gas")) + table(lines);
}

QString InstallationReport::kMapHtml() const {
    const int lines = Catalogue::activeLines(Catalogue::row(Catalogue::kKMap), store_.kRows());
    const int columns = store_.kColumns();
    const int stride = Catalogue::row(Catalogue::kKMap).lineLength();
    std::vector<int32_t> cells;
    for (int r = 0; r < lines; ++r)
        for (int c = 0; c < columns; ++c)
            cells.push_back(store_.value(Catalogue::kKMap, r * stride + c));
    if (cells.empty()) return {};
    const auto [low, high] = std::minmax_element(cells.begin(), cells.end());
    QString html = heading(text(740, "Mappa K")) +
                   QStringLiteral(
                       "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" "
                       "style=\"border-color:#888;\"><tr><th></th>");
    for (int c = 0; c < columns; ++c)
        html += QStringLiteral("<th>%1</th>").arg(store_.value(Catalogue::kKRpm, c));
    html += QStringLiteral("</tr>");
    for (int r = 0; r < lines; ++r) {
        html += QStringLiteral("<tr><th>%1</th>").arg(r);
        for (int c = 0; c < columns; ++c) {
            const int32_t v = cells[size_t(r * columns + c)];
            html += QStringLiteral("<td align=\"center\" bgcolor=\"%1\">%2</td>")
                        .arg(shade(v, *low, *high))
                        .arg(v);
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString InstallationReport::differencesHtml() const {
    if (!facts_.base) return {};
    QString html = heading(text(741, "Differenze dalla configurazione base"));
    const ConfigComparison comparison(*facts_.base, store_, EditorCaptions::Names());
    if (comparison.Equal())
        return html +
               QStringLiteral("<p>%1</p>").arg(text(742, "Nessuna differenza").toHtmlEscaped());
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
    for (const ConfigDifference& d : comparison.Differences())
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>&rarr;</td><td><b>%3</b></td></tr>")
                    .arg(d.caption.toHtmlEscaped(), d.a.held ? d.a.shown.toHtmlEscaped() : kNone,
                         d.b.held ? d.b.shown.toHtmlEscaped() : kNone);
    return html + QStringLiteral("</table>");
}

QString InstallationReport::footerHtml() const {
    QString html;
    if (facts_.lastCalibration)
        html += QStringLiteral("<p>%1: <b>%2</b></p>")
                    .arg(text(743, "Ultima calibrazione").toHtmlEscaped(),
                         QLocale()
                             .toString(facts_.lastCalibration->toLocalTime(), QLocale::ShortFormat)
                             .toHtmlEscaped());
    return html + QStringLiteral("<p><br><br>%1: ______________________________</p>")
                      .arg(text(744, "Firma del tecnico").toHtmlEscaped());
}

QString InstallationReport::Html() const {
    QString html =
        QStringLiteral("<html><body style=\"font-family:'DejaVu Sans'; font-size:9pt;\">");
    html += headerHtml() + vehicleHtml() + ecuHtml();
    html +=
        QStringLiteral("<h2>%1</h2>").arg(text(739, "Parametri di installazione").toHtmlEscaped());
    for (const Section& s : Parameters()) html += heading(s.title) + table(s.lines);
    html += kMapHtml() + differencesHtml() + footerHtml();
    return html + QStringLiteral("</body></html>");
}

std::unique_ptr<QTextDocument> InstallationReport::Document() const {
    auto document = std::make_unique<QTextDocument>();
    document->setHtml(Html());
    return document;
}
