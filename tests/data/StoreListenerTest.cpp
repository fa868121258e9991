#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "EcuStore.h"
#include "Scrambler.h"
#include "StoreListener.h"

void PrintTo(const ValueWrite& w, std::ostream* os) {
    *os << "{" << w.variable << "[" << w.element << "] " << w.oldRaw << "->" << w.newRaw
        << (w.ok ? " ok" : " refused") << "}";
}

namespace {
struct Heard : StoreListener {
    std::vector<ValueWrite> writes;
    std::vector<StoreMoment> moments;
    void ValueWritten(const ValueWrite& write) override { writes.push_back(write); }
    void MomentReached(StoreMoment moment) override { moments.push_back(moment); }
};

class StoreListening : public EcuStore {
  protected:
    Heard heard;

    void begin(sim::VirtualEcuOptions options = {}) {
        ASSERT_NO_FATAL_FAILURE(start(options));
        ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
        data->SetListener(&heard);
        loop->clearTrace();
    }
};

// Each setter's write reaches the listener with the value the store held before; a refused
// one is heard as refused and leaves the store as it was.
TEST_F(StoreListening, EverySetterWriteIsHeardWithTheOldAndTheNewValue) {
    struct Case {
        const char* name;
        std::function<void(TStreamDati&)> set;
        std::vector<ValueWrite> expected;
    };
    // The virtual ECU's own values: threshold 1500, flags 1044 and 1, K map cell (1, 2) 126
    // (element 14 of lines of 12), the header byte official (0x80 set).
    const std::vector<Case> cases = {
        {"threshold",
         [](TStreamDati& d) { d.SetValue(528, 1700); },
         {{528, 0, 1500, 1700, true}, {53, 0, 0x80, 0, true}}},
        {"K map cell",
         [](TStreamDati& d) { d.SetKMapCell(1, 2, 99); },
         {{53, 0, 0x80, 0, true},
          {Catalogue::elementId(Catalogue::row(Catalogue::kKMap).id), 14, 126, 99, true}}},
        {"option: only the word it changes",
         [](TStreamDati& d) { d.SetOption(8, false); },
         {{8963, 1, 1, 0, true}, {53, 0, 0x80, 0, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        begin();
        c.set(*data);
        EXPECT_EQ(heard.writes, c.expected);
        data.reset();
        loop.reset();
        heard = {};
    }
}

TEST_F(StoreListening, ARefusedWriteIsHeardAndNotStored) {
    sim::VirtualEcuOptions options;
    options.refusedVariable = 16;  // where 528 lives
    begin(options);
    EXPECT_EQ(data->SetValue(528, 1700), 0);
    ASSERT_EQ(heard.writes.size(), 1u);
    EXPECT_EQ(heard.writes[0], (ValueWrite{528, 0, 1500, 1700, false}));
    EXPECT_EQ(store().value(22), 1500);
}

// A transfer moves whole configurations: the roads' snapshots stand for it, not one heard
// write per value.
TEST_F(StoreListening, TransfersAreNotHeard) {
    begin();
    ASSERT_TRUE(data->Transfer(TStreamDati::kWriteEcu));
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    EXPECT_TRUE(heard.writes.empty());
    data->Announce(StoreMoment::BeforeReset);
    EXPECT_EQ(heard.moments, std::vector<StoreMoment>{StoreMoment::BeforeReset});
}

// The text is the save command's own, made without a file, without the link, and without
// touching the store's state.
TEST_F(StoreListening, TheConfigurationTextIsWhatTheSaveCommandWrites) {
    begin();
    ASSERT_EQ(data->SetValue(528, 1700), 1);
    QTemporaryDir dir;
    const QString file = dir.filePath("Panda.kv4");
    ASSERT_TRUE(data->Transfer(TStreamDati::kSaveFile, file));
    ASSERT_EQ(data->SetValue(56, 0.5), 1);
    data->SetModified(true);
    loop->clearTrace();

    const QByteArray text = data->ConfigurationText(QStringLiteral("Panda.kv4"));
    EXPECT_TRUE(loop->trace().empty());
    EXPECT_TRUE(data->IsModified());
    EXPECT_EQ(data->FileName(), file);
    EXPECT_TRUE(text.contains("GiriPerCambio=1700\r\n"));

    // The file on disk holds the configuration from before 56 changed; once the same change
    // is saved, the file and the text agree byte for byte.
    ASSERT_TRUE(data->Transfer(TStreamDati::kSaveFile, file));
    const auto saved = Scrambler::ReadWholeFile(file);
    ASSERT_TRUE(saved);
    const auto plain = Scrambler::Convert(*saved, true, true, data->Key());
    ASSERT_TRUE(plain);
    EXPECT_EQ(QByteArray(Scrambler::kDecryptedHeader) + "\r\n" + text, *plain);
}
}  // namespace
