#pragma once

#include <QString>
#include <optional>

#include "ConfigComparison.h"

// The captions under which the editor shows the parameters of a configuration, by file key,
// in the current language: for the screens that list parameters, such as the comparison of
// two configurations. A zone correction is named by its zone and its column.
class EditorCaptions {
  public:
    // Nothing where the editor shows no caption for the key.
    static std::optional<QString> Of(const QString& section, const QString& key);
    // The comparison's names: these captions, the units in the current language.
    static ConfigComparison::Names Names();
};
