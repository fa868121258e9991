#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "GraphData.h"

namespace {

// Two traces every 150 ms with a 2 s hole between 60 s and 62 s; trace 0 zig-zags with a sharp
// spike every 97 records, so a column that drops a record loses a peak; trace 1 is far above it.
constexpr int kRecords = 1000;

double timeOf(int record) { return (record * 150 + (record >= 400 ? 2000 : 0)) * 0.001; }

double valueOf(int trace, int record) {
    if (trace == 1) return 1000.0 + record;
    if (record % 97 == 0) return (record % 2 == 0) ? 50.0 : -50.0;
    return (record * 37 % 101) * 0.1;
}

GraphData recording() {
    GraphData data(2);
    for (int i = 0; i < kRecords; ++i) data.append(timeOf(i), {valueOf(0, i), valueOf(1, i)});
    return data;
}

constexpr double kFirst = 0.0;
const double kLast = timeOf(kRecords - 1);

struct Extremes {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    bool operator==(const Extremes&) const = default;
};

struct Case {
    const char* name;
    double from;
    double to;
    int columns;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class DecimationTest : public testing::TestWithParam<Case> {};

// Per pixel column, the lowest and highest value of the drawn points against the same over every
// record; the drawn points are records themselves, in time order.
TEST_P(DecimationTest, KeepsEveryColumnsExtremes) {
    const Case c = GetParam();
    GraphData data = recording();
    const double width = (c.to - c.from) / c.columns;
    auto columnOf = [&](double t) {
        return std::min(int(std::floor((t - c.from) / width)), c.columns - 1);
    };
    for (int trace = 0; trace < 2; ++trace) {
        std::map<int, Extremes> expected;
        std::map<double, double> records;
        for (int i = 0; i < kRecords; ++i) {
            const double t = timeOf(i);
            records[t] = valueOf(trace, i);
            if (t < c.from || t > c.to) continue;
            Extremes& e = expected[columnOf(t)];
            e.low = std::min(e.low, records[t]);
            e.high = std::max(e.high, records[t]);
        }
        const QList<QPointF> points = data.decimate(c.from, c.to, c.columns)[trace];
        std::map<int, Extremes> drawn;
        for (qsizetype k = 0; k < points.size(); ++k) {
            const QPointF p = points[k];
            ASSERT_TRUE(records.count(p.x())) << "not a record: " << p.x();
            EXPECT_EQ(records[p.x()], p.y());
            if (k > 0) {
                EXPECT_LT(points[k - 1].x(), p.x());
            }
            if (p.x() < c.from || p.x() > c.to) continue;
            Extremes& e = drawn[columnOf(p.x())];
            e.low = std::min(e.low, p.y());
            e.high = std::max(e.high, p.y());
        }
        EXPECT_EQ(drawn, expected) << c.name << " trace " << trace;
        EXPECT_LE(points.size(), 4 * c.columns + 2) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, DecimationTest,
                         testing::Values(Case{"WholeFile", kFirst, kLast, 100},
                                         Case{"OneColumnWider", kFirst, kLast + kLast / 99, 100},
                                         Case{"Zoomed", 30.0, 40.0, 400},
                                         Case{"InsideAGap", 60.0, 61.5, 100},
                                         Case{"PastTheEnd", kLast + 1, kLast + 10, 100},
                                         Case{"OneColumn", kFirst, kLast, 1}),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

// Zoomed into the hole, the line between the records on each side is all there is to see.
TEST(GraphDataTest, RangeInsideAGapKeepsTheLineThroughIt) {
    GraphData data(1);
    data.append(1.0, {10.0});
    data.append(3.0, {30.0});
    const QList<QPointF> points = data.decimate(1.5, 2.5, 50)[0];
    EXPECT_EQ(points, (QList<QPointF>{{1.0, 10.0}, {3.0, 30.0}}));
    const auto range = data.yRange(1.5, 2.5);
    ASSERT_TRUE(range);
    EXPECT_DOUBLE_EQ(range->low, 15.0);
    EXPECT_DOUBLE_EQ(range->high, 25.0);
    EXPECT_FALSE(data.yRange(3.5, 9.0));
}

TEST(GraphDataTest, YRangeCountsOnlyShownTracesInTheRange) {
    GraphData data = recording();
    EXPECT_DOUBLE_EQ(data.yRange(kFirst, kLast)->high, 1999.0);

    data.setShown(1, false);
    const auto range = data.yRange(kFirst, kLast);
    ASSERT_TRUE(range);
    EXPECT_DOUBLE_EQ(range->low, -50.0);
    EXPECT_DOUBLE_EQ(range->high, 50.0);
    EXPECT_TRUE(data.decimate(kFirst, kLast, 100)[1].isEmpty());
    EXPECT_FALSE(data.decimate(kFirst, kLast, 100)[0].isEmpty());

    // Records 1 to 96 hold no spike: 0.15 s to 14.4 s.
    const auto zoomed = data.yRange(0.15, 14.4);
    ASSERT_TRUE(zoomed);
    EXPECT_GT(zoomed->low, -50.0);
    EXPECT_LT(zoomed->high, 50.0);

    data.setShown(0, false);
    EXPECT_FALSE(data.yRange(kFirst, kLast));
    data.setShown(0, true);
    EXPECT_TRUE(data.yRange(kFirst, kLast));
}

TEST(GraphDataTest, EmptyRecordingDrawsNothing) {
    GraphData data(10);
    EXPECT_FALSE(data.firstTime());
    const QList<QList<QPointF>> traces = data.decimate(0.0, 10.0, 800);
    ASSERT_EQ(traces.size(), 10);
    for (const QList<QPointF>& points : traces) EXPECT_TRUE(points.isEmpty());
    EXPECT_FALSE(data.yRange(0.0, 10.0));
}

TEST(GraphDataTest, RecordsOutOfOrderAreKeptInTimeOrder) {
    GraphData data(1);
    data.append(3.0, {3.0});
    data.append(1.0, {1.0});
    data.append(2.0, {2.0});
    EXPECT_EQ(data.decimate(0.0, 4.0, 10)[0], (QList<QPointF>{{1.0, 1.0}, {2.0, 2.0}, {3.0, 3.0}}));
    EXPECT_EQ(data.firstTime(), 1.0);
    EXPECT_EQ(data.lastTime(), 3.0);
    EXPECT_THROW(data.append(4.0, {1.0, 2.0}), std::invalid_argument);
}

}  // namespace

namespace {

// Every run of a small trace with many ties and a length that leaves ragged blocks at each
// level: the pyramid's extremes are the brute force's, ties resolved to the earliest record.
TEST(GraphPyramidTest, EveryRunHasTheExtremesOfAScan) {
    std::vector<double> values;
    for (int i = 0; i < 203; ++i) values.push_back(double((i * 37 + i / 9) % 23 - (i % 50 == 0) * 40));
    GraphPyramid pyramid;
    pyramid.build(values);
    for (int first = 0; first < int(values.size()); ++first) {
        int low = first;
        int high = first;
        for (int end = first + 1; end <= int(values.size()); ++end) {
            const int last = end - 1;
            if (values[size_t(last)] < values[size_t(low)]) low = last;
            if (values[size_t(last)] > values[size_t(high)]) high = last;
            const GraphPyramid::Extremes e = pyramid.extremes(values, first, end);
            ASSERT_EQ(e.low, low) << first << ".." << end;
            ASSERT_EQ(e.high, high) << first << ".." << end;
        }
    }
}

}  // namespace
