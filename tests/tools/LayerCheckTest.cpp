#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "LayerCheck.h"

namespace {

// A small tree that keeps the rule; each test breaks it in one place.
class LayerCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Write("widgets/QtWidgets/QWidget", "");
        Write("widgets/QtCharts/QChartView", "");
        Write("src/base/Clock.h", "#include <QtGlobal>\n");
        Write("src/link/Link.h", "#include \"Clock.h\"\n#include \"IEcuLink.h\"\n");
        Write("src/data/Store.h", "#include \"Link.h\"\n#include <QString>\n#include <vector>\n");
        Write("src/ui/Texts.h", "#include <QWidget>\n#include \"Clock.h\"\n");
        Write("src/shell/Main.cpp", "#include \"Texts.h\"\n#include \"Store.h\"\n");
        Write("libraries/ecu-link/include/IEcuLink.h", "#include <cstdint>\n");
        Write("simulator/Ecu.cpp", "#include \"IEcuLink.h\"\n");
    }

    void Write(const QString& path, const QByteArray& text) {
        const QString full = dir_.filePath(path);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(full).path()));
        QFile file(full);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    std::vector<std::string> Run() {
        LayerCheck check(dir_.path().toStdString(),
                         {dir_.filePath("widgets/QtWidgets").toStdString(),
                          dir_.filePath("widgets/QtCharts").toStdString()});
        return check.Run();
    }

    static std::string Joined(const std::vector<std::string>& lines) {
        std::string all;
        for (const std::string& line : lines) all += line + '\n';
        return all;
    }

    QTemporaryDir dir_;
};

TEST_F(LayerCheckTest, TreeThatKeepsTheRulePasses) { EXPECT_EQ(Joined(Run()), ""); }

TEST_F(LayerCheckTest, EachBreachIsNamedWithItsFile) {
    struct Case {
        const char* file;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"src/base/Wait.cpp", "#include \"Texts.h\"\n", "src/base/Wait.cpp: src/base includes"},
        {"src/data/Form.cpp", "#include <QWidget>\n", "widget header <QWidget> in src/data"},
        {"src/link/Dialog.cpp", "#include <QtWidgets/QDialog>\n", "widget header"},
        {"src/base/Chart.h", "#include <QChartView>\n", "widget header <QChartView> in src/base"},
        {"simulator/Memory.cpp", "#include \"Store.h\"\n", "simulator/ includes \"Store.h\""},
        {"libraries/ecu-link/core/A.cpp", "#include \"../../../src/base/Clock.h\"\n",
         "libraries/ includes"},
        {"src/extra/New.cpp", "\n", "src/extra has no floor"},
    };
    for (const Case& c : cases) {
        SetUp();
        Write(c.file, c.text);
        EXPECT_NE(Joined(Run()).find(c.expected), std::string::npos) << c.file << '\n'
                                                                     << Joined(Run());
        ASSERT_TRUE(QFile::remove(dir_.filePath(c.file)));
    }
}

TEST_F(LayerCheckTest, CircleAmongFoldersOfOneFloorFails) {
    Write("src/controls/Field.h", "#include \"Texts.h\"\n");
    EXPECT_EQ(Joined(Run()), "");
    Write("src/ui/Texts.cpp", "#include \"Field.h\"\n");
    const std::string breaches = Joined(Run());
    EXPECT_NE(breaches.find("circle: "), std::string::npos) << breaches;
    EXPECT_NE(breaches.find("controls"), std::string::npos) << breaches;
}

}  // namespace
