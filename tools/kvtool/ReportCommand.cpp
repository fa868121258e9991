#include "ReportCommand.h"

#include <QDate>
#include <QGuiApplication>
#include <QTextDocument>

#include "BuildProfile.h"
#include "ConfigBaseLibrary.h"
#include "ConfigReader.h"
#include "IniFile.h"
#include "InstallationReport.h"
#include "Language.h"
#include "LanguageLibrary.h"
#include "ReportPdf.h"
#include "Scrambler.h"
#include "TQorGlobalData.h"

namespace {
constexpr int kFuelOption = 1;
}

int ReportCommand::Fail(const QString& message, int code) {
    err_ += QStringLiteral("kvtool: ") + message + QLatin1Char('\n');
    return code;
}

bool ReportCommand::ChooseLanguage() {
    static LanguageLibrary library;
    Language& language = Language::current();
    if (options_.language.isEmpty()) {
        language.Attach(nullptr);
        return true;
    }
    if (!library.Load()) {
        Fail(QStringLiteral("no language library, so no language %1").arg(options_.language), 2);
        return false;
    }
    language.Attach(&library);
    for (int i = 0; i < language.Count(); ++i) {
        language.SetIndex(i);
        if (language.Text(Language::kQtLocaleNumber) == options_.language) return true;
    }
    language.Attach(nullptr);
    Fail(QStringLiteral("the language library has no language %1").arg(options_.language), 2);
    return false;
}

int ReportCommand::Run(const QString& file, const QString& pdf) {
    QPageSize::PageSizeId page = QPageSize::A4;
    if (options_.page.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
        page = QPageSize::Letter;
    else if (!options_.page.isEmpty() &&
             options_.page.compare(QLatin1String("A4"), Qt::CaseInsensitive) != 0)
        return Fail(QStringLiteral("the page is A4 or Letter, not %1").arg(options_.page), 2);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return Fail(QStringLiteral("report needs the graphical application"));
    if (!Scrambler::ReadWholeFile(file, IniFile::kMaxSize))
        return Fail(file + QStringLiteral(": cannot read the file"));
    ConfigReader::Result read = ConfigReader::FromFile(file, options_.key);
    if (!read.store)
        return Fail(file + QStringLiteral(": not a configuration file (damaged, cut short or "
                                          "scrambled with another key)"));
    if (!ChooseLanguage()) return 2;

    ReportFacts facts;
    TQorGlobalData settings;
    settings.SetStrKey(QStringLiteral("\\Software\\") + BuildProfile::RegistrySubkey());
    facts.workshop = WorkshopDetails::Load(settings);
    facts.date = QDate::currentDate();
    // The base configuration of the file's fuel, as the connect command would choose it.
    std::optional<ParameterStore> base;
    ConfigBaseLibrary library;
    if (library.Load(options_.library)) {
        const int resource = library.GetResourceId(read.store->option(kFuelOption), 0, 0,
                                                   BuildProfile::CustomerCode());
        const auto data = resource > 0 ? library.Resource(resource) : std::nullopt;
        const auto text =
            data ? Scrambler::UnscrambleResourceBytes(*data, true, options_.key) : std::nullopt;
        if (text) base = ConfigReader::FromText(*text).store;
    }
    if (!base) err_ += QStringLiteral("kvtool: no base configuration, so no differences\n");
    facts.base = base ? &*base : nullptr;

    const InstallationReport report(*read.store, facts);
    const QString error = ReportPdf::Write(*report.Document(), pdf, page);
    if (!error.isEmpty()) return Fail(pdf + QStringLiteral(": cannot write the report: ") + error);
    return 0;
}
