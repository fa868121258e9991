#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "ConfigDifference.h"
#include "KMapGrid.h"

class ParameterStore;
struct CatalogueRow;

// The differences between two configurations (two stores' worth of values): every
// parameter a configuration file holds, element by element, in catalogue order, and the
// vehicle record at the header's place. Parameters are compared on what the ECU holds, their
// raw values; each is shown as the editor shows it, through value access. The K map comes
// as a grid as well, its changed cells being among the differences too.
class ConfigComparison {
  public:
    // The caption the editor shows for a file key; nothing where it shows none. The screens
    // own their captions, so the caller passes them in.
    using CaptionLookup =
        std::function<std::optional<QString>(const QString& section, const QString& key)>;
    // Text number of the current language, or design when there is none (the units).
    using TextLookup = std::function<QString(int number, const QString& design)>;
    struct Names {
        CaptionLookup caption;  // none: every parameter is named by its key
        TextLookup text;        // none: the units' design texts
    };

    ConfigComparison(const ParameterStore& a, const ParameterStore& b, Names names = {});

    const std::vector<ConfigDifference>& Differences() const { return differences_; }
    const KMapGrid& KMap() const { return kMap_; }
    int Count() const { return static_cast<int>(differences_.size()); }
    bool Equal() const { return differences_.empty(); }

  private:
    struct Holder;
    void compareRow(const CatalogueRow& row, const Holder& a, const Holder& b);
    void compareVehicle();
    void buildKMap();
    void add(ConfigDifference difference);

    const ParameterStore& a_;
    const ParameterStore& b_;
    Names names_;
    std::vector<ConfigDifference> differences_;
    KMapGrid kMap_;
};
