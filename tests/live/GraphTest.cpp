#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <functional>
#include <set>

#include "AcquisitionFormat.h"
#include "AcquisitionWriter.h"
#include "GraphModel.h"
#include "GraphTraces.h"
#include "GraphView.h"
#include "ScriptedDialogs.h"
#include "TFormAssiXY.h"
#include "TFormGestioneTracce.h"
#include "TFormSpostamento.h"
#include <QComboBox>
#include <QLineEdit>
#include "TFormGraficoDrt.h"

namespace {
const QRect kScreen(0, 0, 800, 600);
const QString kFormatError = QStringLiteral("Formato del file non valido");

// A record every 150 ms whose values all differ from one record to the next.
AcquisitionRecord recordAt(int i) {
    AcquisitionRecord r;
    r.time = i * 150;
    r.rpm = 800 + (i * 37) % 3000;
    r.lambda1 = ((i * 7) % 90) * 0.01;
    r.gasTime1 = 2.5 + (i % 11) * 0.25;
    r.petrolTime1 = 3 + (i % 13) * 0.5;
    r.pressure = 1.05 + (i % 5) * 0.01;
    r.reducerTemp = 40 + i % 30;
    r.engineTemp = 60 + i % 25;
    r.lambda2 = ((i * 3) % 90) * 0.01;
    r.gasTime2 = 2 + (i % 7) * 0.25;
    r.petrolTime2 = 4 + (i % 9) * 0.5;
    return r;
}

std::vector<AcquisitionRecord> records(int count) {
    std::vector<AcquisitionRecord> all;
    for (int i = 0; i < count; ++i) all.push_back(recordAt(i));
    return all;
}

// A recording written by the live view's writer, then moved onto `name` in folder.
QString writeRecording(const QString& folder, const QString& name, int version,
                       const std::vector<AcquisitionRecord>& all) {
    AcquisitionWriter writer;
    EXPECT_TRUE(writer.Open(folder, version, QStringLiteral("giovedì 10 dicembre 2026 10:00:00")));
    for (const AcquisitionRecord& r : all) EXPECT_TRUE(writer.Append(r));
    EXPECT_TRUE(writer.Close());
    const QString path = QDir(folder).filePath(name);
    EXPECT_TRUE(AcquisitionWriter::MoveOnto(writer.Path(), path));
    return path;
}

// A second drive: it starts 450 ms into its file, its speed and gas time well apart.
std::vector<AcquisitionRecord> secondDrive(int count) {
    std::vector<AcquisitionRecord> all = records(count);
    for (AcquisitionRecord& r : all) {
        r.time += 450;
        r.rpm += 4000;
        r.gasTime1 += 3;
    }
    return all;
}

GraphModel model(int version, const std::vector<AcquisitionRecord>& all) {
    return GraphModel(AcquisitionReader::Recording{version, all});
}

TEST(GraphModelTest, TracesTakeTheirColumnsOnOneCommonScale) {
    AcquisitionRecord r = recordAt(0);
    r.rpm = 3000;
    r.reducerTemp = 85;
    r.engineTemp = 92;
    const std::vector<double> expected = {3,   r.lambda1, r.gasTime1, r.petrolTime1, r.pressure,
                                          8.5, 9.2,       r.lambda2,  r.gasTime2,    r.petrolTime2};
    struct Case {
        int version;
        int traces;
        int withPoints;
    };
    // Version 3 files have the second probe's columns but not its traces.
    for (const Case c : {Case{1, 7, 7}, Case{2, 10, 10}, Case{3, 10, 7}}) {
        SCOPED_TRACE(c.version);
        const GraphModel m = model(c.version, {r});
        EXPECT_EQ(m.TraceCount(), c.traces);
        const auto reading = m.ReadingAt(0);
        ASSERT_TRUE(reading);
        ASSERT_EQ(int(reading->values.size()), c.withPoints);
        for (const auto& [trace, value] : reading->values)
            EXPECT_DOUBLE_EQ(value, expected[size_t(trace)]) << trace;
    }
    EXPECT_EQ(GraphTraces::Title(0), QStringLiteral("Giri x 1000"));
    EXPECT_EQ(GraphTraces::Title(5), QStringLiteral("T.riduttore x 10"));
    EXPECT_EQ(GraphTraces::Title(6), QStringLiteral("T.gas x 10"));
    EXPECT_EQ(GraphTraces::Title(9), QStringLiteral("T inj.benz.2"));
}

TEST(GraphModelTest, CaptionCutsTheNameBeforeItsFirstDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"/tmp/a/prova.giro.txt", "Grafico - prova"},
        {"/tmp/a.b/senzapunto", "Grafico - "},
        {"/tmp/.txt", "Grafico - "},
    };
    for (const auto& [path, caption] : cases)
        EXPECT_EQ(GraphModel::Caption(QStringLiteral("Grafico"), QString::fromUtf8(path)),
                  QString::fromUtf8(caption));
}

TEST(GraphModelTest, UndoZoomAfterTwoZoomsReturnsToTheWholeRecording) {
    GraphModel m = model(1, records(100));
    const GraphModel::Range whole{0, 99 * 0.15};
    EXPECT_EQ(m.Whole(), whole);
    m.ZoomTo(2, 10);
    m.ZoomTo(4, 5);
    m.ZoomTo(5, 4);  // reversed: ignored
    EXPECT_EQ(m.Visible(), (GraphModel::Range{4, 5}));
    m.UndoZoom();
    EXPECT_EQ(m.Visible(), whole);
    EXPECT_FALSE(m.IsZoomed());
}

TEST(GraphModelTest, ValueRangeCountsOnlyShownTraces) {
    GraphModel m = model(2, records(200));
    for (int trace = 0; trace < m.TraceCount(); ++trace) m.SetShown(trace, trace == 5);
    // T.riduttore x 10: 40 to 69 degrees.
    EXPECT_EQ(m.ValueRange(), (GraphModel::Range{4.0, 6.9}));
    m.SetShown(5, false);
    EXPECT_EQ(m.ValueRange(), GraphModel::Range{});  // nothing shown: the default axis
    for (const QList<QPointF>& points : m.Points(100)) EXPECT_TRUE(points.isEmpty());
}

TEST(GraphModelTest, ReadingBetweenTwoRecordsIsTheEarlierOnes) {
    GraphModel m = model(1, records(10));
    m.SetShown(1, false);
    const auto reading = m.ReadingAt(0.15 * 4 + 0.1);  // between records 4 and 5
    ASSERT_TRUE(reading);
    EXPECT_DOUBLE_EQ(reading->seconds, 0.6);
    ASSERT_EQ(reading->values.size(), 6u);
    EXPECT_EQ(reading->values[0], std::make_pair(0, recordAt(4).rpm * 0.001));
    EXPECT_EQ(reading->values[1].first, 2);  // the hidden one is left out
    EXPECT_DOUBLE_EQ(reading->values[1].second, recordAt(4).gasTime1);
    EXPECT_FALSE(m.ReadingAt(-0.01));
    const QString html = GraphModel::ReadingHtml(*reading);
    EXPECT_TRUE(html.contains(QStringLiteral("0.600 s"))) << html.toStdString();
    // Each value in its own unit with the precision of its trace.
    EXPECT_TRUE(html.contains(QStringLiteral("color:#ff0000\">&#9632;</span> Giri: ") +
                              QString::number(recordAt(4).rpm) + QStringLiteral("<br>")))
        << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("T inj. gas: ") +
                              QString::number(recordAt(4).gasTime1, 'f', 2)))
        << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("T.gas: ") +
                              QString::number(recordAt(4).engineTemp, 'f', 1)))
        << html.toStdString();
}

class GraphFileTest : public testing::Test {
  protected:
    QString write(const QString& name, int version, const std::vector<AcquisitionRecord>& all) {
        return writeRecording(folder.path(), name, version, all);
    }
    QString put(const QString& name, const QByteArray& bytes) {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }
    // The window shown and active, as the technician has it.
    std::unique_ptr<TFormGraficoDrt> open(const QString& path) {
        auto form = std::make_unique<TFormGraficoDrt>(path, kScreen);
        EXPECT_TRUE(form->Load());
        form->resize(800, 600);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }
    static int points(const TFormGraficoDrt& form) {
        int n = 0;
        for (const GraphView::Line& line : form.View->Lines()) n += int(line.points.size());
        return n;
    }
    static const QList<QPointF>& line(const TFormGraficoDrt& form, int trace) {
        return form.View->Lines().at(trace).points;
    }
    // Runs script on the traces dialog once it is open, then presses its default button.
    void withTracesDialog(TFormGraficoDrt& form,
                          const std::function<void(TFormGestioneTracce&)>& script) {
        bool ran = false;
        QTimer::singleShot(0, &form, [&] {
            auto* dialog = qobject_cast<TFormGestioneTracce*>(QApplication::activeModalWidget());
            if (!dialog) return ADD_FAILURE() << "the traces dialog did not open";
            script(*dialog);
            ran = true;
            if (dialog->isVisible()) QTest::keyClick(dialog, Qt::Key_Return);
        });
        form.ActionTracce->trigger();
        EXPECT_TRUE(ran);
        form.activateWindow();  // back to the graph, whose keys work again
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // Runs script on the modal dialog of type D that key opens, then brings the graph back.
    template <typename D>
    void withDialog(TFormGraficoDrt& form, QKeyCombination key,
                    const std::function<void(D&)>& script) {
        bool ran = false;
        QTimer::singleShot(0, &form, [&] {
            auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
            if (!dialog) return ADD_FAILURE() << "the dialog did not open";
            script(*dialog);
            ran = true;
            if (dialog->isVisible()) dialog->reject();
        });
        QTest::keyClick(&form, key.key(), key.keyboardModifiers());
        EXPECT_TRUE(ran);
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    QString writeSecond(int version, int count) {
        return write(QStringLiteral("secondo.giro.txt"), version, secondDrive(count));
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
};

TEST_F(GraphFileTest, OneProbeFilesShowSevenTracesAndTwoProbeFilesTen) {
    for (const int version : {1, 2}) {
        SCOPED_TRACE(version);
        std::vector<AcquisitionRecord> all = records(20);
        all[3].rpm = 3000;
        all[3].engineTemp = 85;
        const auto form = open(write(QStringLiteral("giro.txt"), version, all));
        const int traces = version == 1 ? 7 : 10;
        EXPECT_EQ(form->View->Lines().size(), traces);
        EXPECT_EQ(form->View->Legend().size(), traces);
        EXPECT_TRUE(line(*form, 0).contains(QPointF(0.45, 3.0)));
        EXPECT_TRUE(line(*form, 6).contains(QPointF(0.45, 8.5)));
        EXPECT_EQ(form->View->Legend()[6].text, QStringLiteral("T.gas x 10"));
        EXPECT_EQ(form->View->Lines()[4].colour, QColor(255, 255, 128));
        EXPECT_FALSE(form->View->Lines()[4].dashed);
        withTracesDialog(*form, [&](TFormGestioneTracce& dialog) {
            EXPECT_EQ(dialog.findChildren<QCheckBox*>().size(), traces);
            const auto* last = dialog.findChild<QCheckBox*>(QStringLiteral("CheckTrack") +
                                                            QString::number(traces - 1));
            ASSERT_TRUE(last);
            EXPECT_EQ(last->text(), GraphTraces::Title(traces - 1));
            EXPECT_TRUE(last->isChecked());
            EXPECT_GT(dialog.ButtonOk->y(), last->geometry().bottom());
        });
    }
}

TEST_F(GraphFileTest, HidingEveryTraceEmptiesTheChartAndTheDialogShowsThemAgain) {
    const auto form = open(write(QStringLiteral("giro.txt"), 2, records(50)));
    EXPECT_GT(points(*form), 0);
    withTracesDialog(*form, [](TFormGestioneTracce& dialog) {
        for (QCheckBox* check : dialog.Checks) {
            check->setFocus();
            QTest::keyClick(check, Qt::Key_Space);
        }
    });
    EXPECT_EQ(points(*form), 0);
    EXPECT_TRUE(form->View->Legend().isEmpty());
    // Annulla changes nothing.
    withTracesDialog(*form, [](TFormGestioneTracce& dialog) {
        for (QCheckBox* check : dialog.Checks) EXPECT_FALSE(check->isChecked());
        dialog.Checks[0]->setChecked(true);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(points(*form), 0);
    withTracesDialog(*form, [](TFormGestioneTracce& dialog) {
        for (QCheckBox* check : dialog.Checks) check->setChecked(true);
    });
    for (const GraphView::Line& l : form->View->Lines()) EXPECT_EQ(l.points.size(), 50);
}

TEST_F(GraphFileTest, MissingEmptyAndBadFiles) {
    TFormGraficoDrt missing(folder.filePath(QStringLiteral("nessuno.txt")), kScreen);
    EXPECT_FALSE(missing.Load());
    EXPECT_TRUE(dialogs.shown().empty());

    const auto empty = open(write(QStringLiteral("vuoto"), 1, {}));
    EXPECT_EQ(empty->windowTitle(), QStringLiteral("Grafico - "));
    EXPECT_EQ(empty->View->Lines().size(), 7);
    EXPECT_EQ(points(*empty), 0);
    EXPECT_TRUE(dialogs.shown().empty());

    const QByteArray good = AcquisitionFormat::Header(2, QStringLiteral("oggi")) + "\r\n" +
                            AcquisitionFormat::Headings(2) + "\r\n" +
                            AcquisitionFormat::Record(recordAt(0), 2) + "\r\n";
    const QByteArray bad[] = {"Grafico dati\r\n1\t2\r\n",
                              good + AcquisitionFormat::Record(recordAt(1), 1)};
    for (const QByteArray& bytes : bad) {
        dialogs.clear();
        TFormGraficoDrt form(put(QStringLiteral("rotto.1.txt"), bytes), kScreen);
        EXPECT_FALSE(form.Load());
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.last().text, kFormatError);
        EXPECT_EQ(dialogs.last().title, QStringLiteral("Grafico - rotto"));
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    }
}

// Dragging across the plot zooms into that time span; Ctrl+Z goes back to the whole recording.
TEST_F(GraphFileTest, ZoomByDraggingAndUndoByKey) {
    const auto form = open(write(QStringLiteral("lungo.txt"), 2, records(20000)));
    const GraphModel::Range whole = form->Model()->Whole();
    const QRect plot = form->View->PlotArea();
    // Thousands of records per pixel column, a few points each drawn.
    EXPECT_LE(line(*form, 0).size(), 4 * (plot.width() + 1) + 2);
    auto drag = [&](int fromX, int toX) {
        QWidget* viewport = form->View;
        const int y = plot.center().y();
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(fromX, y));
        QTest::mouseMove(viewport, QPoint((fromX + toX) / 2, y));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(toX, y));
    };
    drag(plot.left() + plot.width() / 4, plot.left() + plot.width() / 2);
    const GraphModel::Range first = form->Model()->Visible();
    EXPECT_NEAR(first.from, whole.to / 4, whole.to / 100);
    EXPECT_NEAR(first.to, whole.to / 2, whole.to / 100);
    drag(plot.right() - 10, plot.left() + 10);  // right to left works alike
    const GraphModel::Range second = form->Model()->Visible();
    EXPECT_GT(second.from, first.from);
    EXPECT_LT(second.to, first.to);
    EXPECT_DOUBLE_EQ(form->View->XAxis().from, second.from);
    EXPECT_DOUBLE_EQ(form->View->XAxis().to, second.to);
    // The value axis fits what is seen there.
    const GraphModel::Range values = form->Model()->ValueRange();
    EXPECT_DOUBLE_EQ(form->View->YAxis().from, values.from);
    EXPECT_DOUBLE_EQ(form->View->YAxis().to, values.to);
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Model()->Visible(), whole);
    EXPECT_DOUBLE_EQ(form->View->XAxis().from, whole.from);
    EXPECT_DOUBLE_EQ(form->View->XAxis().to, whole.to);
    // A narrower window has fewer columns, and gets fewer points.
    const qsizetype wide = line(*form, 0).size();
    form->resize(400, 600);
    QApplication::processEvents();
    const int columns = form->View->PlotArea().width();
    EXPECT_LT(columns, plot.width() / 2);
    EXPECT_LE(line(*form, 0).size(), 4 * (columns + 1) + 2);
    EXPECT_LT(line(*form, 0).size(), wide);
}

TEST_F(GraphFileTest, TheCursorReadoutShowsTheRecordAtOrBeforeTheMouse) {
    const auto form = open(write(QStringLiteral("giro.txt"), 1, records(10)));
    const double seconds = 0.15 * 6 + 0.1;  // between records 6 and 7
    const QPoint at = form->View->ToPixel(QPointF(seconds, 1)).toPoint();
    QTest::mouseMove(form->View, at);
    ASSERT_TRUE(form->View->CursorShown());
    const QString text = form->View->Readout()->text();
    EXPECT_TRUE(text.contains(QStringLiteral("0.900 s"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Giri: ") + QString::number(recordAt(6).rpm)))
        << text.toStdString();
    QTest::mouseMove(form->View, QPoint(1, 1));  // off the plot
    EXPECT_FALSE(form->View->CursorShown());
}

// The colours of every stroke in a PDF file: its content streams inflated, their
// "r g b SCN" / "r g b RG" operators read.
std::set<QRgb> strokeColours(const QByteArray& pdf) {
    std::set<QRgb> colours;
    static const QRegularExpression op(
        QStringLiteral("([0-9.]+) ([0-9.]+) ([0-9.]+) (?:SCN|RG)\\b"));
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at)) {
        at += 7;
        const qsizetype end = pdf.indexOf("endstream", at);
        if (end < 0) break;
        QByteArray body = pdf.mid(at, end - at);
        const qsizetype object = pdf.lastIndexOf(" obj", at);
        if (pdf.mid(object, at - object).contains("/FlateDecode")) {
            QByteArray sized(4, '\0');  // the length qUncompress wants first, a hint only
            qToBigEndian<quint32>(quint32(body.size() * 20), sized.data());
            body = qUncompress(sized + body);
        }
        const QString text = QString::fromLatin1(body);
        for (const auto& m : op.globalMatch(text)) {
            auto channel = [&](int i) { return qRound(m.captured(i).toDouble() * 255); };
            colours.insert(qRgb(channel(1), channel(2), channel(3)));
        }
        at = end + 9;  // past "endstream", which holds "stream" too
    }
    return colours;
}

TEST_F(GraphFileTest, PrintingHoldsEveryShownTraceInItsColour) {
    const auto form = open(write(QStringLiteral("giro.txt"), 2, records(200)));
    const QString pdf = folder.filePath(QStringLiteral("stampa.pdf"));
    // Giri, the only red trace, hidden.
    withTracesDialog(*form,
                     [](TFormGestioneTracce& dialog) { dialog.Checks[0]->setChecked(false); });
    int setups = 0;
    form->PrintSetup = [&](QPrinter& printer) {
        ++setups;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(setups, 1);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::set<QRgb> colours = strokeColours(file.readAll());
    for (int trace = 1; trace < GraphTraces::kCount; ++trace)
        EXPECT_TRUE(colours.count(GraphTraces::All()[trace].colour.rgb())) << trace;
    EXPECT_FALSE(colours.count(qRgb(255, 0, 0)));  // the hidden trace is not printed

    EXPECT_TRUE(dialogs.shown().empty());

    // A cancelled dialog prints nothing.
    QFile::remove(pdf);
    form->PrintSetup = [](QPrinter&) { return false; };
    QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(dialogs.shown().empty());

    // A printer that cannot take the job is told.
    form->PrintSetup = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(QStringLiteral("manca/stampa.pdf")));
        return true;
    };
    QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Impossibile stampare il grafico."));
}

// The overlaid drive's lines are dashed in the traces' colours, at its records' own times plus
// the shift: its start on the first drive's start, then the offset the keys or the dialog give.
TEST_F(GraphFileTest, ASecondRecordingIsComparedAtItsTimesPlusTheChosenOffset) {
    const auto form = open(write(QStringLiteral("primo.txt"), 2, records(200)));
    const std::vector<AcquisitionRecord> second = secondDrive(150);
    EXPECT_FALSE(form->ActionAvanti->isEnabled());
    dialogs.chooseFile(writeSecond(1, 150));
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs().size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs()[0].request.title, QStringLiteral("Confronta con"));
    ASSERT_TRUE(form->Overlay());
    ASSERT_EQ(form->View->Lines().size(), 10 + 7);

    // Each of the second drive's records at its own time plus the shift, in every trace.
    auto expectAt = [&](double offset) {
        SCOPED_TRACE(offset);
        EXPECT_NEAR(form->Overlay()->Offset(), offset, 1e-9);
        const double shift = -0.45 + offset;
        for (int trace = 0; trace < 7; ++trace) {
            const GraphView::Line& l = form->View->Lines()[10 + trace];
            EXPECT_TRUE(l.dashed);
            EXPECT_EQ(l.colour, GraphTraces::All()[size_t(trace)].colour);
            ASSERT_FALSE(l.points.isEmpty());
            int k = 0;
            for (const QPointF& p : l.points) {
                while (k < int(second.size()) && second[size_t(k)].time * 0.001 + shift < p.x() - 1e-9)
                    ++k;
                ASSERT_LT(k, int(second.size())) << "no record at " << p.x();
                EXPECT_NEAR(second[size_t(k)].time * 0.001 + shift, p.x(), 1e-9);
                // The file holds single-precision values.
                EXPECT_FLOAT_EQ(GraphTraces::All()[size_t(trace)].value(second[size_t(k)]), p.y());
            }
        }
    };
    expectAt(0);
    EXPECT_DOUBLE_EQ(line(*form, 10).front().x(), 0);  // aligned at the starts
    const double step = form->ShiftStep();
    EXPECT_DOUBLE_EQ(step, 1);  // a round fiftieth of the 30 s shown
    QTest::keyClick(form.get(), Qt::Key_Right, Qt::ControlModifier);
    expectAt(step);
    QTest::keyClick(form.get(), Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_Left, Qt::ControlModifier);
    expectAt(-step);

    // A typed offset: a word is refused and the dialog stays; a number with a comma is taken.
    withDialog<TFormSpostamento>(*form, Qt::CTRL | Qt::Key_T, [](TFormSpostamento& dialog) {
        QTest::keyClicks(dialog.EditSecondi, QStringLiteral("mezzo"));
        QTest::keyClick(dialog.EditSecondi, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        dialog.EditSecondi->selectAll();
        QTest::keyClicks(dialog.EditSecondi, QStringLiteral("2,25"));
        QTest::keyClick(dialog.EditSecondi, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
    });
    expectAt(2.25);
    const GraphView::LegendEntry last = form->View->Legend().last();
    EXPECT_EQ(last.text, QStringLiteral("secondo.giro (+2.25 s)"));
    EXPECT_TRUE(last.dashed);

    // The readout shows both drives at the cursor, the second at the time minus the shift.
    const double at = 10.0;
    QTest::mouseMove(form->View, form->View->ToPixel({at, 1}).toPoint());
    const QString text = form->View->Readout()->text();
    const double seconds = form->View->ToValue(form->View->ToPixel({at, 1}).toPoint()).x();
    const auto mine = form->Model()->ReadingAt(seconds);
    const auto theirs = form->Overlay()->ReadingAt(seconds);
    ASSERT_TRUE(mine && theirs);
    const double own = seconds - (-0.45 + 2.25);
    EXPECT_NEAR(theirs->seconds, std::floor((own - 0.45) / 0.15 + 1e-9) * 0.15 + 0.45, 1e-9);
    const int theirRpm = int(std::lround(theirs->values[0].second * 1000));
    EXPECT_GE(theirRpm, 4800);
    for (const QString& part :
         {QStringLiteral("Giri: ") + QString::number(int(std::lround(mine->values[0].second * 1000))),
          QStringLiteral("secondo.giro (+2.25 s): ") + QString::number(theirs->seconds, 'f', 3),
          QStringLiteral("Giri: ") + QString::number(theirRpm)})
        EXPECT_TRUE(text.contains(part)) << part.toStdString() << " in " << text.toStdString();

    // A file that is not a recording is refused; the comparison stays.
    dialogs.chooseFile(put(QStringLiteral("note.txt"), "appunti\r\n"));
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.last().text, kFormatError);
    EXPECT_EQ(form->Overlay()->Name(), QStringLiteral("secondo.giro"));
    expectAt(2.25);
}

// Petrol time against gas time by default, any two traces by the axes dialog; both drives.
TEST_F(GraphFileTest, TheXYViewPlotsEachRecordsPairForBothRecordings) {
    const auto form = open(write(QStringLiteral("primo.txt"), 2, records(120)));
    ASSERT_TRUE(form->Compare(writeSecond(2, 80)));
    const std::vector<AcquisitionRecord>& mine = form->Model()->Records();
    const std::vector<AcquisitionRecord>& theirs = form->Overlay()->Model().Records();
    QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier);
    ASSERT_TRUE(form->IsXY());
    auto expectClouds = [&](double (*x)(const AcquisitionRecord&),
                            double (*y)(const AcquisitionRecord&)) {
        ASSERT_EQ(form->View->Clouds().size(), 2);
        const std::vector<AcquisitionRecord>* recordings[] = {&mine, &theirs};
        for (int c = 0; c < 2; ++c) {
            const std::vector<QPointF>& points = form->View->Clouds()[c].points;
            ASSERT_EQ(points.size(), recordings[c]->size());
            for (size_t i = 0; i < points.size(); ++i)
                EXPECT_EQ(points[i], QPointF(x((*recordings[c])[i]), y((*recordings[c])[i])));
        }
        EXPECT_TRUE(form->View->Lines().isEmpty());
    };
    using R = const AcquisitionRecord&;
    expectClouds([](R r) { return r.gasTime1; }, [](R r) { return r.petrolTime1; });
    EXPECT_EQ(form->View->XAxis().title, QStringLiteral("T inj. gas"));
    EXPECT_EQ(form->View->YAxis().title, QStringLiteral("T inj. benz."));

    // Speed up, pressure across, chosen by keys.
    withDialog<TFormAssiXY>(*form, Qt::CTRL | Qt::SHIFT | Qt::Key_Y, [](TFormAssiXY& dialog) {
        dialog.ComboX->setFocus();
        QTest::keyClick(dialog.ComboX, Qt::Key_P, Qt::NoModifier);  // "Pressione"
        dialog.ComboY->setFocus();
        QTest::keyClick(dialog.ComboY, Qt::Key_G, Qt::NoModifier);  // "Giri"
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(form->XYAxes(), (GraphXY::Axes{4, 0}));
    expectClouds([](R r) { return r.pressure; }, [](R r) { return double(r.rpm); });

    // Over a point: its drive, its time and both values with their traces' precision.
    const QPointF point = form->View->Clouds()[1].points[17];
    QTest::mouseMove(form->View, form->View->ToPixel(point).toPoint());
    const QString text = form->View->Readout()->text();
    for (const QString& part : {QStringLiteral("secondo.giro: ") +
                                    QString::number(theirs[17].time * 0.001, 'f', 3) + " s",
                                QStringLiteral("Pressione: ") +
                                    QString::number(theirs[17].pressure, 'f', 2) + "<br>"})
        EXPECT_TRUE(text.contains(part)) << part.toStdString() << " in " << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("Giri: ") + QString::number(theirs[17].rpm)))
        << text.toStdString();

    QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(form->IsXY());
    EXPECT_EQ(form->View->Lines().size(), 20);
}

// Each axis's ticks at multiples of a round step, labelled with it.
TEST_F(GraphFileTest, BothAxesTickAtRoundValues) {
    const auto form = open(write(QStringLiteral("giro.txt"), 2, records(317)));
    form->ZoomTo(3.3, 41.7);
    for (const std::vector<double>& ticks : {form->View->XTicks(), form->View->YTicks()}) {
        ASSERT_GE(ticks.size(), 2u);
        const double step = ticks[1] - ticks[0];
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                    std::abs(mantissa - 5) < 1e-6)
            << step;
        for (const double t : ticks) EXPECT_NEAR(t / step, std::round(t / step), 1e-6) << t;
    }
}

TEST_F(GraphFileTest, CsvHasAHeadingAndOneRowPerRecordAndReadsBackEqual) {
    for (const int version : {1, 2}) {
        SCOPED_TRACE(version);
        const std::vector<AcquisitionRecord> all = records(300);
        const auto form = open(write(QStringLiteral("giro.txt"), version, all));
        const QString csv = folder.filePath(QStringLiteral("giro.csv"));
        dialogs.chooseFile(csv);
        form->ActionEsporta->trigger();
        ASSERT_EQ(dialogs.fileDialogs().size(), 1u);
        EXPECT_TRUE(dialogs.fileDialogs()[0].save);
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QList<QByteArray> lines = bytes.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 301);
        EXPECT_EQ(lines[0].trimmed(),
                  QByteArray(version == 1 ? "TEMPO,GIRI,LAMBDA,INJ.,INJ.BNZ,PRESS.,T.RID.,T.MOT."
                                          : "TEMPO,GIRI,LAMBDA,INJ.,INJ.BNZ,PRESS.,T.RID.,T.MOT.,"
                                            "LAMBDA2,INJ2.,INJ.BNZ2"));
        // The rows are the file's records: back into the file's own format, they read equal.
        AcquisitionReader::Recording back;
        QByteArray text = "Ver. 1 " + QByteArray::number(version) + "\r\n" + bytes.trimmed();
        ASSERT_EQ(AcquisitionReader::Parse(text.replace(',', '\t'), back),
                  AcquisitionReader::Result::Read);
        EXPECT_EQ(back.records, form->Model()->Records());
        EXPECT_EQ(int(back.records.size()), 300);
        dialogs.clear();
    }
    // A folder that is not there: told, nothing written.
    const auto form = open(write(QStringLiteral("giro.txt"), 1, records(3)));
    const QString nowhere = folder.filePath(QStringLiteral("manca/giro.csv"));
    dialogs.chooseFile(nowhere);
    form->ActionEsporta->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.last().text.endsWith(nowhere));
    EXPECT_FALSE(QFile::exists(nowhere));
}

}  // namespace
