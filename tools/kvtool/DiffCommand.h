#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "ConfigReader.h"

struct ConfigDifference;

// kvtool diff A B: the parameters in which two configurations differ, one a line, in
// catalogue order. A and B are configuration files, or base configurations by fuel
// ("base:GPL", "base:Metano") or by number ("base:20"). Status 0 when they are equal, 1 when
// they differ, 2 when either cannot be read.
class DiffCommand {
  public:
    static constexpr int kEqual = 0;
    static constexpr int kDifferent = 1;
    static constexpr int kBadInput = 2;

    DiffCommand(const QString& key, const QString& library) : key_(key), library_(library) {}

    int Run(const QString& a, const QString& b);
    const QByteArray& out() const { return out_; }
    const QString& err() const { return err_; }

    // One difference as its line: key, the two values as shown, the raw values where the
    // shown ones are converted, the change of a K-map cell.
    static QString Line(const ConfigDifference& difference);

  private:
    std::optional<ParameterStore> Read(const QString& operand);
    std::optional<ParameterStore> ReadBase(const QString& operand, const QString& which);

    QString key_;
    QString library_;
    QByteArray out_;
    QString err_;
};
