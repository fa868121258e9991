#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "AxisTicks.h"
#include "GraphOverlay.h"
#include "GraphTraces.h"
#include "GraphXY.h"
#include "LineRaster.h"
#include <QImage>
#include <QPainter>
#include "RollingWindow.h"

namespace {

// The smallest step of 1, 2 or 5 x 10^n that puts at most `most` multiples on the range,
// found by trying them all, and those multiples.
std::vector<double> bruteTicks(double low, double high, int most, double& step) {
    for (int power = -9; power <= 9; ++power) {
        for (const double mantissa : {1.0, 2.0, 5.0}) {
            step = mantissa * std::pow(10.0, power);
            if ((high - low) / step > 1000) continue;  // far too many
            std::vector<double> ticks;
            for (long long k = std::llround(std::floor(low / step)) - 1;
                 k <= std::llround(std::ceil(high / step)) + 1; ++k) {
                const double v = double(k) * step;
                if (v >= low - step * 1e-9 && v <= high + step * 1e-9) ticks.push_back(v);
            }
            if (int(ticks.size()) <= most) return ticks;
        }
    }
    return {};
}

TEST(AxisTicksTest, RoundStepsForATableOfRanges) {
    struct Case {
        double low, high;
        int most;
    };
    const Case cases[] = {{0, 1, 5},        {0, 7.1, 5},      {2.4, 7.1, 6},   {-3.3, 12.7, 8},
                          {0.001, 0.0047, 4}, {1e5, 3.3e5, 10}, {-1, -0.2, 4},   {0, 100, 1},
                          {0.5, 0.5000001, 3}, {3.9, 86400, 12}, {-0.45, 0.45, 9}, {0, 9.99, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high << " at most " << c.most);
        double step = 0;
        const std::vector<double> expected = bruteTicks(c.low, c.high, c.most, step);
        EXPECT_DOUBLE_EQ(AxisTicks::Step(c.low, c.high, c.most), step);
        const std::vector<double> ticks = AxisTicks::Values(c.low, c.high, c.most);
        ASSERT_EQ(ticks.size(), expected.size());
        for (size_t i = 0; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i], expected[i], step * 1e-9);
        // Written with the step's decimals, each tick reads as the round value it is.
        const int decimals = AxisTicks::Decimals(step);
        for (const double t : ticks)
            EXPECT_NEAR(QString::number(t, 'f', decimals).toDouble(), t, step * 1e-6);
    }
    EXPECT_TRUE(AxisTicks::Values(5, 5, 4).empty());
    EXPECT_TRUE(AxisTicks::Values(6, 5, 4).empty());
    EXPECT_EQ(AxisTicks::Decimals(0.2), 1);
    EXPECT_EQ(AxisTicks::Decimals(0.05), 2);
    EXPECT_EQ(AxisTicks::Decimals(50), 0);
}

AcquisitionRecord record(int time, int i) {
    AcquisitionRecord r;
    r.time = time;
    r.rpm = 900 + (i * 131) % 4000;
    r.gasTime1 = 2 + (i % 7) * 0.37;
    r.petrolTime1 = 2.5 + (i % 5) * 0.41;
    r.pressure = 1 + (i % 3) * 0.05;
    r.engineTemp = 20 + i % 70;
    r.gasTime2 = 9;
    return r;
}

GraphModel modelOf(int version, int firstMs, int count, int periodMs) {
    std::vector<AcquisitionRecord> records;
    for (int i = 0; i < count; ++i) records.push_back(record(firstMs + i * periodMs, i));
    return GraphModel(AcquisitionReader::Recording{version, records});
}

// The second drive starts 3.3 s into its file; aligned at the starts and shifted by an offset,
// each point drawn is one of its records at its own time plus the shift.
TEST(GraphOverlayTest, PointsLieAtTheirOwnTimesPlusTheShift) {
    const GraphModel main = modelOf(2, 1200, 400, 150);
    auto second = std::make_unique<GraphModel>(modelOf(1, 3300, 300, 200));
    const GraphModel copy = modelOf(1, 3300, 300, 200);
    GraphOverlay overlay(std::move(second), QStringLiteral("secondo"), main.Start());
    for (const double offset : {0.0, 1.5, -2.25}) {
        SCOPED_TRACE(offset);
        overlay.SetOffset(offset);
        const double shift = 1.2 - 3.3 + offset;
        EXPECT_NEAR(overlay.Shift(), shift, 1e-12);
        const GraphModel::Range visible{10, 30};
        const QList<QList<QPointF>> points = overlay.Points(visible, 50);
        ASSERT_EQ(points.size(), 7);
        for (int trace = 0; trace < 7; ++trace) {
            ASSERT_FALSE(points[trace].isEmpty());
            for (const QPointF& p : points[trace]) {
                const double own = p.x() - shift;
                const auto r = copy.ReadingAt(own + 1e-9);
                ASSERT_TRUE(r);
                ASSERT_NEAR(r->seconds, own, 1e-9) << "not a record's time";
                EXPECT_DOUBLE_EQ(r->values[size_t(trace)].second, p.y());
            }
            // Inside the range every record is seen: the points run from its edges on.
            EXPECT_LE(points[trace].front().x(), visible.from);
            EXPECT_GE(points[trace].back().x(), visible.to);
        }
        // The cursor at a time of the first drive reads the second at that time minus the shift.
        const auto reading = overlay.ReadingAt(20);
        ASSERT_TRUE(reading);
        EXPECT_NEAR(reading->seconds, 3.3 + std::floor((20 - shift - 3.3) / 0.2 + 1e-9) * 0.2,
                    1e-9);
    }
    overlay.SetOffset(0);
    overlay.ShiftBy(0.5);
    overlay.ShiftBy(0.25);
    EXPECT_DOUBLE_EQ(overlay.Offset(), 0.75);
    // Aligned at the starts: with no offset, the first record of each falls on one time.
    overlay.SetOffset(0);
    EXPECT_DOUBLE_EQ(overlay.Points({1.2, 2}, 10)[0].front().x(), main.Start());
}

TEST(GraphXYTest, PointsAreTheRecordsPairsInTheirOwnUnits) {
    const GraphModel two = modelOf(2, 0, 250, 150);
    struct Case {
        GraphXY::Axes axes;
        double (*x)(const AcquisitionRecord&);
        double (*y)(const AcquisitionRecord&);
    };
    using R = const AcquisitionRecord&;
    const Case cases[] = {
        {{}, [](R r) { return r.gasTime1; }, [](R r) { return r.petrolTime1; }},
        {{4, 0}, [](R r) { return r.pressure; }, [](R r) { return double(r.rpm); }},
        {{6, 8}, [](R r) { return r.engineTemp; }, [](R r) { return r.gasTime2; }},
    };
    for (const Case& c : cases) {
        const std::vector<QPointF> points = GraphXY::Points(two, c.axes);
        ASSERT_EQ(points.size(), two.Records().size());
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].x(), c.x(two.Records()[i]));
            EXPECT_EQ(points[i].y(), c.y(two.Records()[i]));
        }
    }
    // A recording without the trace gives no points: one probe, or version 3.
    EXPECT_TRUE(GraphXY::Points(modelOf(1, 0, 10, 150), {2, 8}).empty());
    EXPECT_TRUE(GraphXY::Points(modelOf(3, 0, 10, 150), {9, 3}).empty());

    const std::vector<QPointF> a = {{1, 100}, {3, 300}};
    const std::vector<QPointF> b = {{2, 50}};
    const auto bounds = GraphXY::BoundsOf({&a, &b});
    ASSERT_TRUE(bounds);
    EXPECT_LT(bounds->x.from, 1);
    EXPECT_GT(bounds->x.to, 3);
    EXPECT_LT(bounds->y.from, 50);
    EXPECT_GT(bounds->y.to, 300);
    const std::vector<QPointF> none;
    EXPECT_FALSE(GraphXY::BoundsOf({&none}));
    // Nearest in pixels, not in units: a unit across is 100 pixels here, 100 units up a pixel.
    EXPECT_EQ(GraphXY::Nearest(a, {1.9, 290}, 0.01, 100), 0);
    EXPECT_EQ(GraphXY::Nearest(a, {2.6, 120}, 0.01, 100), 1);
    EXPECT_EQ(GraphXY::Nearest(none, {0, 0}, 1, 1), -1);
}

// Samples at irregular times, a pause longer than the window among them: after each one the
// window holds exactly the samples of the last minute, at their times before the newest.
TEST(RollingWindowTest, HoldsTheLastMinuteAgainstBruteForce) {
    RollingWindow window;
    std::vector<RollingWindow::Sample> all;
    qint64 ms = 1000;
    for (int i = 0; i < 1200; ++i) {
        ms += (i == 700) ? 75000 : 100 + (i * 53) % 140;
        const std::array<double, RollingWindow::kTraces> values = {
            (800 + (i * 97) % 5000) * 0.001, (i % 9) * 0.1, (i % 4) * 0.2, 2 + (i % 13) * 0.3,
            3 + (i % 11) * 0.3};
        window.Add(ms, values);
        all.push_back({ms, values});
        std::vector<RollingWindow::Sample> expected;
        double high = 0;
        for (const RollingWindow::Sample& s : all) {
            if (s.ms < ms - RollingWindow::kSpanMs) continue;
            expected.push_back(s);
            for (double v : s.values) high = std::max(high, v);
        }
        ASSERT_EQ(window.Samples().size(), expected.size()) << i;
        const QList<QPointF> speed = window.Points(RollingWindow::Speed);
        for (size_t k = 0; k < expected.size(); ++k) {
            ASSERT_EQ(window.Samples()[k].ms, expected[k].ms);
            ASSERT_DOUBLE_EQ(speed[qsizetype(k)].x(), (expected[k].ms - ms) * 0.001);
            ASSERT_EQ(speed[qsizetype(k)].y(), expected[k].values[0]);
        }
        const double top = window.Top();
        ASSERT_GE(top, high);
        // Round, and the first round value above the highest.
        const double step = AxisTicks::Step(0, high, 5);
        ASSERT_LT(top - step, high);
    }
    EXPECT_EQ(window.Points(RollingWindow::Speed).front().x(), -0.001 * (ms - window.Samples().front().ms));
    // A clock set back starts the window again.
    window.Add(ms - 5000, {});
    EXPECT_EQ(window.Samples().size(), 1u);
    EXPECT_DOUBLE_EQ(window.Top(), 1);
}

}  // namespace

namespace {

// Pixels of colour within `reach` of (x, y), in either direction.
bool near(const QImage& image, int x, int y, int reach, QRgb colour) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const QPoint p(x + dx, y + dy);
            if (image.rect().contains(p) && image.pixel(p) == colour) return true;
        }
    return false;
}

// Against the painter's own one-pixel line: every pixel it sets has one of ours beside it (the
// line two wide), and ours stray no further; a dashed line leaves gaps but keeps to the line.
TEST(LineRasterTest, FollowsThePaintersLineTwoPixelsWide) {
    const QRgb red = qRgb(255, 0, 0);
    const QList<QPolygonF> lines = {
        QPolygonF({{10, 10}, {10, 150}, {11, 20}, {11, 140}, {12, 60}}),  // a dense zig-zag
        QPolygonF({{0, 100}, {190, 90}}),                                  // shallow
        QPolygonF({{40, 0}, {60, 159}}),                                   // steep
        QPolygonF({{-500, 80}, {30, 20}, {150, 30}, {900, 120}}),          // far past both sides
        QPolygonF({{70.5, 70.5}}),                                         // one point
        QPolygonF({{100, 150}, {100, 5}}),                                 // a lone spike
    };
    for (const QPolygonF& line : lines) {
        SCOPED_TRACE(testing::Message() << line.first().x() << "," << line.first().y());
        QImage ours(200, 160, QImage::Format_RGB32);
        ours.fill(Qt::white);
        LineRaster::Draw(ours, line, red, false);
        QImage theirs(200, 160, QImage::Format_RGB32);
        theirs.fill(Qt::white);
        {
            QPainter painter(&theirs);
            painter.setPen(QPen(QColor(red), 0));
            if (line.size() == 1)
                painter.drawPoint(line.first());
            else
                painter.drawPolyline(line);
        }
        int drawn = 0;
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 200; ++x) {
                if (theirs.pixel(x, y) == red) {
                    ++drawn;
                    ASSERT_TRUE(near(ours, x, y, 1, red)) << "missing near " << x << "," << y;
                }
                if (ours.pixel(x, y) == red)
                    ASSERT_TRUE(near(theirs, x, y, 2, red)) << "stray at " << x << "," << y;
            }
        EXPECT_GT(drawn, 0);
        QImage dashed(200, 160, QImage::Format_RGB32);
        dashed.fill(Qt::white);
        LineRaster::Draw(dashed, line, red, true);
        int gaps = 0;
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 200; ++x) {
                if (dashed.pixel(x, y) == red) ASSERT_EQ(ours.pixel(x, y), red);
                if (ours.pixel(x, y) == red && dashed.pixel(x, y) != red) ++gaps;
            }
        if (drawn > 3 * (LineRaster::kDashOn + LineRaster::kDashOff)) EXPECT_GT(gaps, 0);
    }
}

}  // namespace
