#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "ConfigBaseLibrary.h"
#include "ConfigSource.h"
#include "Scrambler.h"
#include "TransferError.h"

namespace {

const QString kKey = QStringLiteral("Chiave di prova");
const QByteArray kEnc = "ENCRYPTED_MLTP_FILE\r\n";
const QByteArray kPlain = "[Generale]\r\nFlag1=1044\r\nDescrizAuto=Panda 1.2\r\n";

QByteArray Scrambled(QByteArray body) {
    Scrambler::Transform(body, *Scrambler::KeyBytes(kKey));
    return body;
}

// Every test gets its own temporary folder, so that the copies it leaves can be counted
// while other test programs run beside it.
class ConfigSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldTmp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmp_.path().toLocal8Bit());
        ASSERT_EQ(QDir(QDir::tempPath()).canonicalPath(), QDir(tmp_.path()).canonicalPath());
    }
    void TearDown() override { qputenv("TMPDIR", oldTmp_); }

    QString Path(const QString& name) const { return work_.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList TempCopies() const { return QDir(tmp_.path()).entryList(QDir::Files); }
    QStringList WorkFiles() const { return QDir(work_.path()).entryList(QDir::Files); }

    QString ExpectTransferError(const std::function<void()>& action) {
        try {
            action();
        } catch (const TransferError& error) {
            return error.text();
        }
        return QStringLiteral("(no error)");
    }

    QTemporaryDir work_, tmp_;
    QByteArray oldTmp_;
};

TEST_F(ConfigSourceTest, SaveThenLoadRoundTrip) {
    {
        ConfigSource source;
        source.OpenFile(Path("auto.kv4"), false, kKey);
        ASSERT_TRUE(source.IsOpen());
        EXPECT_FALSE(source.IsResource());
        EXPECT_EQ(TempCopies().size(), 1);
        EXPECT_TRUE(TempCopies().first().startsWith("_mt"));
        EXPECT_TRUE(TempCopies().first().endsWith(".tmp"));
        source.WriteInt(-20, "ParametriTempMotore3", "Temperatura");
        source.WriteBool(true, "Ufficiale", "Generale");
        source.WriteText(QStringLiteral("Punto 1.2 \u00e8"), "DescrizAuto", "Generale");
        source.WriteInt(4, "N cilindri", "Generale");
        source.CloseFile();
        EXPECT_FALSE(source.IsOpen());
    }
    EXPECT_TRUE(TempCopies().isEmpty());
    const QByteArray onDisk = Read("auto.kv4");
    ASSERT_TRUE(onDisk.startsWith(kEnc));
    EXPECT_FALSE(onDisk.contains("Generale"));

    ConfigSource source;
    source.OpenFile(Path("auto.kv4"), true, kKey);
    int32_t number = 0, cylinders = 0;
    bool official = false;
    QString text;
    source.ReadInt(number, "parametritempmotore3", "TEMPERATURA");
    source.ReadBool(official, "Ufficiale", "Generale");
    source.ReadText(text, "DescrizAuto", "Generale", 51);
    source.ReadInt(cylinders, "N cilindri", "Generale");
    EXPECT_EQ(number, -20);
    EXPECT_TRUE(official);
    EXPECT_EQ(text, QStringLiteral("Punto 1.2 \u00e8"));
    EXPECT_EQ(cylinders, 4);
    EXPECT_TRUE(source.MissedKeys().isEmpty());
    source.CloseFile();
    // Nothing changed, so the file keeps its bytes.
    EXPECT_EQ(Read("auto.kv4"), onDisk);
    EXPECT_TRUE(TempCopies().isEmpty());
}

// A text with control characters (an ECU description padded with zeros) is saved so that
// the file still loads.
TEST_F(ConfigSourceTest, ControlCharactersInTextsKeepTheFileLoadable) {
    ConfigSource source;
    source.OpenFile(Path("c.kv4"), false, kKey);
    source.WriteText(QString::fromLatin1("Panda\0\x01\n1.2\0\0", 12), "DescrizAuto", "Generale");
    source.CloseFile();
    source.OpenFile(Path("c.kv4"), true, kKey);
    QString text;
    source.ReadText(text, "DescrizAuto", "Generale", 51);
    EXPECT_EQ(text, "Panda   1.2");
    source.CloseFile();
}

TEST_F(ConfigSourceTest, ReadsChangeOnlyWhatExists) {
    Write("a.kv4", kEnc + Scrambled("[Generale]\r\nFlag1=abc\r\nFlag2=0x1F\r\nU=0\r\n"
                                    "DescrizAuto=0123456789\r\nBig=4294967296\r\n"
                                    "Faccina=ab\xF0\x9F\x98\x80\r\n"));
    ConfigSource source;
    int32_t value = 5;
    bool flag = true;
    QString text = "old";
    source.ReadInt(value, "Flag2", "Generale");  // nothing open
    EXPECT_EQ(value, 5);

    source.OpenFile(Path("a.kv4"), true, kKey);
    source.ReadInt(value, "Missing", "Generale");
    EXPECT_EQ(value, 5);
    source.ReadInt(value, "Flag1", "Generale");  // not a number
    EXPECT_EQ(value, 5);
    source.ReadInt(value, "Big", "Generale");  // out of range
    EXPECT_EQ(value, 5);
    source.ReadInt(value, "Flag2", "Generale");
    EXPECT_EQ(value, 0x1F);
    source.ReadBool(flag, "U", "Generale");
    EXPECT_FALSE(flag);
    source.ReadText(text, "Missing", "Generale", 10);
    EXPECT_EQ(text, "old");
    source.ReadText(text, "DescrizAuto", "Generale", 5);
    EXPECT_EQ(text, "0123");
    source.ReadText(text, "DescrizAuto", "Generale", 0);
    EXPECT_EQ(text, "");
    source.ReadText(text, "Faccina", "Generale", 4);  // three units would split the pair
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(source.MissedKeys(), QStringList({"Generale/Missing", "Generale/Missing"}));
    source.CloseFile();
}

TEST_F(ConfigSourceTest, HeaderVariantsLoadAndAreScrambledOnClose) {
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"scrambled with header", kEnc + Scrambled(kPlain)},
        {"scrambled without header", Scrambled(kPlain)},
        {"plain copy", "DECRYPTED_MLTP_FILE\r\n" + kPlain},
    };
    for (const Case& c : cases) {
        Write("v.kv4", c.bytes);
        ConfigSource source;
        source.OpenFile(Path("v.kv4"), true, kKey);
        QString text;
        source.ReadText(text, "DescrizAuto", "Generale", 51);
        EXPECT_EQ(text, "Panda 1.2") << c.name;
        source.CloseFile();
        EXPECT_EQ(Read("v.kv4"), kEnc + Scrambled(kPlain)) << c.name;
        EXPECT_TRUE(TempCopies().isEmpty()) << c.name;
    }
}

TEST_F(ConfigSourceTest, BadInputChangesNothing) {
    const QByteArray full = kEnc + Scrambled(kPlain);
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray garbage;
    for (int i = 0; i < 512; ++i) garbage.append(static_cast<char>((i * 7919 + 13) % 251));
    const Case cases[] = {
        {"empty", ""},
        {"header only", kEnc},
        {"cut inside the header", kEnc.left(12)},
        {"cut in the middle of a line", full.left(full.size() - 5)},
        {"binary garbage", garbage},
        {"plain text without a header is taken as scrambled", kPlain},
        {"text without any key", kEnc + Scrambled("[Generale]\r\njust words\r\n")},
    };
    for (const Case& c : cases) {
        Write("bad.kv4", c.bytes);
        ConfigSource source;
        EXPECT_EQ(ExpectTransferError([&] { source.OpenFile(Path("bad.kv4"), true, kKey); }),
                  ConfigSource::kReadFailed)
            << c.name;
        EXPECT_FALSE(source.IsOpen());
        source.CloseFile();  // nothing open: nothing written
        EXPECT_EQ(Read("bad.kv4"), c.bytes) << c.name;
        EXPECT_TRUE(TempCopies().isEmpty()) << c.name;
    }
    ConfigSource source;
    EXPECT_EQ(ExpectTransferError([&] { source.OpenFile(Path("none.kv4"), true, kKey); }),
              ConfigSource::kReadFailed);
    EXPECT_EQ(ExpectTransferError([&] { source.OpenFile(work_.path(), true, kKey); }),
              ConfigSource::kReadFailed);
    Write("good.kv4", full);
    EXPECT_EQ(ExpectTransferError([&] { source.OpenFile(Path("good.kv4"), true, QString()); }),
              ConfigSource::kReadFailed);
    EXPECT_FALSE(QFile::exists(Path("none.kv4")));
    EXPECT_TRUE(TempCopies().isEmpty());
}

// A write that fails half-way (here: the file size limit, as a full disk would) keeps the
// old file and reports; the copy is removed all the same.
TEST_F(ConfigSourceTest, FailedWriteKeepsTheOldFile) {
    const QByteArray old = kEnc + Scrambled(kPlain);
    Write("keep.kv4", old);
    ConfigSource source;
    source.OpenFile(Path("keep.kv4"), false, kKey);
    source.WriteText("Nuova descrizione abbastanza lunga", "DescrizAuto", "Generale");
    const qint64 copySize = QByteArray(
                                "[Generale]\r\nDescrizAuto=Nuova descrizione abbastanza "
                                "lunga\r\n")
                                .size();

    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = copySize + 4;  // the copy fits, the scrambled file with its header does not
    setrlimit(RLIMIT_FSIZE, &limit);
    const QString error = ExpectTransferError([&] { source.CloseFile(); });
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, ConfigSource::kWriteFailed);
    EXPECT_FALSE(source.IsOpen());
    EXPECT_EQ(Read("keep.kv4"), old);
    EXPECT_EQ(WorkFiles(), QStringList{"keep.kv4"});
    EXPECT_TRUE(TempCopies().isEmpty());
}

TEST_F(ConfigSourceTest, TargetInMissingFolderFails) {
    ConfigSource source;
    source.OpenFile(Path("no/such/folder/x.kv4"), false, kKey);
    source.WriteInt(1, "Flag1", "Generale");
    EXPECT_EQ(ExpectTransferError([&] { source.CloseFile(); }), ConfigSource::kWriteFailed);
    EXPECT_TRUE(TempCopies().isEmpty());
}

TEST_F(ConfigSourceTest, DestroyingAnOpenSourceWritesNothing) {
    Write("keep.kv4", "DECRYPTED_MLTP_FILE\r\n" + kPlain);
    {
        ConfigSource source;
        source.OpenFile(Path("keep.kv4"), true, kKey);
        source.WriteInt(1, "Flag1", "Generale");
        source.OpenFile(Path("other.kv4"), false, kKey);  // already open: nothing
        EXPECT_EQ(source.FileName(), Path("keep.kv4"));
    }
    EXPECT_EQ(Read("keep.kv4"), "DECRYPTED_MLTP_FILE\r\n" + kPlain);
    EXPECT_FALSE(QFile::exists(Path("other.kv4")));
    EXPECT_TRUE(TempCopies().isEmpty());
}

TEST_F(ConfigSourceTest, MissingResourceFails) {
    ConfigSource source;
    ConfigBaseLibrary* saved = ConfigBaseLibrary::Current();
    ConfigBaseLibrary::SetCurrent(nullptr);
    EXPECT_EQ(ExpectTransferError([&] { source.OpenResource(1, kKey); }),
              ConfigSource::kResourceFailed);
    ConfigBaseLibrary library;
    ASSERT_TRUE(library.Load()) << library.LoadError().toStdString();
    ConfigBaseLibrary::SetCurrent(&library);
    EXPECT_EQ(ExpectTransferError([&] { source.OpenResource(99999, kKey); }),
              ConfigSource::kResourceFailed);
    EXPECT_EQ(ExpectTransferError([&] { source.OpenResource(-1, kKey); }),
              ConfigSource::kResourceFailed);
    EXPECT_FALSE(source.IsOpen());
    EXPECT_TRUE(TempCopies().isEmpty());
    ConfigBaseLibrary::SetCurrent(saved);
}

}  // namespace
