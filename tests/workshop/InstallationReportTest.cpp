#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

#include "Catalogue.h"
#include "ConfigReader.h"
#include "InstallationReport.h"
#include "Language.h"
#include "LanguageLibrary.h"
#include "LoopbackEcu.h"
#include "PdfText.h"
#include "ReportPdf.h"
#include "ScriptedDialogs.h"
#include "TStreamDati.h"
#include "TemporarySettings.h"
#include "VirtualClock.h"

namespace {

// The zone corrections put into the virtual ECU: a value of its own for every cell shown.
constexpr int32_t kCorrections[4][2] = {{-7, 3}, {12, -1}, {5, -25}, {25, 9}};

// The virtual ECU's configuration read into the program's store, as after a connect.
class InstallationReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        loop = std::make_unique<LoopbackEcu>(clock);
        std::vector<int32_t> zones(16, 0);
        for (int z = 0; z < 4; ++z)
            for (int c = 0; c < 2; ++c) zones[size_t(z * 4 + c)] = kCorrections[z][c];
        ASSERT_TRUE(loop->poke(sim::EcuVariableTable::kCorrection, zones));
        data = std::make_unique<TStreamDati>(TStreamDati::Options{.loadLinkLibrary = false});
        data->QorConnectEcu().UseLink(&loop->link(), [](IEcuLink*) {});
        ASSERT_TRUE(loop->connect());
        ASSERT_TRUE(data->ReadIdentity());
        ASSERT_TRUE(data->Transfer(TStreamDati::kLoadDefaults | TStreamDati::kReadEcu));
        data->KeepSerialNumber(data->ReadEcuSerialNumber());
        ASSERT_TRUE(data->SetVehicleText(1, QStringLiteral("Panda 1.2 Dynamic")));
        ASSERT_TRUE(data->SetValue(528, 1850));
    }
    void TearDown() override { Language::current().Attach(nullptr); }

    ReportFacts facts() const {
        ReportFacts f;
        f.workshop = {QStringLiteral("Officina Rossi"), QStringLiteral("Via Roma 1, Torino"),
                      QStringLiteral("011 555 1234")};
        f.date = QDate(2026, 12, 11);
        f.model = data->Identity(1);
        f.firmwareMajor = data->Identity(3);
        f.firmwareMinor = data->Identity(2);
        return f;
    }

    QString pdfOf(const ParameterStore& store, const ReportFacts& f, QPageSize::PageSizeId size) {
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        const QString error =
            ReportPdf::Write(*InstallationReport(store, f).Document(), file, size);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return PdfText(file);
    }

    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    std::unique_ptr<LoopbackEcu> loop;
    std::unique_ptr<TStreamDati> data;
    QTemporaryDir dir;
};

bool hasLine(const QString& text, const QString& caption, const QString& value) {
    const QRegularExpression line(QRegularExpression::escape(caption) + QStringLiteral(" +") +
                                  QRegularExpression::escape(value) + QStringLiteral("\\s"));
    return line.match(text).hasMatch();
}

TEST_F(InstallationReportTest, ThePdfHoldsTheEcusConfigurationInEitherLanguage) {
    struct Case {
        int block;  // language block: 0 the program's own Italian, 1 English
        QPageSize::PageSizeId size;
        const char* threshold;
        const char* probe;
        const char* serial;
        const char* zones[4];
        const char* columns[2];
    };
    const Case cases[] = {
        {0,
         QPageSize::A4,
         "Soglia giri per il cambio",
         "Tipo di sonda Lambda",
         "Numero di serie",
         {"Carico molto basso", "Basso carico", "Medio carico", "Massima potenza"},
         {"Minimo", "Fuori minimo"}},
        {1,
         QPageSize::Letter,
         "Changeover rpm threshold",
         "Lambda probe type",
         "Serial number",
         {"Very low load", "Low load", "Medium load", "Full power"},
         {"Idle", "Off idle"}},
    };
    LanguageLibrary library;
    ASSERT_TRUE(library.Load());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        Language::current().Attach(&library);
        Language::current().SetIndex(c.block);
        const QString text = pdfOf(data->Store(), facts(), c.size);
        EXPECT_TRUE(text.contains(QStringLiteral("Panda 1.2 Dynamic"))) << text.toStdString();
        EXPECT_TRUE(hasLine(text, c.serial, QStringLiteral("VE-0030-2401-000123")));
        EXPECT_TRUE(hasLine(text, c.threshold, QStringLiteral("1850 rpm"))) << text.toStdString();
        EXPECT_TRUE(hasLine(text, c.probe, QStringLiteral("0 - 1 Volt")));
        EXPECT_TRUE(text.contains(QStringLiteral("Officina Rossi")));
        EXPECT_TRUE(text.contains(QStringLiteral("4.7")));  // firmware
        for (int z = 0; z < 4; ++z)
            for (int col = 0; col < 2; ++col) {
                const int32_t v = kCorrections[z][col];
                EXPECT_TRUE(hasLine(text,
                                    QString::fromUtf8(c.zones[z]) + QStringLiteral(" - ") +
                                        QString::fromUtf8(c.columns[col]),
                                    (v > 0 ? QStringLiteral("+") : QString()) + QString::number(v)))
                    << z << "/" << col << "\n"
                    << text.toStdString();
            }
    }
}

TEST_F(InstallationReportTest, AnOlderConfigurationShowsItsOwnValuesAndItsDifferences) {
    // What a snapshot keeps: the configuration's INI text, here with another threshold.
    const QByteArray snapshot =
        "[Generale]\nDescrizAuto=Punto 1.4 vecchia\n[Accensione-Cambio]\nGiriPerCambio=2400\n";
    ConfigReader::Result older = ConfigReader::FromText(snapshot);
    ASSERT_TRUE(older.store) << older.error.toStdString();
    ReportFacts f = facts();
    f.plate = QStringLiteral("AB 123 CD");
    f.base = &data->Store();
    f.lastCalibration = QDateTime(QDate(2026, 11, 30), QTime(9, 15));
    const InstallationReport report(*older.store, f);
    const QString text = pdfOf(*older.store, f, QPageSize::A4);
    const QString parameters = text.left(text.indexOf(QStringLiteral("Differenze")));
    EXPECT_TRUE(hasLine(parameters, QStringLiteral("Soglia giri per il cambio"),
                        QStringLiteral("2400 rpm")));
    EXPECT_FALSE(parameters.contains(QStringLiteral("1850 rpm")));
    EXPECT_TRUE(text.contains(QStringLiteral("Punto 1.4 vecchia")));
    EXPECT_TRUE(hasLine(text, QStringLiteral("Targa"), QStringLiteral("AB 123 CD")));
    EXPECT_TRUE(text.contains(QStringLiteral("Ultima calibrazione")));
    // The threshold among the differences from the other configuration, both values shown.
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("Soglia giri per il cambio +1850 rpm +→ +2400 rpm"))
            .match(text)
            .hasMatch())
        << text.toStdString();
    EXPECT_EQ(report.FileName(), QStringLiteral("AB_123_CD_2026-12-11.pdf"));
}

}  // namespace
