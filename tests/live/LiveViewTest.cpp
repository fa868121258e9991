#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "AcquisitionFormat.h"
#include "AcquisitionReader.h"
#include "Catalogue.h"
#include "DialView.h"
#include "FuelLamp.h"
#include "FullDisk.h"
#include "GraphView.h"
#include "LiveText.h"
#include "LiveValues.h"
#include "LockedFolder.h"
#include "LoopbackEcu.h"
#include "ScopedLocale.h"
#include "ShapeBar.h"
#include "ShellFixture.h"
#include "TFormGraficoDrt.h"
#include "TFormMain.h"
#include "TFormVisualizza.h"

namespace {
const QRect kScreen(0, 0, 800, 600);
constexpr uint32_t kFlagsVariable = 3;  // "Flag1", element 0
constexpr int kOneProbe = 0x0004;       // the second lambda probe is absent
constexpr int kTwoProbes = 0x0000;
constexpr int kMap = 0x2000;  // option 13
const QString kLinkLost = QStringLiteral(
    "La centralina è disconnessa poichè non risponde correttamente. \nImpossibile connettersi.");

// The program's base folder is the working folder when the main screen is made.
class CurrentFolder {
  public:
    explicit CurrentFolder(const QString& path) : old_(QDir::currentPath()) {
        QDir::setCurrent(path);
    }
    ~CurrentFolder() { QDir::setCurrent(old_); }

  private:
    QString old_;
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void ctrl(QWidget* window, Qt::Key key) { QTest::keyClick(window, key, Qt::ControlModifier); }

// The main screen connected to the virtual ECU, in virtual time, in a base folder of its own.
class LiveViewTest : public ::testing::Test {
  protected:
    LiveViewTest() {
        data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {});
    }

    // flag1: the ECU's "Flag1" before the connection reads it.
    void connect(int flag1 = kOneProbe) {
        ASSERT_TRUE(ecu.pokeValue(kFlagsVariable, flag1));
        main = std::make_unique<TFormMain>(data, kScreen);
        main->ActionConnettiExecute();
        ASSERT_NE(data.link().IsConnected(), 0);
        shell.dialogs.clear();
    }

    // Opens the live view from the main screen by keys, runs script while it is open and
    // closes it with Esc. The script drives the timer itself, in virtual time.
    void openLiveView(const std::function<void(TFormVisualizza&)>& script) {
        bool ran = false;
        QTimer::singleShot(0, main.get(), [&] {
            auto* form = qobject_cast<TFormVisualizza*>(QApplication::activeModalWidget());
            if (!form) return ADD_FAILURE() << "the live view did not open";
            form->Timer1->stop();
            form->activateWindow();  // its shortcuts work in the active window
            if (!QTest::qWaitForWindowActive(form)) ADD_FAILURE() << "the live view is not active";
            script(*form);
            ran = true;
            QTest::keyClick(form, Qt::Key_Escape);
            if (form->isVisible()) {
                ADD_FAILURE() << "Esc did not close the live view";
                form->reject();
            }
        });
        QTest::keyClick(main.get(), Qt::Key_Down);  // "VISUALIZZA"
        QTest::keyClick(main.get(), Qt::Key_Return);
        EXPECT_TRUE(ran);
    }

    // n periods of the timer.
    void tick(TFormVisualizza& form, int n = 1) {
        for (int i = 0; i < n; ++i) {
            shell.clock.advance(TFormVisualizza::kPollMs);
            form.Timer1Timer();
        }
    }

    QString acquisition(const QString& name = {}) const {
        return QDir(base.path()).filePath(QStringLiteral("Acquisition/") + name);
    }
    int reads() const { return static_cast<int>(ecu.traced("ReadBlock").size()); }

    ShellFixture shell;
    QTemporaryDir base;
    CurrentFolder folder{base.path()};
    LoopbackEcu ecu{shell.clock};
    TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
    std::unique_ptr<TFormMain> main;
};

TEST_F(LiveViewTest, OpensFromTheMainScreenByKeysAndFollowsTheEngine) {
    connect();
    const int before = reads();
    openLiveView([&](TFormVisualizza& form) {
        EXPECT_EQ(
            form.windowTitle(),
            QStringLiteral("Visualizzazione parametri vettura - Config: ") + data.GetDescription());
        tick(form, 40);  // six seconds: the engine has started and idles
        EXPECT_GT(form.Speed(), 600);
        EXPECT_EQ(form.LabelGiri->text(), LiveText::Speed(form.Speed()));
        const QImage dial = form.Dial->Image().toImage();
        EXPECT_EQ(dial.pixelColor(form.Dial->Geometry().Tip(form.Speed())), DialView::kNeedle);
        // The needle moved forty times over the one dial painted at the start.
        EXPECT_EQ(form.Dial->DialPaints(), 1);
        EXPECT_TRUE(form.LampBenzina->IsLit() != form.LampGas->IsLit());
        // This ECU has one probe and no MAP sensor option.
        EXPECT_FALSE(form.GroupLambda2->isVisibleTo(&form));
        EXPECT_FALSE(form.GroupMap->isVisibleTo(&form));
        EXPECT_TRUE(form.GroupLambda->isVisibleTo(&form));
    });
    EXPECT_EQ(reads() - before, 40);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The screen's own drawing, given the values of a block.
class LiveScreenTest : public ::testing::Test {
  protected:
    std::unique_ptr<TFormVisualizza> makeForm() {
        auto form = std::make_unique<TFormVisualizza>(*data, base.path(), kScreen);
        form->Timer1->stop();
        return form;
    }

    ShellFixture shell;
    QTemporaryDir base;
    std::unique_ptr<TStreamDati> data = shell.makeOfflineData();
};

TEST_F(LiveScreenTest, TheNeedleIsDrawnAndErasedOverTheDial) {
    auto form = makeForm();
    const NeedleGeometry needle = form->Dial->Geometry();
    const QPoint centre = needle.Centre();
    EXPECT_LT(needle.Tip(0).x(), centre.x());  // down-left
    EXPECT_GT(needle.Tip(0).y(), centre.y());
    EXPECT_EQ(needle.Tip(3500).x(), centre.x());  // up
    EXPECT_LT(needle.Tip(3500).y(), centre.y());
    EXPECT_GT(needle.Tip(7000).x(), centre.x());  // down-right
    EXPECT_GT(needle.Tip(7000).y(), centre.y());

    LiveValues values;
    int previous = -1;
    for (int rpm : {0, 3500, 7000, 9000, 3500}) {
        values.rpm = rpm;
        form->ShowValues(values);
        const QImage dial = form->Dial->Image().toImage();
        EXPECT_EQ(dial.pixelColor(needle.Tip(rpm)), DialView::kNeedle) << rpm;
        if (previous >= 0 && needle.Tip(previous) != needle.Tip(rpm)) {
            EXPECT_EQ(dial.pixelColor(needle.Tip(previous)), DialView::kFace) << previous;
        }
        previous = rpm;
    }
    EXPECT_EQ(needle.Tip(9000), needle.Tip(7000));
    EXPECT_EQ(form->Dial->DialPaints(), 1);
}

TEST_F(LiveScreenTest, EachGroupShowsItsValue) {
    const ScopedLocale italian(QLocale(QLocale::Italian, QLocale::Italy));
    auto form = makeForm();
    LiveValues values;
    values.pressure = 102;  // hundredths of a bar
    QStringList pressures;
    for (int i = 0; i < 10; ++i) {
        form->ShowValues(values);
        pressures << form->LabelPressione->text();
    }
    EXPECT_EQ(pressures.front(), QStringLiteral("0,10bar"));  // nine empty slots
    EXPECT_EQ(pressures[4], QStringLiteral("0,51bar"));
    EXPECT_EQ(pressures.back(), QStringLiteral("1,02bar"));

    const int full =
        form->findChild<QLabel*>("LabelTemp0")->y() - form->findChild<QLabel*>("LabelTemp100")->y();
    const int bottom = form->ShapeTemp->geometry().bottom() + 1;
    const struct {
        double t1;
        int height;
        const char* text;
    } temperatures[] = {{-5, 0, "-5°C"}, {120, full, "120°C"}, {37.9, full * 379 / 1000, "37°C"}};
    for (const auto& t : temperatures) {
        values.t1 = t.t1;
        form->ShowValues(values);
        EXPECT_EQ(form->ShapeTemp->height(), t.height) << t.t1;
        EXPECT_EQ(form->ShapeTemp->geometry().bottom() + 1, bottom) << t.t1;
        EXPECT_EQ(form->LabelTemp->text(), QString::fromUtf8(t.text));
    }

    values.gasMs1 = 3.456;
    values.petrolMs1 = 12.345;
    values.lambda1 = 0.8;
    form->ShowValues(values);
    EXPECT_EQ(form->LabelTinjGas->text(), QStringLiteral("3,46ms"));
    EXPECT_EQ(form->LabelTinjBenz->text(), QStringLiteral("12,35ms"));
    EXPECT_EQ(form->LabelLambda->text(), QStringLiteral("0,80V"));
}

TEST_F(LiveScreenTest, LambdaBarsFollowTheProbeType) {
    const double reference = data->GetValue(5);  // RifLambda as stored
    const struct {
        int typeCode;  // TipoDiLambda
        double volts;
        int status;
        QColor colour;
        double fill;  // of the panel
    } cases[] = {
        // "0 - 1 Volt", not inverted: lean below the reference, rich at or above it.
        {2, reference, LiveValues::kLambda1On, TFormVisualizza::kRich, reference},
        {2, 0.2, LiveValues::kLambda1On, TFormVisualizza::kLean, 0.2},
        {2, 0.2, 0, QColor(), 0.2},  // the indication is off: the button face
        // "5 - 0 Volt" (code 25, bit 0: inverted): 0 V fills the bar, 5 V empties it.
        {25, 0.0, LiveValues::kLambda1On, TFormVisualizza::kRich, 1.0},
        {25, 5.0, LiveValues::kLambda1On, TFormVisualizza::kLean, 0.0},
        {25, reference, LiveValues::kLambda1On, TFormVisualizza::kRich, -1},
    };
    for (const auto& c : cases) {
        data->Store().set(Catalogue::kLambdaType, 0, c.typeCode);
        auto form = makeForm();
        LiveValues values;
        values.lambda1 = c.volts;
        values.status = c.status;
        form->ShowValues(values);
        const QColor expected =
            c.colour.isValid() ? c.colour : form->palette().color(QPalette::Button);
        EXPECT_EQ(form->ShapeLambda->Fill(), expected) << c.typeCode << " " << c.volts;
        const int full = form->PanelLambda->width() - 2;
        if (c.fill >= 0) {
            EXPECT_EQ(form->ShapeLambda->width(), static_cast<int>(c.fill * full));
        }
    }
}

TEST_F(LiveScreenTest, TheSecondProbeAndTheMapGroupsFollowTheEcusOptions) {
    const struct {
        int flag1;
        bool lambda2;
        bool map;
    } cases[] = {{kOneProbe, false, false},
                 {kTwoProbes, true, false},
                 {kOneProbe | kMap, false, true},
                 {kTwoProbes | kMap, true, true}};
    for (const auto& c : cases) {
        data->Store().set(Catalogue::kFlags, 0, c.flag1);
        auto form = makeForm();
        LiveValues values;
        values.lambda2 = 0.7;
        values.mapBar = 1.1;
        form->ShowValues(values);
        EXPECT_EQ(form->GroupLambda2->isVisibleTo(form.get()), c.lambda2) << c.flag1;
        EXPECT_EQ(form->GroupMap->isVisibleTo(form.get()), c.map) << c.flag1;
        EXPECT_EQ(form->SecondProbe(), c.lambda2);
        EXPECT_EQ(form->LabelMap->text().isEmpty(), !c.map);
        EXPECT_EQ(form->LabelLambda2->text().isEmpty(), !c.lambda2);
    }
}

// A recording from the keys, saved where the user says; the file reads back as recorded.
class RecordingTest : public LiveViewTest, public ::testing::WithParamInterface<int> {};

TEST_P(RecordingTest, AFewSecondsOfTheEngineReadBackRecordForRecord) {
    connect(GetParam());
    const int version = GetParam() == kTwoProbes ? 2 : 1;
    std::vector<AcquisitionRecord> shown;
    QString temporary;
    openLiveView([&](TFormVisualizza& form) {
        tick(form, 3);
        ctrl(&form, Qt::Key_F5);
        ASSERT_TRUE(form.Recorder().IsRecording());
        EXPECT_FALSE(form.ActionInizia->isEnabled());
        EXPECT_TRUE(form.ActionTermina->isEnabled());
        temporary = form.Recorder().TemporaryPath();
        EXPECT_EQ(temporary, acquisition(QStringLiteral("__acqtmp0.txt")));
        for (int i = 0; i < 30; ++i) {
            tick(form);
            shown.push_back(AcquisitionRecorder::RecordOf(form.Values(), form.PressureMean()));
        }
        shell.dialogs.chooseFile(acquisition(QStringLiteral("giro.txt")));
        ctrl(&form, Qt::Key_F6);
        EXPECT_FALSE(form.Recorder().IsRecording());
        EXPECT_TRUE(form.ActionInizia->isEnabled());
        EXPECT_FALSE(form.ActionTermina->isEnabled());
    });
    ASSERT_EQ(shell.dialogs.fileDialogs().size(), 1u);
    const Dialogs::FileRequest request = shell.dialogs.fileDialogs().front().request;
    EXPECT_EQ(request.title, QStringLiteral("Salva acquisizione con nome..."));
    EXPECT_EQ(request.filter, QStringLiteral("Acquisizioni in tempo reale (*.txt)"));
    EXPECT_EQ(QDir(request.folder), QDir(acquisition()));
    EXPECT_FALSE(QFileInfo::exists(temporary));

    const QByteArray text = contents(acquisition(QStringLiteral("giro.txt")));
    EXPECT_TRUE(
        text.startsWith("Ver. 1 " + QByteArray::number(version) + " real time data ECUX41, "));
    AcquisitionReader::Recording read;
    ASSERT_EQ(AcquisitionReader::Read(acquisition(QStringLiteral("giro.txt")), read),
              AcquisitionReader::Result::Read);
    EXPECT_EQ(read.version, version);
    ASSERT_EQ(read.records.size(), shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(read.records[i].time - read.records[i - 1].time, 150);
        }
        shown[i].time = read.records[i].time;
        EXPECT_EQ(AcquisitionFormat::Record(read.records[i], version),
                  AcquisitionFormat::Record(shown[i], version))
            << i;
    }
    EXPECT_GT(read.records.back().rpm, 0);
}

INSTANTIATE_TEST_SUITE_P(Probes, RecordingTest, ::testing::Values(kOneProbe, kTwoProbes));

// Ctrl+F8 opens a recording in the graph, the last one saved chosen beforehand; a file that is
// not an acquisition is told and shows nothing, a cancelled dialog nothing at all.
TEST_F(LiveViewTest, CtrlF8ShowsARecordingInTheGraph) {
    connect(kTwoProbes);
    const QString saved = acquisition(QStringLiteral("giro.prova.txt"));
    const QString bad = acquisition(QStringLiteral("note.txt"));
    openLiveView([&](TFormVisualizza& form) {
        ctrl(&form, Qt::Key_F5);
        tick(form, 20);
        shell.dialogs.chooseFile(saved);
        ctrl(&form, Qt::Key_F6);
        ASSERT_TRUE(QFileInfo::exists(saved));
        ASSERT_TRUE(put(bad, "appunti del giro\r\n"));
        shell.dialogs.clear();

        bool shown = false;
        QTimer::singleShot(0, &form, [&] {
            auto* graph = qobject_cast<TFormGraficoDrt*>(QApplication::activeModalWidget());
            if (!graph) return ADD_FAILURE() << "the graph did not open";
            shown = true;
            EXPECT_EQ(graph->windowTitle(), QStringLiteral("Grafico - giro"));
            EXPECT_EQ(graph->View->Lines().size(), 10);
            EXPECT_EQ(graph->Model()->Records().size(), 20u);
            EXPECT_TRUE(graph->windowState() & Qt::WindowMaximized);
            graph->activateWindow();
            if (!QTest::qWaitForWindowActive(graph)) ADD_FAILURE() << "the graph is not active";
            QTest::keyClick(graph, Qt::Key_Escape);
        });
        shell.dialogs.chooseFile(saved);
        ctrl(&form, Qt::Key_F8);
        EXPECT_TRUE(shown);
        ASSERT_EQ(shell.dialogs.fileDialogs().size(), 1u);
        const ScriptedDialogs::FileShown open = shell.dialogs.fileDialogs().front();
        EXPECT_FALSE(open.save);
        EXPECT_EQ(open.request.title, QStringLiteral("Apri file dati in tempo reale"));
        EXPECT_EQ(open.request.filter, QStringLiteral("Acquisizioni in tempo reale (*.txt)"));
        EXPECT_EQ(QDir(open.request.folder), QDir(acquisition()));
        EXPECT_EQ(open.request.selectedFile, saved);
        EXPECT_TRUE(shell.dialogs.shown().empty());

        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        shell.dialogs.clear();
        shell.dialogs.chooseFile(bad);
        ctrl(&form, Qt::Key_F8);
        ASSERT_EQ(shell.dialogs.shown().size(), 1u);
        EXPECT_EQ(shell.dialogs.last().text, QStringLiteral("Formato del file non valido"));
        EXPECT_EQ(shell.dialogs.last().title, QStringLiteral("Grafico - note"));
        EXPECT_EQ(QApplication::activeModalWidget(), &form);

        // The dialog now starts from the file opened last; Cancel shows nothing.
        shell.dialogs.clear();
        shell.dialogs.chooseFile(QString());
        ctrl(&form, Qt::Key_F8);
        ASSERT_EQ(shell.dialogs.fileDialogs().size(), 1u);
        EXPECT_EQ(shell.dialogs.fileDialogs().front().request.selectedFile, bad);
        EXPECT_TRUE(shell.dialogs.shown().empty());
    });
}

// Ctrl+F7 puts the last minute in the dial's place, drawn from the blocks the view reads
// anyway: the ECU is asked exactly as often with the chart as without it.
TEST_F(LiveViewTest, CtrlF7ShowsTheLastMinuteInPlaceOfTheDial) {
    connect(kTwoProbes);
    openLiveView([&](TFormVisualizza& form) {
        tick(form, 10);
        int before = reads();
        tick(form, 20);
        const int withoutChart = reads() - before;
        ctrl(&form, Qt::Key_F7);
        EXPECT_TRUE(form.ChartScorrevole->isVisible());
        EXPECT_FALSE(form.Dial->isVisible());
        before = reads();
        tick(form, 20);
        EXPECT_EQ(reads() - before, withoutChart);
        ASSERT_EQ(form.ChartScorrevole->Lines().size(), 5);  // speed, two probes, two times
        auto newest = [&](int line) { return form.ChartScorrevole->Lines()[line].points.last(); };
        EXPECT_EQ(newest(0), QPointF(0, form.Speed() * 0.001));
        EXPECT_EQ(newest(2).y(), form.Values().lambda2);
        EXPECT_EQ(newest(4).y(), form.Values().petrolMs1);
        EXPECT_EQ(form.ChartScorrevole->Lines()[0].points.size(), 50);  // every block so far
        // The engine's speed drawn in its red inside the plot (the legend's red is outside it).
        const QImage drawn = form.ChartScorrevole->grab().toImage();
        const QRect plot = form.ChartScorrevole->PlotArea();
        bool red = false;
        for (int y = plot.top(); y <= plot.bottom() && !red; ++y)
            for (int x = plot.left(); x <= plot.right() && !red; ++x)
                red = drawn.pixelColor(x, y) == QColor(255, 0, 0);
        EXPECT_TRUE(red);

        tick(form, 450);  // more than a minute: only the last one stays
        const QList<QPointF>& speed = form.ChartScorrevole->Lines()[0].points;
        EXPECT_EQ(speed.size(), 60000 / TFormVisualizza::kPollMs + 1);
        EXPECT_DOUBLE_EQ(speed.first().x(), -60);
        EXPECT_EQ(form.ChartScorrevole->XAxis().from, -60);
        EXPECT_GE(form.ChartScorrevole->YAxis().to, form.Speed() * 0.001);

        ctrl(&form, Qt::Key_F7);
        EXPECT_FALSE(form.ChartScorrevole->isVisible());
        EXPECT_TRUE(form.Dial->isVisible());
    });
}

TEST_F(LiveViewTest, TemporaryFilesTakeTheNextNumberAndCancelDeletesTheRecording) {
    connect();
    ASSERT_TRUE(QDir().mkpath(acquisition()));
    ASSERT_TRUE(put(acquisition(QStringLiteral("__acqtmp0.txt")), "an earlier run's"));
    openLiveView([&](TFormVisualizza& form) {
        // Stopped before the first poll: the header and the headings only.
        ctrl(&form, Qt::Key_F5);
        EXPECT_EQ(form.Recorder().TemporaryPath(), acquisition(QStringLiteral("__acqtmp1.txt")));
        shell.dialogs.chooseFile(acquisition(QStringLiteral("vuoto.txt")));
        ctrl(&form, Qt::Key_F6);

        ctrl(&form, Qt::Key_F5);
        tick(form, 4);
        const QString temporary = form.Recorder().TemporaryPath();
        EXPECT_TRUE(QFileInfo::exists(temporary));
        shell.dialogs.chooseFile(QString());  // Cancel
        ctrl(&form, Qt::Key_F6);
        EXPECT_FALSE(QFileInfo::exists(temporary));
    });
    const QList<QByteArray> lines = contents(acquisition(QStringLiteral("vuoto.txt"))).split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("Ver. 1 1 real time data ECUX41, "));
    EXPECT_EQ(lines[1], AcquisitionFormat::Headings(1));
    EXPECT_EQ(contents(acquisition(QStringLiteral("__acqtmp0.txt"))), "an earlier run's");
    EXPECT_TRUE(shell.dialogs.shown().empty());
}

TEST_F(LiveViewTest, AnExistingFileIsReplacedWholeOrAnotherNameIsAsked) {
    connect();
    ASSERT_TRUE(QDir().mkpath(acquisition(QStringLiteral("cartella.txt/dentro"))));
    ASSERT_TRUE(put(acquisition(QStringLiteral("giro.txt")), QByteArray(100000, 'x')));
    QString caption;
    openLiveView([&](TFormVisualizza& form) {
        caption = form.windowTitle();
        ctrl(&form, Qt::Key_F5);
        tick(form, 3);
        shell.dialogs.chooseFile(acquisition(QStringLiteral("cartella.txt")));
        shell.dialogs.chooseFile(acquisition(QStringLiteral("giro.txt")));
        ctrl(&form, Qt::Key_F6);
    });
    ASSERT_EQ(shell.dialogs.shown().size(), 1u);
    EXPECT_EQ(shell.dialogs.last().text,
              QStringLiteral("Il file esistente non può essere sovrascritto.\nAssegnare un nome "
                             "differente al nuovo file."));
    EXPECT_EQ(shell.dialogs.last().title, caption);
    EXPECT_EQ(shell.dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_EQ(shell.dialogs.fileDialogs().size(), 2u);
    EXPECT_TRUE(QFileInfo(acquisition(QStringLiteral("cartella.txt/dentro"))).isDir());
    AcquisitionReader::Recording read;
    ASSERT_EQ(AcquisitionReader::Read(acquisition(QStringLiteral("giro.txt")), read),
              AcquisitionReader::Result::Read);
    EXPECT_EQ(read.records.size(), 3u);
    EXPECT_FALSE(contents(acquisition(QStringLiteral("giro.txt"))).contains('x'));
}

TEST_F(LiveViewTest, ARecordingThatCannotStartIsReportedAndPollingGoesOn) {
    connect();
    ASSERT_TRUE(put(acquisition().chopped(1), "a file where the folder goes"));
    openLiveView([&](TFormVisualizza& form) {
        ctrl(&form, Qt::Key_F5);
        EXPECT_FALSE(form.Recorder().IsRecording());
        EXPECT_TRUE(form.ActionInizia->isEnabled());
        EXPECT_FALSE(form.ActionTermina->isEnabled());
        ASSERT_EQ(shell.dialogs.shown().size(), 1u);
        EXPECT_TRUE(shell.dialogs.last().text.startsWith(
            QStringLiteral("Impossibile creare il file dell'acquisizione:\n") +
            QDir::toNativeSeparators(acquisition(QStringLiteral("__acqtmp0.txt")))));
        EXPECT_EQ(shell.dialogs.last().title, form.windowTitle());
        const int before = reads();
        tick(form, 5);
        EXPECT_EQ(reads() - before, 5);
        EXPECT_EQ(form.LabelGiri->text(), LiveText::Speed(form.Speed()));
    });
    EXPECT_EQ(shell.dialogs.shown().size(), 1u);
}

// A disk that fills up during the recording, and a folder that takes no file at the end: each
// is told with its reason, and what was recorded stays under the temporary name, readable.
TEST_F(LiveViewTest, ARecordingThatCannotBeWrittenOrMovedIsKeptUnderItsTemporaryName) {
    connect();
    const QString locked = QDir(base.path()).filePath(QStringLiteral("bloccata"));
    ASSERT_TRUE(QDir().mkpath(locked));
    const QString kept = QStringLiteral("\nI dati registrati sono conservati nel file:\n") +
                         QDir::toNativeSeparators(acquisition(QStringLiteral("__acqtmp0.txt")));
    const QString moved = QStringLiteral("\nI dati registrati sono conservati nel file:\n") +
                          QDir::toNativeSeparators(acquisition(QStringLiteral("__acqtmp1.txt")));
    bool lockable = true;
    openLiveView([&](TFormVisualizza& form) {
        ctrl(&form, Qt::Key_F5);
        tick(form, 3);
        {
            const FullDisk full(QFileInfo(form.Recorder().TemporaryPath()).size());
            tick(form, 2);
        }
        EXPECT_FALSE(form.Recorder().IsRecording());
        EXPECT_TRUE(form.ActionInizia->isEnabled());
        EXPECT_FALSE(form.ActionTermina->isEnabled());
        ASSERT_EQ(shell.dialogs.shown().size(), 1u)
            << shell.dialogs.texts().join('|').toStdString();
        const QString full = shell.dialogs.last().text;
        EXPECT_TRUE(
            full.startsWith(QStringLiteral("Impossibile scrivere il file dell'acquisizione: il "
                                           "salvataggio è stato interrotto.\n(")))
            << full.toStdString();
        EXPECT_TRUE(full.endsWith(kept)) << full.toStdString();
        EXPECT_EQ(shell.dialogs.last().title, form.windowTitle());
        EXPECT_EQ(shell.dialogs.last().icon, Dialogs::Icon::Error);
        ctrl(&form, Qt::Key_F6);  // nothing is recording: no dialog
        EXPECT_TRUE(shell.dialogs.fileDialogs().empty());

        shell.dialogs.clear();
        ctrl(&form, Qt::Key_F5);
        tick(form, 4);
        const LockedFolder folder(locked);
        lockable = folder.Locked();
        if (!lockable) return;
        shell.dialogs.chooseFile(QDir(locked).filePath(QStringLiteral("giro.txt")));
        ctrl(&form, Qt::Key_F6);
        ASSERT_EQ(shell.dialogs.shown().size(), 1u)
            << shell.dialogs.texts().join('|').toStdString();
        const QString refused = shell.dialogs.last().text;
        EXPECT_TRUE(refused.startsWith(
            QStringLiteral("Impossibile salvare l'acquisizione con il nome scelto.\n(")))
            << refused.toStdString();
        EXPECT_TRUE(refused.endsWith(moved)) << refused.toStdString();
        EXPECT_FALSE(form.Recorder().IsRecording());
    });
    AcquisitionReader::Recording read;
    ASSERT_EQ(AcquisitionReader::Read(acquisition(QStringLiteral("__acqtmp0.txt")), read),
              AcquisitionReader::Result::Read);
    EXPECT_EQ(read.records.size(), 3u);
    if (!lockable) GTEST_SKIP() << "this file system cannot lock a folder";
    ASSERT_EQ(AcquisitionReader::Read(acquisition(QStringLiteral("__acqtmp1.txt")), read),
              AcquisitionReader::Result::Read);
    EXPECT_EQ(read.records.size(), 4u);
    EXPECT_TRUE(QDir(locked).isEmpty());
}

TEST_F(LiveViewTest, ClosingWhileRecordingAsksForTheName) {
    connect();
    openLiveView([&](TFormVisualizza& form) {
        ctrl(&form, Qt::Key_F5);
        tick(form, 5);
        shell.dialogs.chooseFile(acquisition(QStringLiteral("chiuso.txt")));
    });
    AcquisitionReader::Recording read;
    ASSERT_EQ(AcquisitionReader::Read(acquisition(QStringLiteral("chiuso.txt")), read),
              AcquisitionReader::Result::Read);
    EXPECT_EQ(read.records.size(), 5u);
    EXPECT_EQ(QDir(acquisition()).entryList({QStringLiteral("__acqtmp*")}), QStringList());
}

TEST_F(LiveViewTest, ALostLinkIsToldOnceAndTheNextTickStartsOver) {
    connect();
    openLiveView([&](TFormVisualizza& form) {
        tick(form, 2);
        ecu.pullCable();
        int heldBack = 0;
        shell.dialogs.whileOpen([&](const ScriptedDialogs::Shown&) {
            // The timer goes on behind the message: its ticks do nothing until it is closed.
            const qint64 waited = shell.clock.waitedMs();
            tick(form, 3);
            heldBack += shell.clock.waitedMs() == waited ? 3 : 0;
        });
        const qint64 start = shell.clock.nowMs();
        tick(form);
        EXPECT_GE(shell.clock.nowMs() - start, 4000);  // Connect every 500 ms for 4 s
        EXPECT_EQ(heldBack, 3);
        EXPECT_EQ(shell.dialogs.texts(), QStringList{kLinkLost});
        EXPECT_EQ(shell.dialogs.last().title, form.windowTitle());
        EXPECT_EQ(shell.dialogs.last().icon, Dialogs::Icon::Error);

        // Closed: the next tick starts over from the link's state, which the failed
        // reconnection left down: the needle stays where it was and nothing more is said.
        shell.dialogs.whileOpen(std::function<void(const ScriptedDialogs::Shown&)>{});
        const int speed = form.Speed();
        tick(form);
        EXPECT_EQ(form.Speed(), speed);
        EXPECT_EQ(shell.dialogs.shown().size(), 1u);
    });
}
}  // namespace
