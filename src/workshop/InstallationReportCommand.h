#pragma once

#include <QString>

class QWidget;
class TStreamDati;

// The main screen's "Rapporto installazione...": the workshop's details the first time, then
// the preview of the report of the configuration in memory.
class InstallationReportCommand {
  public:
    InstallationReportCommand(TStreamDati& data, QWidget* parent) : data_(data), parent_(parent) {}

    // folder: the workshop folder, where "Rapporti" is made.
    void Run(const QString& folder);

  private:
    TStreamDati& data_;
    QWidget* parent_;
};
