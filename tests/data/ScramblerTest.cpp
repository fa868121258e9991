#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "BuildProfile.h"
#include "Scrambler.h"

namespace {

QByteArray Scrambled(QByteArray body, const QString& key) {
    Scrambler::Transform(body, *Scrambler::KeyBytes(key));
    return body;
}

const QByteArray kEnc = "ENCRYPTED_MLTP_FILE\r\n";
const QByteArray kDec = "DECRYPTED_MLTP_FILE\r\n";
const QString kKey = QStringLiteral("Chiave di prova");

TEST(ScramblerTest, KeyByteShiftsByPositionModFive) {
    // key "AB": byte n is XORed with key[n % 2] << (n % 5), cut to 8 bits.
    QByteArray zeros(7, '\0');
    Scrambler::Transform(zeros, "AB");
    const QByteArray expected("\x41\x84\x04\x10\x10\x42\x82", 7);
    EXPECT_EQ(zeros, expected);
}

// A configuration file scrambled once with the build's key and kept: the key and the scrambling
// that read it now must be the ones that wrote it.
TEST(ScramblerTest, AKeptConfigurationFileDecodesToItsText) {
    const auto file = Scrambler::ReadWholeFile(QStringLiteral(TEST_FIXTURE_DIR "/Golf.kv4"));
    ASSERT_TRUE(file.has_value());
    ASSERT_TRUE(file->startsWith(kEnc));
    const auto plain = Scrambler::Convert(*file, true, true, BuildProfile::ScrambleKey());
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(*plain, kDec +
                          "[Generale]\r\nNomeConfigurazione=Golf.kv4\r\n"
                          "DescrizAuto=Golf 1.4 16V\r\nVersioneFile=1\r\n"
                          "[Accensione-Cambio]\r\nGiriPerCambio=1800\r\n");
}

TEST(ScramblerTest, TransformIsItsOwnInverse) {
    QByteArray data;
    for (int i = 0; i < 1000; ++i) data.append(static_cast<char>(i * 37 + 11));
    QByteArray copy = data;
    Scrambler::Transform(copy, "k3y");
    EXPECT_NE(copy, data);
    Scrambler::Transform(copy, "k3y");
    EXPECT_EQ(copy, data);
}

TEST(ScramblerTest, KeyMustBeNonEmptyLatin1) {
    EXPECT_FALSE(Scrambler::KeyBytes(QString()));
    EXPECT_FALSE(Scrambler::KeyBytes(QStringLiteral("chiave\u20AC")));
    EXPECT_EQ(*Scrambler::KeyBytes(QStringLiteral("caf\u00E9")), QByteArray("caf\xE9"));
    EXPECT_FALSE(Scrambler::Convert("abc", true, true, QString()));
}

TEST(ScramblerTest, HeaderRules) {
    const QByteArray plain = "[Generale]\r\nFlag1=1044\r\n";
    const QByteArray body = Scrambled(plain, kKey);
    struct Case {
        const char* name;
        QByteArray source;
        bool unscramble;
        bool useHeader;
        QByteArray expected;
    };
    const Case cases[] = {
        {"unscramble with header", kEnc + body, true, true, kDec + plain},
        {"unscramble without header: whole file is body", body, true, true, kDec + plain},
        {"unscramble an unscrambled copy: unchanged", kDec + plain, true, true, kDec + plain},
        {"scramble a copy", kDec + plain, false, true, kEnc + body},
        {"scramble plain text without header", plain, false, true, kEnc + body},
        {"scramble a scrambled file: unchanged", kEnc + body, false, true, kEnc + body},
        {"no header option: all bytes are body", kEnc + body, true, false,
         Scrambled(kEnc + body, kKey)},
        {"header word followed by more text is body", "ENCRYPTED_MLTP_FILEX\r\n", true, true,
         kDec + Scrambled("ENCRYPTED_MLTP_FILEX\r\n", kKey)},
        {"bare LF after the header", "ENCRYPTED_MLTP_FILE\n" + body, true, true, kDec + plain},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Scrambler::Convert(c.source, c.unscramble, c.useHeader, kKey), c.expected)
            << c.name;
}

class ScramblerFileTest : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir dir_;
};

TEST_F(ScramblerFileTest, ScrambleFileRoundTrip) {
    Write("a.kv4", "[S]\r\nK=1\r\n");
    ASSERT_TRUE(Scrambler::ScrambleFile(Path("a.kv4"), Path("b.kv4"), false, true, kKey));
    EXPECT_TRUE(Read("b.kv4").startsWith(kEnc));
    ASSERT_TRUE(Scrambler::ScrambleFile(Path("b.kv4"), Path("c.tmp"), true, true, kKey));
    EXPECT_EQ(Read("c.tmp"), kDec + "[S]\r\nK=1\r\n");
}

TEST_F(ScramblerFileTest, ScrambleFileRefusesSameFileAndMissingSource) {
    Write("a.kv4", "[S]\r\nK=1\r\n");
    EXPECT_FALSE(Scrambler::ScrambleFile(Path("a.kv4"), Path("a.kv4"), false, true, kKey));
    EXPECT_FALSE(
        Scrambler::ScrambleFile(Path("a.kv4"), dir_.path() + "/./a.kv4", false, true, kKey));
    EXPECT_EQ(Read("a.kv4"), "[S]\r\nK=1\r\n");
    EXPECT_FALSE(Scrambler::ScrambleFile(Path("none"), Path("out"), true, true, kKey));
    EXPECT_FALSE(QFile::exists(Path("out")));
    EXPECT_FALSE(Scrambler::ScrambleFile(dir_.path(), Path("out"), true, true, kKey));
}

TEST_F(ScramblerFileTest, UnscrambleResourceDropsHeaderAndWritesNone) {
    const QByteArray plain = "[S]\r\nK=1\r\n";
    ASSERT_TRUE(
        Scrambler::UnscrambleResource(kEnc + Scrambled(plain, kKey), Path("r"), true, kKey));
    EXPECT_EQ(Read("r"), plain);
    ASSERT_TRUE(Scrambler::UnscrambleResource(Scrambled(plain, kKey), Path("r"), true, kKey));
    EXPECT_EQ(Read("r"), plain);
}

TEST_F(ScramblerFileTest, LoadScrambledImageLengthCountsTheBytesThatFollow) {
    const QByteArray firmware("\x00\x01\x02\xFF\x10", 5);
    Write("plain.pk4", Scrambled(firmware, kKey));
    Write("header.pk4", kEnc + Scrambled(firmware, kKey));
    for (const char* name : {"plain.pk4", "header.pk4"}) {
        const auto image = Scrambler::LoadScrambledImage(Path(name), true, kKey);
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(*image, QByteArray("\x05\x00\x00\x00", 4) + firmware) << name;
    }
    const auto raw = Scrambler::LoadScrambledImage(Path("header.pk4"), false, kKey);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->size(), 4 + kEnc.size() + firmware.size());
    EXPECT_EQ(static_cast<uint8_t>((*raw)[0]), kEnc.size() + firmware.size());
    EXPECT_FALSE(Scrambler::LoadScrambledImage(Path("none.pk4"), false, kKey));
}

}  // namespace
