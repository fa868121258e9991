#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "KvTool.h"
#include "Language.h"
#include "PdfText.h"

namespace {

const QString kSource = QStringLiteral(CONFIG_BASE_SOURCE_DIR "/020-metano-0.ini");

class KvToolReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        KvTool encode;
        ASSERT_EQ(encode.Run({"encode", kSource, configuration()}), KvTool::kOk);
    }
    void TearDown() override { Language::current().Attach(nullptr); }
    QString configuration() const { return dir.filePath(QStringLiteral("metano.kv4")); }
    int run(const QStringList& args) {
        tool = KvTool{};
        return tool.Run(args);
    }

    QTemporaryDir dir;
    KvTool tool;
};

TEST_F(KvToolReportTest, AConfigurationFileGivesTheReportInTheLanguageAsked) {
    struct Case {
        QStringList options;
        const char* expected[4];
    };
    const Case cases[] = {
        {{}, {"Rapporto di installazione", "Tipo carburante", "Metano", "Tipo di sonda Lambda"}},
        {{"--lang", "en", "--page", "Letter"},
         {"Installation report", "Fuel type", "CNG", "Lambda probe type"}},
    };
    for (const Case& c : cases) {
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        ASSERT_EQ(run(c.options + QStringList{"report", configuration(), pdf}), KvTool::kOk)
            << tool.err().toStdString();
        const QString text = PdfText(pdf);
        for (const char* expected : c.expected)
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                    << text.toStdString();
        // The differences are from the fuel's own base configuration.
        EXPECT_TRUE(text.contains(QStringLiteral("Differenze")) ||
                    text.contains(QStringLiteral("Differences")));
    }
}

TEST_F(KvToolReportTest, BadInputIsToldAndWritesNothing) {
    const QString pdf = dir.filePath(QStringLiteral("none.pdf"));
    EXPECT_EQ(run({"report", dir.filePath("missing.kv4"), pdf}), KvTool::kFailed);
    EXPECT_TRUE(tool.err().contains("cannot read"));
    EXPECT_EQ(run({"--lang", "xx", "report", configuration(), pdf}), KvTool::kUsage);
    EXPECT_TRUE(tool.err().contains("no language xx"));
    EXPECT_EQ(run({"--page", "A3", "report", configuration(), pdf}), KvTool::kUsage);
    EXPECT_FALSE(QFile::exists(pdf));
}

// A disk too small for the report, mounted in a mount namespace of its own: the failure is
// told and the old report stays as it was, with no partial file beside it.
TEST_F(KvToolReportTest, AFullDiskIsToldAndLeavesNoPartialFile) {
    QProcess probe;
    probe.start(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")});
    if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
        GTEST_SKIP() << "no mount namespace on this machine (unshare -rm)";
    QTemporaryDir disk(QStringLiteral("/tmp/report-disk-XXXXXX"));
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=12k tmpfs \"$D\" && echo old > \"$D/r.pdf\" && "
        "\"$K\" report \"$F\" \"$D/r.pdf\"; echo \"status $?\"; cat \"$D/r.pdf\"; ls -a \"$D\"");
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("D"), disk.path());
    env.insert(QStringLiteral("F"), configuration());
    env.insert(QStringLiteral("K"), QCoreApplication::applicationDirPath() + "/kvtool");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("unshare"),
            {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromLocal8Bit(p.readAll());
    EXPECT_TRUE(out.contains("cannot write the report")) << out.toStdString();
    EXPECT_TRUE(out.contains("status 1")) << out.toStdString();
    // The old file whole, and nothing else on the disk.
    const QStringList listed =
        out.section(QStringLiteral("\nold\n"), 1)
            .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    EXPECT_EQ(listed, (QStringList{".", "..", "r.pdf"})) << out.toStdString();
}

}  // namespace
