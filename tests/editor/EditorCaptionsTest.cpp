#include <gtest/gtest.h>

#include <QLabel>

#include "ConfigComparison.h"
#include "EditorBench.h"
#include "EditorCaptions.h"
#include "LanguageLibrary.h"

namespace {

// Every caption the table gives is one the editor shows, in the language now in use.
void ExpectShownBy(const TFormConfig& editor) {
    QStringList shown;
    for (const QLabel* label : editor.findChildren<QLabel*>()) shown << label->text();
    const std::pair<const char*, const char*> fields[] = {
        {"Accensione-Cambio", "GiriPerCambio"},
        {"Accensione-Cambio", "TemperaturaCambio"},
        {"Accensione-Cambio", "NumeroCilindri"},
        {"Arricchimento", "TipoIniezione"},
        {"Lambda", "TipoDiLambda"},
        {"SensoreDiLivello", "TipoSensore"},
        {"SensoreDiLivello", "RifSensore0"},
        {"SensoreDiLivello", "RifSensore3"},
    };
    for (const auto& [section, key] : fields) {
        const auto caption = EditorCaptions::Of(section, key);
        ASSERT_TRUE(caption) << key;
        EXPECT_TRUE(shown.contains(*caption)) << key << ": " << caption->toStdString();
    }
    // A zone correction: its zone's caption and its column's.
    const auto zone = EditorCaptions::Of("AutoTaratura", "MappaCorrAutotaratura2_1");
    ASSERT_TRUE(zone);
    const QStringList parts = zone->split(" - ");
    ASSERT_EQ(parts.size(), 2);
    for (const QString& part : parts) EXPECT_TRUE(shown.contains(part)) << part.toStdString();
}

TEST(EditorCaptionsTest, ParametersAreNamedAsTheEditorCaptionsThem) {
    EditorBench bench;
    TFormConfig& editor = bench.OpenEditor();
    ExpectShownBy(editor);
    EXPECT_EQ(EditorCaptions::Of("AutoTaratura", "MappaCorrAutotaratura2_1"),
              "Medio carico - Fuori minimo");
    // Keys the editor shows no caption for are named by the comparison by their key.
    EXPECT_FALSE(EditorCaptions::Of("AutoTaratura", "MappaCorrAutotaratura2_2"));
    EXPECT_FALSE(EditorCaptions::Of("Lambda", "GiriPerCambio"));
    {
        // In English the texts come from the language library: a wrong text number shows.
        LanguageLibrary library;
        ASSERT_TRUE(library.Load());
        Language::current().Attach(&library);
        Language::current().SetIndex(1);
        editor.LoadCaptions();
        ExpectShownBy(editor);
        EXPECT_NE(EditorCaptions::Of("Accensione-Cambio", "GiriPerCambio"),
                  "Soglia giri per il cambio");
        Language::current().Attach(nullptr);
        editor.LoadCaptions();
    }

    // The configuration before a commit in the editor against the ECU's after it.
    const ParameterStore before = bench.data.Store();
    editor.close();
    ASSERT_EQ(bench.data.SetValue(528, 1750), 1);
    const ConfigComparison comparison(before, bench.data.Store(), EditorCaptions::Names());
    ASSERT_GE(comparison.Count(), 1);
    const ConfigDifference& threshold = comparison.Differences()[0];
    EXPECT_EQ(threshold.caption, "Soglia giri per il cambio");
    EXPECT_EQ(threshold.b.shown, "1750 rpm");
}

}  // namespace
