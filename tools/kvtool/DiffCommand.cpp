#include "DiffCommand.h"

#include "BuildProfile.h"
#include "Catalogue.h"
#include "ConfigBaseLibrary.h"
#include "ConfigComparison.h"
#include "IniFile.h"
#include "Scrambler.h"

namespace {
const QString kBasePrefix = QStringLiteral("base:");
const QString kSnapshotPrefix = QStringLiteral("snapshot:");

// The fuel a base configuration is chosen for: 0 LPG, 1 CNG.
std::optional<int> fuelOf(const QString& name) {
    for (const char* lpg : {"GPL", "LPG"})
        if (name.compare(QLatin1String(lpg), Qt::CaseInsensitive) == 0) return 0;
    for (const char* cng : {"Metano", "CNG"})
        if (name.compare(QLatin1String(cng), Qt::CaseInsensitive) == 0) return 1;
    return std::nullopt;
}

QString shownOf(const ConfigDifference& d, const ConfigDifference::Side& side) {
    if (!side.held) return QStringLiteral("-");
    return d.text ? u'"' + side.shown + u'"' : side.shown;
}
}  // namespace

int DiffCommand::Run(const QString& a, const QString& b) {
    const auto first = Read(a);
    if (!first) return kBadInput;
    const auto second = Read(b);
    if (!second) return kBadInput;
    const ConfigComparison comparison(*first, *second);
    for (const ConfigDifference& d : comparison.Differences()) out_ += Line(d).toUtf8() + '\n';
    return comparison.Equal() ? kEqual : kDifferent;
}

QString DiffCommand::Line(const ConfigDifference& d) {
    QString line =
        d.key + QStringLiteral(": ") + shownOf(d, d.a) + QStringLiteral(" -> ") + shownOf(d, d.b);
    if (d.converted)
        line += QStringLiteral(" (raw %1 -> %2)")
                    .arg(d.a.held ? QString::number(d.a.raw) : QStringLiteral("-"),
                         d.b.held ? QString::number(d.b.raw) : QStringLiteral("-"));
    if (d.row == Catalogue::kKMap && d.a.held && d.b.held)
        line += QStringLiteral(" (%1%2)")
                    .arg(d.Delta() > 0 ? QStringLiteral("+") : QString())
                    .arg(d.Delta());
    return line;
}

std::optional<ParameterStore> DiffCommand::Read(const QString& operand) {
    if (operand.startsWith(kBasePrefix)) return ReadBase(operand, operand.mid(kBasePrefix.size()));
    if (operand.startsWith(kSnapshotPrefix)) {
        // Snapshots live in the workshop archive, which this tool does not open yet.
        err_ += QStringLiteral(
                    "kvtool: %1: snapshots need the workshop archive, which this "
                    "kvtool cannot open\n")
                    .arg(operand);
        return std::nullopt;
    }
    if (!Scrambler::ReadWholeFile(operand, IniFile::kMaxSize)) {
        err_ += QStringLiteral("kvtool: %1: cannot read the file\n").arg(operand);
        return std::nullopt;
    }
    ConfigReader::Result read = ConfigReader::FromFile(operand, key_);
    if (!read.store)
        err_ += QStringLiteral(
                    "kvtool: %1: not a configuration file (damaged, cut short or "
                    "scrambled with another key)\n")
                    .arg(operand);
    return std::move(read.store);
}

std::optional<ParameterStore> DiffCommand::ReadBase(const QString& operand, const QString& which) {
    const std::optional<int> fuel = fuelOf(which);
    bool numbered = false;
    const int number = which.toInt(&numbered);
    if (!fuel && (!numbered || number <= 0)) {
        err_ += QStringLiteral(
                    "kvtool: %1: a base configuration is base:GPL, base:Metano or "
                    "base:N\n")
                    .arg(operand);
        return std::nullopt;
    }
    ConfigBaseLibrary library;
    if (!library.Load(library_)) {
        err_ += QStringLiteral("kvtool: %1: cannot load the base-configuration library: %2\n")
                    .arg(library_, library.LoadError());
        return std::nullopt;
    }
    // The base configuration the connect command starts from: injector type 0, this build's
    // customer.
    const int resource =
        fuel ? library.GetResourceId(*fuel, 0, 0, BuildProfile::CustomerCode()) : number;
    const auto data = resource > 0 ? library.Resource(resource) : std::nullopt;
    const auto text = data ? Scrambler::UnscrambleResourceBytes(*data, true, key_) : std::nullopt;
    ConfigReader::Result read =
        text ? ConfigReader::FromText(*text) : ConfigReader::Result{std::nullopt, {}};
    if (!read.store)
        err_ += data ? QStringLiteral(
                           "kvtool: %1: base configuration %2 is not readable with "
                           "this key\n")
                           .arg(operand)
                           .arg(resource)
                     : QStringLiteral("kvtool: %1: no base configuration %2\n")
                           .arg(operand)
                           .arg(resource);
    return std::move(read.store);
}
