#pragma once

#include <QList>
#include <QPointF>
#include <QtGlobal>
#include <array>
#include <deque>

#include "LiveValues.h"

// The last minute of the live values the rolling chart draws: engine speed (in thousands, as
// the graph plots it), both lambda probes and both injection times of bank 1, one sample per
// block read. Older samples fall out as new ones come; time runs back from the newest.
class RollingWindow {
  public:
    static constexpr qint64 kSpanMs = 60000;
    enum Trace { Speed, Lambda1, Lambda2, GasTime, PetrolTime, kTraces };

    struct Sample {
        qint64 ms = 0;
        std::array<double, kTraces> values{};
    };

    // The trace of the graph each one is drawn as (title and colour).
    static int GraphTrace(int trace);
    static std::array<double, kTraces> ValuesOf(const LiveValues& values);

    // A sample at a time; a time before the newest one (a clock set back) starts the window
    // again.
    void Add(qint64 ms, const std::array<double, kTraces>& values);
    const std::deque<Sample>& Samples() const { return samples_; }
    // The samples of one trace, X in seconds before the newest (-60 to 0).
    QList<QPointF> Points(int trace) const;
    // A round top for the value axis, at least the highest value in the window: it moves only
    // when a value crosses a step, so the chart's axes stay put from one block to the next.
    double Top() const;

  private:
    std::deque<Sample> samples_;
};
