#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "BuildProfile.h"
#include "KvTool.h"
#include "ProgrammingFile.h"
#include "Scrambler.h"

namespace {

const QString kSource = QStringLiteral(CONFIG_BASE_SOURCE_DIR "/020-metano-0.ini");

class KvToolTest : public ::testing::Test {
  protected:
    int Run(const QStringList& args) {
        tool_ = KvTool{};
        return tool_.Run(args);
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QByteArray Read(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    KvTool tool_;
    QTemporaryDir dir_;
};

TEST_F(KvToolTest, EncodeThenDecodeGivesTheTextBack) {
    ASSERT_EQ(Run({"encode", kSource, Path("a.kv4")}), KvTool::kOk) << tool_.err().toStdString();
    EXPECT_TRUE(Read(Path("a.kv4")).startsWith(Scrambler::kEncryptedHeader));
    ASSERT_EQ(Run({"decode", Path("a.kv4")}), KvTool::kOk);
    EXPECT_EQ(tool_.out(), Read(kSource));

    // Another key: readable only with that key.
    ASSERT_EQ(Run({"--key", "banco", "encode", kSource, Path("b.kv4")}), KvTool::kOk);
    EXPECT_EQ(Run({"decode", Path("b.kv4")}), KvTool::kFailed);
    EXPECT_TRUE(tool_.out().isEmpty());
    EXPECT_TRUE(tool_.err().contains("another key"));
    ASSERT_EQ(Run({"decode", "--key", "banco", Path("b.kv4")}), KvTool::kOk);
    EXPECT_EQ(tool_.out(), Read(kSource));
}

TEST_F(KvToolTest, ProgrammingFilesReadBackByteForByte) {
    QByteArray firmware(
        "\x02\x10"
        "boot");
    for (int i = 0; i < 2000; ++i) firmware += static_cast<char>(i * 13);
    firmware += QByteArray("FWVER\x05\x01", 7) + QByteArray(300, '\xff');
    Write(Path("fw.bin"), firmware);
    const QByteArray image = ProgrammingFile::MakeImage(firmware);

    for (const char* kind : {"encrypt", "scramble"}) {
        const QString file = Path(QString::fromLatin1(kind) + ".pk4");
        ASSERT_EQ(Run({kind, Path("fw.bin"), file}), KvTool::kOk) << tool_.err().toStdString();
        const auto loaded = ProgrammingFile::Load(file, BuildProfile::ScrambleKey());
        EXPECT_EQ(loaded.status, ProgrammingFile::Status::Ok) << kind;
        EXPECT_EQ(loaded.image, image) << kind;
    }
    EXPECT_TRUE(Read(Path("encrypt.pk4")).startsWith(ProgrammingFile::kMarker));
    // Key material of its own each time.
    ASSERT_EQ(Run({"encrypt", Path("fw.bin"), Path("again.pk4")}), KvTool::kOk);
    EXPECT_NE(Read(Path("again.pk4")).mid(22), Read(Path("encrypt.pk4")).mid(22));
    // Scrambled with another key, only that key reads it.
    ASSERT_EQ(Run({"--key", "banco", "scramble", Path("fw.bin"), Path("banco.pk4")}), KvTool::kOk);
    EXPECT_EQ(ProgrammingFile::Load(Path("banco.pk4"), "banco").image, image);
    EXPECT_NE(ProgrammingFile::Load(Path("banco.pk4"), BuildProfile::ScrambleKey()).image, image);

    ASSERT_EQ(Run({"image", Path("fw.bin"), Path("fw.im4")}), KvTool::kOk);
    EXPECT_EQ(Read(Path("fw.im4")), image);

    Write(Path("empty.bin"), QByteArray());
    EXPECT_EQ(Run({"encrypt", Path("empty.bin"), Path("x.pk4")}), KvTool::kFailed);
    EXPECT_TRUE(tool_.err().contains("no firmware"));
    EXPECT_EQ(Run({"scramble", Path("none.bin"), Path("x.pk4")}), KvTool::kFailed);
    EXPECT_TRUE(tool_.err().contains("cannot read"));
    EXPECT_EQ(Run({"image", Path("fw.bin"), Path("no/folder/x.im4")}), KvTool::kFailed);
    EXPECT_TRUE(tool_.err().contains("cannot write"));
    EXPECT_EQ(Run({"encrypt", Path("fw.bin")}), KvTool::kUsage);
    EXPECT_FALSE(QFile::exists(Path("x.pk4")));
}

TEST_F(KvToolTest, BaseListsAndPrintsTheLibrary) {
    ASSERT_EQ(Run({"base"}), KvTool::kOk) << tool_.err().toStdString();
    EXPECT_EQ(tool_.out(), "1\tLPG\t0\n10\tLPG\t0\n11\tLPG\t1\n20\tCNG\t0\n21\tCNG\t1\n");
    ASSERT_EQ(Run({"base", "20"}), KvTool::kOk);
    EXPECT_EQ(tool_.out(), Read(kSource));
    EXPECT_EQ(Run({"base", "99"}), KvTool::kFailed);
    EXPECT_TRUE(tool_.err().contains("no base configuration 99"));
    EXPECT_EQ(Run({"--key", "banco", "base", "20"}), KvTool::kFailed);
    EXPECT_EQ(Run({"--library", Path("none.so"), "base"}), KvTool::kFailed);
    EXPECT_TRUE(tool_.err().contains("cannot load"));
}

TEST_F(KvToolTest, DiffListsTheKeysThatDiffer) {
    const QByteArray text = Read(kSource);
    // A copy with one key changed, and its line as diff prints it.
    const auto changed = [&](const QString& key, int by, const QString& name) {
        const QRegularExpression line(QStringLiteral("\n%1=(-?\\d+)\n").arg(key));
        const QRegularExpressionMatch match = line.match(QString::fromUtf8(text));
        EXPECT_TRUE(match.hasMatch()) << key.toStdString();
        const int old = match.captured(1).toInt();
        Write(Path(name + ".ini"),
              QString::fromUtf8(text)
                  .replace(match.captured(0), QStringLiteral("\n%1=%2\n").arg(key).arg(old + by))
                  .toUtf8());
        EXPECT_EQ(Run({"encode", Path(name + ".ini"), Path(name + ".kv4")}), KvTool::kOk);
        return old;
    };
    ASSERT_EQ(Run({"encode", kSource, Path("a.kv4")}), KvTool::kOk);
    const int threshold = changed("GiriPerCambio", -50, "b");

    EXPECT_EQ(Run({"diff", Path("a.kv4"), Path("b.kv4")}), 1);
    EXPECT_EQ(tool_.out(), QStringLiteral("GiriPerCambio: %1 rpm -> %2 rpm (raw %1 -> %2)\n")
                               .arg(threshold)
                               .arg(threshold - 50)
                               .toUtf8());
    EXPECT_TRUE(tool_.err().isEmpty());
    EXPECT_EQ(Run({"diff", Path("a.kv4"), Path("a.kv4")}), 0);
    EXPECT_TRUE(tool_.out().isEmpty());

    // A K-map cell with its change.
    const int cell = changed("MappaK3_2", 7, "c");
    EXPECT_EQ(Run({"diff", Path("a.kv4"), Path("c.kv4")}), 1);
    EXPECT_EQ(tool_.out(), QStringLiteral("MappaK3_2: %1 -> %2 (+7)\n").arg(cell).arg(cell + 7));

    // Base configurations by fuel and by number; this file is the CNG base.
    EXPECT_EQ(Run({"diff", "base:Metano", Path("a.kv4")}), 0) << tool_.err().toStdString();
    EXPECT_EQ(Run({"diff", "base:20", "base:cng"}), 0);
    EXPECT_EQ(Run({"diff", "base:GPL", Path("a.kv4")}), 1);
    EXPECT_TRUE(tool_.out().startsWith("Flag1: 1044 -> 1046\n")) << tool_.out().toStdString();
    EXPECT_TRUE(
        tool_.out().contains("\nDescrizAuto: \"Base GPL iniettore tipo 0\" -> \"Base "
                             "Metano iniettore tipo 0\"\n"));
}

TEST_F(KvToolTest, BadInputFailsWithAMessage) {
    Write(Path("garbage"), QByteArray("\x01\x02\x03\xff\xfe", 5));
    Write(Path("words.ini"), "no sections here\n");
    ASSERT_EQ(Run({"encode", kSource, Path("s.kv4")}), KvTool::kOk);
    struct Case {
        QStringList args;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {{}, KvTool::kUsage, "no command"},
        {{"decode"}, KvTool::kUsage, "bad command line"},
        {{"frobnicate", "x"}, KvTool::kUsage, "bad command line"},
        {{"--colour", "decode", "x"}, KvTool::kUsage, "unknown option"},
        {{"decode", "x", "--key"}, KvTool::kUsage, "needs a value"},
        {{"--key", "", "decode", "x"}, KvTool::kUsage, "the key must be"},
        {{"--key", QString(50, 'k'), "decode", "x"}, KvTool::kUsage, "the key must be"},
        {{"base", "dieci"}, KvTool::kUsage, "not a resource number"},
        {{"decode", Path("none")}, KvTool::kFailed, "cannot read"},
        {{"decode", dir_.path()}, KvTool::kFailed, "cannot read"},
        {{"decode", Path("garbage")}, KvTool::kFailed, "not a configuration file"},
        {{"encode", Path("words.ini"), Path("out")}, KvTool::kFailed, "not INI text"},
        {{"encode", Path("s.kv4"), Path("out")}, KvTool::kFailed, "already scrambled"},
        {{"encode", kSource, Path("no/folder/out")}, KvTool::kFailed, "cannot write"},
        {{"archive"}, KvTool::kUsage, "bad command line"},
        {{"archive", "frobnicate"}, KvTool::kUsage, "bad archive command line"},
        {{"archive", "history"}, KvTool::kUsage, "bad archive command line"},
        {{"--db", Path("a.sqlite"), "archive", "export", "dieci", Path("out")},
         KvTool::kUsage,
         "not a snapshot id"},
        {{"--db", Path("garbage"), "archive", "list"}, KvTool::kFailed, "garbage"},
        {{"--db", Path("a.sqlite"), "archive", "export", "7", Path("out")}, KvTool::kFailed, "7: "},
        {{"--db", Path("a.sqlite"), "archive", "import", Path("garbage")},
         KvTool::kFailed,
         "not a configuration file"},
        {{"diff", Path("s.kv4")}, KvTool::kUsage, "bad command line"},
        {{"diff", Path("s.kv4"), Path("none")}, 2, "none: cannot read"},
        {{"diff", Path("garbage"), Path("s.kv4")}, 2, "not a configuration file"},
        {{"--key", "banco", "diff", Path("s.kv4"), Path("s.kv4")}, 2, "another key"},
        {{"diff", "base:Benzina", Path("s.kv4")}, 2, "base:GPL, base:Metano or base:N"},
        {{"diff", "base:99", Path("s.kv4")}, 2, "no base configuration 99"},
        {{"--library", Path("none.so"), "diff", "base:GPL", Path("s.kv4")}, 2, "cannot load"},
        {{"diff", "snapshot:4", Path("s.kv4")}, 2, "workshop archive"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(tool_.err().contains(c.message)) << tool_.err().toStdString();
        EXPECT_TRUE(tool_.out().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(Path("out")));
}

}  // namespace
