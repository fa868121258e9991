#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>

#include "ChooserBench.h"

namespace {
const QString kOverwrite = QStringLiteral("Il file esiste già. Vuoi sovrascriverlo?");

QStringList lpgFiles(const ChooserBench& bench) {
    return QDir(bench.Lpg(QString())).entryList(QDir::Files, QDir::Name);
}

bool describes(const QString& decoded, const QString& name) {
    return decoded.contains(QRegularExpression(QStringLiteral("(^|\\n)DescrizAuto=") +
                                               QRegularExpression::escape(name) +
                                               QStringLiteral("\\r?\\n")));
}

// Saved under a typed name, in the LPG folder with the model's extension, readable on the
// bench; the description follows the name in the ECU too.
TEST(SaveChooserTest, SavesUnderTheTypedNameWithTheModelsExtension) {
    ChooserBench bench(sim::VirtualEcuOptions{});
    ASSERT_TRUE(bench.data->SetDescription(QStringLiteral("Fiat Punto 1.2")));
    ASSERT_TRUE(bench.RunEntry(ChooserBench::kSaveEntry, [&](TFormFile& chooser) {
        EXPECT_EQ(chooser.windowTitle(), QStringLiteral("Salva configurazione con nome..."));
        EXPECT_EQ(chooser.LabelFile->text(), QStringLiteral("Nome del file da salvare"));
        EXPECT_EQ(chooser.EditName->text(), QStringLiteral("Fiat Punto 12"));
        EXPECT_FALSE(chooser.Radio34Cilindri->isVisible());  // the ECU says which model
        EXPECT_EQ(QDir::currentPath(), QDir(bench.Lpg(QString())).absolutePath());
        TypeName(chooser, QStringLiteral("Golf"));
        Press(chooser.EditName, Qt::Key_Return);
    }));
    EXPECT_TRUE(bench.dialogs.shown().empty()) << bench.dialogs.texts().join('|').toStdString();
    EXPECT_EQ(lpgFiles(bench), QStringList{"Golf.kv4"});
    EXPECT_TRUE(describes(bench.Decoded(bench.Lpg("Golf.kv4")), "Golf"));
    EXPECT_EQ(bench.data->GetDescription(), QStringLiteral("Golf"));
    EXPECT_EQ(bench.ecu->peekValue(53, 2), 'G');
    EXPECT_FALSE(bench.data->IsModified());
    EXPECT_EQ(QDir::currentPath(), bench.Workshop());

    // A name that already ends in the extension, in whatever case, keeps it as it is.
    bench.SaveAs(QStringLiteral("PUNTO.KV4"));
    EXPECT_EQ(lpgFiles(bench), (QStringList{"Golf.kv4", "PUNTO.KV4"}));
    EXPECT_TRUE(describes(bench.Decoded(bench.Lpg("PUNTO.KV4")), "PUNTO.KV4"));
}

// An existing file asks first, No being the default; No keeps the file and the window.
TEST(SaveChooserTest, AnExistingFileIsReplacedOnlyAfterYes) {
    ChooserBench bench(sim::VirtualEcuOptions{});
    bench.SaveAs(QStringLiteral("Golf"));
    const QByteArray old = bench.Bytes(bench.Lpg("Golf.kv4"));
    ASSERT_FALSE(old.isEmpty());
    ASSERT_TRUE(bench.data->SetVehicleText(3, QStringLiteral("1.4 TSI")));

    bench.dialogs.answer(Dialogs::Answer::No);
    bench.dialogs.answer(Dialogs::Answer::Yes);
    ASSERT_TRUE(bench.RunEntry(ChooserBench::kSaveEntry, [&](TFormFile& chooser) {
        TypeName(chooser, QStringLiteral("Golf.kv4"));
        Press(chooser.EditName, Qt::Key_Return);
        EXPECT_TRUE(chooser.isVisible());
        EXPECT_EQ(bench.Bytes(bench.Lpg("Golf.kv4")), old);
        TypeName(chooser, QStringLiteral("Golf"));
        Press(chooser.EditName, Qt::Key_Return);
    }));
    ASSERT_EQ(bench.dialogs.shown().size(), 2u);
    for (const auto& question : bench.dialogs.shown()) {
        EXPECT_EQ(question.text, kOverwrite);
        EXPECT_EQ(question.title, QStringLiteral("Salva configurazione con nome..."));
        EXPECT_EQ(question.icon, Dialogs::Icon::Warning);
        EXPECT_EQ(question.buttons, Dialogs::Buttons::YesNo);
        EXPECT_EQ(question.preselected, Dialogs::Answer::No);
    }
    EXPECT_EQ(lpgFiles(bench), QStringList{"Golf.kv4"});
    EXPECT_TRUE(bench.Decoded(bench.Lpg("Golf.kv4")).contains("Motore=1.4 TSI"));
}

// A save that cannot be written, onto a folder that takes no file or onto a full disk, says
// so, keeps the window open, the old file whole and the configuration marked unsaved.
TEST(SaveChooserTest, AFailedSaveIsReportedAndKeepsTheOldFile) {
    ChooserBench bench(std::nullopt);
    bench.SaveAs(QStringLiteral("Golf"));
    const QByteArray old = bench.Bytes(bench.Lpg("Golf.kv4"));
    ASSERT_TRUE(bench.data->SetVehicleText(3, QStringLiteral("1.4 TSI")));
    const auto saveOverGolf = [&] {
        bench.dialogs.clear();
        bench.dialogs.answer(Dialogs::Answer::Yes);
        ASSERT_TRUE(bench.RunEntry(ChooserBench::kSaveEntry, [&](TFormFile& chooser) {
            TypeName(chooser, QStringLiteral("Golf"));
            Press(chooser.EditName, Qt::Key_Return);
            EXPECT_TRUE(chooser.isVisible());
            Press(chooser.focusWidget(), Qt::Key_Escape);
        }));
        EXPECT_EQ(bench.dialogs.texts(),
                  (QStringList{kOverwrite, "Impossibile salvare la configurazione nel file.\n" +
                                               QDir::toNativeSeparators(bench.Lpg("Golf.kv4")) +
                                               "\nImpossibile salvare i dati nel file impostato"}));
        EXPECT_EQ(bench.dialogs.last().icon, Dialogs::Icon::Error);
        EXPECT_EQ(bench.Bytes(bench.Lpg("Golf.kv4")), old);
        EXPECT_EQ(lpgFiles(bench), QStringList{"Golf.kv4"});
        EXPECT_TRUE(bench.data->IsModified());
    };
    {
        const FullDisk full(old.size() / 2);
        saveOverGolf();
    }
    {
        const LockedFolder locked(bench.Lpg(QString()));
        if (!locked.Locked()) GTEST_SKIP() << "this file system cannot lock a folder";
        saveOverGolf();
    }
}
}  // namespace
