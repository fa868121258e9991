#include "InstallationReportCommand.h"

#include <QDate>

#include "BuildProfile.h"
#include "ConfigBaseLibrary.h"
#include "ConfigReader.h"
#include "TFormOfficina.h"
#include "TFormRapporto.h"
#include "TStreamDati.h"

namespace {
constexpr int kFuelOption = 1;
}

void InstallationReportCommand::Run(const QString& folder) {
    ReportFacts facts;
    facts.workshop = WorkshopDetails::Load(data_.QorGlobalData());
    if (facts.workshop.IsEmpty()) {
        const auto entered = TFormOfficina::Ask(facts.workshop, parent_);
        if (!entered) return;
        facts.workshop = *entered;
        WorkshopDetails::Save(data_.QorGlobalData(), facts.workshop);
    }
    facts.date = QDate::currentDate();
    if (data_.IsConnected()) {
        facts.model = data_.Identity(1);
        facts.firmwareMajor = data_.Identity(3);
        facts.firmwareMinor = data_.Identity(2);
    }
    // The base configuration of the fuel in memory, as the connect command chooses it.
    std::optional<ParameterStore> base;
    if (ConfigBaseLibrary* library = ConfigBaseLibrary::Current()) {
        const int resource = library->GetResourceId(data_.GetOption(kFuelOption), 0, 0,
                                                    BuildProfile::CustomerCode());
        if (resource > 0) base = ConfigReader::FromResource(resource, data_.Key()).store;
    }
    facts.base = base ? &*base : nullptr;
    const InstallationReport report(data_.Store(), facts);
    TFormRapporto preview(report, folder, parent_);
    preview.exec();
}
