// bench_snapshot: what one automatic snapshot costs the user-interface thread: the
// configuration's INI text made from the store, and its write into a SQLite archive in a
// temporary folder. Each "stored" round changes the changeover threshold first, so the
// snapshot is new; each "noted" round changes nothing, so the archive only notes it.
//
// Prints median and 99th percentile in milliseconds of the text alone, of a stored snapshot
// and of a noted one; the last lines are "text_p99_ms X", "stored_p99_ms Y", "noted_p99_ms Z".
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "ArchiveRecorder.h"
#include "Catalogue.h"
#include "TStreamDati.h"
#include "WorkshopArchive.h"

namespace {
constexpr int kDefaultRounds = 500;

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

std::vector<double> timed(int rounds, const std::function<void(int)>& round) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        round(i);
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return ms;
}

void report(const char* name, const std::vector<double>& ms) {
    std::printf("%s_median_ms %.3f\n", name, percentile(ms, 0.5));
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : kDefaultRounds;

    QTemporaryDir base;
    TStreamDati data(TStreamDati::Options{.loadLinkLibrary = false, .loadSettings = false});
    const QByteArray serial("BENCH-0001");
    for (int i = 0; i < TStreamDati::kMaxSerialNumber; ++i)
        data.Store().set(Catalogue::kSerialNumber, i, i < serial.size() ? serial[i] : 0);
    ArchiveRecorder recorder(data);
    if (!recorder.Open(QString(), base.path())) {
        std::fprintf(stderr, "bench_snapshot: the archive does not open\n");
        return 1;
    }
    data.Announce(StoreMoment::Connected);

    const auto text = timed(rounds, [&](int) { (void)data.ConfigurationText(); });
    const auto stored = timed(rounds, [&](int i) {
        data.Store().set(Catalogue::kRpmThreshold, 0, 1000 + i);
        data.Announce(StoreMoment::BeforeLoad);
    });
    const auto noted = timed(rounds, [&](int) { data.Announce(StoreMoment::BeforeLoad); });

    const auto history = recorder.Archive().history(QString::fromLatin1(serial));
    if (!history || history.value().size() != 2 * rounds + 1) {
        std::fprintf(stderr, "bench_snapshot: the archive holds %lld entries, not %d\n",
                     static_cast<long long>(history ? history.value().size() : -1), 2 * rounds + 1);
        return 1;
    }
    std::printf("rounds %d, text %lld bytes\n", rounds,
                static_cast<long long>(data.ConfigurationText().size()));
    report("text", text);
    report("stored", stored);
    report("noted", noted);
    std::printf("text_p99_ms %.3f\nstored_p99_ms %.3f\nnoted_p99_ms %.3f\n", percentile(text, 0.99),
                percentile(stored, 0.99), percentile(noted, 0.99));
    return 0;
}
