#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "ParameterStore.h"

class ConfigSource;

// A configuration read into a store of its own, beside the program's: defaults, then the
// values of a configuration file, a plain INI text or a base configuration, as a load from
// file puts them in memory. Nothing reaches an ECU and the file is never written back.
class ConfigReader {
  public:
    struct Result {
        std::optional<ParameterStore> store;
        QString error;  // the reason when there is no store
    };

    // A configuration file, scrambled with key (or already unscrambled, with its header).
    static Result FromFile(const QString& fileName, const QString& key);
    // Plain configuration text, with or without the unscrambled header line.
    static Result FromText(const QByteArray& text);
    // Base configuration number of ConfigBaseLibrary::Current().
    static Result FromResource(int number, const QString& key);

  private:
    static Result Read(const std::function<void(ConfigSource&)>& open);
};
