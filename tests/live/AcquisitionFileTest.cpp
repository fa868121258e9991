#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "AcquisitionFormat.h"
#include "AcquisitionReader.h"
#include "AcquisitionRecorder.h"
#include "AcquisitionWriter.h"
#include "LiveValues.h"

namespace {
using Result = AcquisitionReader::Result;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

AcquisitionRecord sample(int32_t time) {
    return {.time = time,
            .rpm = 850,
            .lambda1 = 0.45,
            .gasTime1 = 3.456789,
            .petrolTime1 = 4.0,
            .pressure = 1.02,
            .reducerTemp = 37.9,
            .engineTemp = -5.5,
            .lambda2 = 0.9,
            .gasTime2 = 3.5,
            .petrolTime2 = 0.0};
}

// What reading back gives: every real column through single precision.
AcquisitionRecord throughSingle(AcquisitionRecord r, int version) {
    for (int i = 0; i < 9; ++i) {
        double& value = r.*AcquisitionFormat::RealColumns()[static_cast<size_t>(i)].value;
        value = i >= 6 && version == 1 ? 0.0 : static_cast<double>(static_cast<float>(value));
    }
    return r;
}

std::string formatted(double value) {
    QByteArray out;
    AcquisitionFormat::AppendReal(out, value);
    return out.toStdString();
}

TEST(AcquisitionFormatTest, RealsAreWrittenAsAStreamWritesThemWithAPoint) {
    const std::pair<double, const char*> cases[] = {{0.45, "0.45"},
                                                    {3.456789, "3.45679"},
                                                    {1.02, "1.02"},
                                                    {0.0, "0"},
                                                    {-0.0, "0"},
                                                    {100.0, "100"},
                                                    {1234567.0, "1.23457e+06"},
                                                    {0.0001, "0.0001"},
                                                    {0.00001, "1e-05"},
                                                    {-0.05, "-0.05"},
                                                    {45 * 0.01, "0.45"},
                                                    {123456.0, "123456"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(formatted(value), text) << value;
}

// The record of one read, worked out by hand: lambda cut (not rounded) to hundredths of a
// volt, the pressure mean from hundredths of a bar, temperatures cut towards zero, the reducer
// before the engine, each bank's gas time before its petrol time.
TEST(AcquisitionRecorderTest, ARecordOfOneReadAsTheFileHoldsIt) {
    LiveValues idle;
    idle.rpm = 850;
    idle.lambda1 = 0.456;
    idle.gasMs1 = 3.2;
    idle.petrolMs1 = 4.1;
    idle.t1 = 37.9;
    idle.t2 = -5.5;
    idle.pressure = 999;  // the latest read: the record takes the mean
    LiveValues cruise = idle;
    cruise.rpm = 2512;
    cruise.lambda1 = 0.8;
    cruise.gasMs1 = 6.75;
    cruise.petrolMs1 = 5.5;
    cruise.t1 = 71.2;
    cruise.t2 = 88.0;
    cruise.lambda2 = 0.919;
    cruise.gasMs2 = 6.5;
    cruise.petrolMs2 = 5.25;
    const struct {
        const char* what;
        LiveValues values;
        int pressureMean;
        int version;
        QByteArray line;
    } cases[] = {
        {"one probe", idle, 102, 1, "0\t850\t0.45\t3.2\t4.1\t1.02\t37\t-5"},
        {"two probes", cruise, 87, 2, "0\t2512\t0.8\t6.75\t5.5\t0.87\t71\t88\t0.91\t6.5\t5.25"},
        {"no pressure, below zero", idle, -15, 1, "0\t850\t0.45\t3.2\t4.1\t-0.15\t37\t-5"},
        {"no pressure at all", cruise, 0, 2, "0\t2512\t0.8\t6.75\t5.5\t0\t71\t88\t0.91\t6.5\t5.25"},
    };
    for (const auto& c : cases) {
        const AcquisitionRecord record = AcquisitionRecorder::RecordOf(c.values, c.pressureMean);
        EXPECT_EQ(AcquisitionFormat::Record(record, c.version), c.line) << c.what;
        EXPECT_EQ(record.time, 0) << c.what;  // timed when appended
        EXPECT_DOUBLE_EQ(record.pressure, c.pressureMean / 100.0) << c.what;
    }
}

TEST(AcquisitionWriterTest, WritesTheExactTextForOneAndTwoProbes) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Acquisition");  // made by the writer
    const struct {
        int version;
        QByteArray expected;
    } cases[] = {
        {1,
         "Ver. 1 1 real time data ECUX41, giovedì 10 dicembre 2026 16:20:00\r\n"
         "TEMPO\tGIRI\tLAMBDA\tINJ.\tINJ.BNZ\tPRESS.\tT.RID.\tT.MOT.\r\n"
         "0\t850\t0.45\t3.45679\t4\t1.02\t37\t-5\r\n"
         "150\t850\t0.45\t3.45679\t4\t1.02\t37\t-5"},
        {2,
         "Ver. 1 2 real time data ECUX41, giovedì 10 dicembre 2026 16:20:00\r\n"
         "TEMPO\tGIRI\tLAMBDA\tINJ.\tINJ.BNZ\tPRESS.\tT.RID.\tT.MOT.\tLAMBDA2\tINJ2.\tINJ.BNZ2\r\n"
         "0\t850\t0.45\t3.45679\t4\t1.02\t37\t-5\t0.9\t3.5\t0\r\n"
         "150\t850\t0.45\t3.45679\t4\t1.02\t37\t-5\t0.9\t3.5\t0"},
    };
    for (const auto& c : cases) {
        AcquisitionWriter writer;
        ASSERT_TRUE(writer.Open(folder, c.version,
                                QString::fromUtf8("giovedì 10 dicembre 2026 "
                                                  "16:20:00")));
        EXPECT_TRUE(writer.Append(sample(0)));
        EXPECT_TRUE(writer.Append(sample(150)));
        EXPECT_TRUE(writer.Close());
        EXPECT_EQ(contents(writer.Path()), c.expected) << c.version;
        QFile::remove(writer.Path());
    }
}

TEST(AcquisitionWriterTest, TakesTheFirstFreeNumberAndNeverTruncatesAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(put(dir.filePath("__acqtmp0.txt"), "left by an earlier run"));
    AcquisitionWriter writer;
    ASSERT_TRUE(writer.Open(dir.path(), 1, QStringLiteral("start")));
    EXPECT_EQ(QFileInfo(writer.Path()).fileName(), QStringLiteral("__acqtmp1.txt"));
    EXPECT_TRUE(writer.Close());
    // Stopped before the first record: the header and the headings, no line break after them.
    EXPECT_EQ(contents(writer.Path()),
              "Ver. 1 1 real time data ECUX41, start\r\n"
              "TEMPO\tGIRI\tLAMBDA\tINJ.\tINJ.BNZ\tPRESS.\tT.RID.\tT.MOT.");
    EXPECT_EQ(contents(dir.filePath("__acqtmp0.txt")), "left by an earlier run");
    AcquisitionReader::Recording read;
    EXPECT_EQ(AcquisitionReader::Read(writer.Path(), read), Result::Read);
    EXPECT_EQ(read.version, 1);
    EXPECT_TRUE(read.records.empty());
}

TEST(AcquisitionWriterTest, AFolderThatCannotBeMadeIsAFailureNamingTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(put(dir.filePath("Acquisition"), "a file where the folder should be"));
    AcquisitionWriter writer;
    EXPECT_FALSE(writer.Open(dir.filePath("Acquisition"), 2, QStringLiteral("start")));
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.Append(sample(0)));
    EXPECT_EQ(writer.Path(), dir.filePath("Acquisition/__acqtmp0.txt"));
    EXPECT_FALSE(writer.ErrorString().isEmpty());
}

TEST(AcquisitionWriterTest, TheHeaderStaysWithinALineTheReaderTakes) {
    const QString longDate = QString(300, QChar(0x00E8));  // two bytes each in UTF-8
    const QByteArray header = AcquisitionFormat::Header(2, longDate);
    EXPECT_LE(header.size(), AcquisitionFormat::kMaxLine);
    EXPECT_GE(header.size(), AcquisitionFormat::kMaxLine - 1);
    EXPECT_FALSE(QString::fromUtf8(header).contains(QChar::ReplacementCharacter));
    AcquisitionReader::Recording read;
    EXPECT_EQ(AcquisitionReader::Parse(header + "\r\nheadings", read), Result::Read);
    EXPECT_EQ(read.version, 2);
}

TEST(AcquisitionWriterTest, MoveOntoReplacesAFileWholeAndLeavesBothAloneOnFailure) {
    QTemporaryDir dir;
    const QString recording = dir.filePath("__acqtmp0.txt");
    const QString chosen = dir.filePath("giro.txt");
    ASSERT_TRUE(put(recording, "short"));
    ASSERT_TRUE(put(chosen, QByteArray(10000, 'x')));
    ASSERT_TRUE(AcquisitionWriter::MoveOnto(recording, chosen));
    EXPECT_EQ(contents(chosen), "short");
    EXPECT_FALSE(QFileInfo::exists(recording));

    // A folder under the chosen name: nothing moves, nothing is lost.
    ASSERT_TRUE(put(recording, "second"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("cartella/dentro"));
    QString error;
    EXPECT_FALSE(AcquisitionWriter::MoveOnto(recording, dir.filePath("cartella"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(contents(recording), "second");
    EXPECT_TRUE(QFileInfo(dir.filePath("cartella/dentro")).isDir());

    // Onto itself: nothing to do, the recording stays.
    EXPECT_TRUE(AcquisitionWriter::MoveOnto(recording, recording));
    EXPECT_EQ(contents(recording), "second");
}

TEST(AcquisitionReaderTest, ReadsBackWhatTheWriterWroteRecordForRecord) {
    QTemporaryDir dir;
    for (int version : {1, 2}) {
        AcquisitionWriter writer;
        ASSERT_TRUE(writer.Open(dir.path(), version, QStringLiteral("start")));
        std::vector<AcquisitionRecord> written;
        for (int i = 0; i < 5; ++i) {
            AcquisitionRecord r = sample(i * 150);
            r.rpm = 800 + 1234 * i;
            r.lambda1 = i * 0.21;
            r.reducerTemp = 30 + i;  // whole degrees, as the live view gives them
            r.engineTemp = 80 - i;
            ASSERT_TRUE(writer.Append(r));
            written.push_back(throughSingle(r, version));
        }
        ASSERT_TRUE(writer.Close());
        AcquisitionReader::Recording read;
        ASSERT_EQ(AcquisitionReader::Read(writer.Path(), read), Result::Read);
        EXPECT_EQ(read.version, version);
        ASSERT_EQ(read.records.size(), written.size());
        for (size_t i = 0; i < written.size(); ++i) {
            // 3.456789 was written with six digits.
            written[i].gasTime1 = static_cast<double>(3.45679f);
            EXPECT_EQ(read.records[i], written[i]) << version << " record " << i;
        }
    }
}

TEST(AcquisitionReaderTest, AcceptsOrRejectsAWholeFile) {
    const QByteArray header1 = "Ver. 1 1 real time data ECUX41, oggi\r\nTEMPO\tGIRI\r\n";
    const QByteArray header2 = "Ver. 1 2 real time data ECUX41, oggi\r\nTEMPO\tGIRI\r\n";
    const QByteArray eight = "0\t850\t0.45\t3.2\t4\t1.02\t37\t80";
    const QByteArray eleven = eight + "\t0.9\t3.5\t4.1";
    const QByteArray line199 = eight + QByteArray(199 - eight.size(), ' ');
    const struct {
        const char* what;
        QByteArray text;
        Result result;
        size_t records;
    } cases[] = {
        {"one probe", header1 + eight + "\r\n" + eight, Result::Read, 2},
        {"two probes", header2 + eleven, Result::Read, 1},
        {"version 3 takes 11 columns", "Ver. 1 3\r\nx\r\n" + eleven, Result::Read, 1},
        {"version 3 with 8 columns", "Ver. 1 3\r\nx\r\n" + eight, Result::Invalid, 0},
        {"version 2, one record of 8 columns", header2 + eleven + "\r\n" + eight + "\r\n" + eleven,
         Result::Invalid, 0},
        {"a final line break", header1 + eight + "\r\n", Result::Read, 1},
        {"two final line breaks", header1 + eight + "\r\n\r\n", Result::Invalid, 0},
        {"line feeds alone", "Ver. 1 1\nx\n" + eight + "\n" + eight, Result::Read, 2},
        {"blanks between fields, a tail after the last", header1 + "0 850  0.45 3 4 1 37 80 x",
         Result::Read, 1},
        {"only the header and the headings", header1.chopped(2), Result::Read, 0},
        {"only the header", "Ver. 1 2", Result::Read, 0},
        {"a line of 199 characters", header1 + line199, Result::Read, 1},
        {"a line of 200 characters", header1 + line199 + " ", Result::Invalid, 0},
        {"a record of 10,000 characters", header1 + eight + QByteArray(10000, ' '), Result::Invalid,
         0},
        {"a header of 10,000 characters", "Ver. 1 1" + QByteArray(10000, 'x'), Result::Invalid, 0},
        {"headings of 10,000 characters", "Ver. 1 1\r\n" + QByteArray(10000, 'x') + "\r\n" + eight,
         Result::Invalid, 0},
        {"not an acquisition", "[Centralina]\r\nDescrizione=Golf\r\n", Result::Invalid, 0},
        {"an empty file", "", Result::Invalid, 0},
        {"a header without its version", "Ver. 1\r\nx\r\n" + eight, Result::Invalid, 0},
        {"a comma for a point", header1 + "0\t850\t0,45\t3\t4\t1\t37\t80", Result::Invalid, 0},
        {"a real where an integer goes", header1 + "0.5\t850\t0.45\t3\t4\t1\t37\t80",
         Result::Invalid, 0},
        {"a time out of range", header1 + "99999999999\t850\t0.45\t3\t4\t1\t37\t80",
         Result::Invalid, 0},
        {"not a number", header1 + "0\t850\tnan\t3\t4\t1\t37\t80", Result::Invalid, 0},
        {"beyond single precision", header1 + "0\t850\t1e60\t3\t4\t1\t37\t80", Result::Invalid, 0},
    };
    for (const auto& c : cases) {
        AcquisitionReader::Recording read;
        read.records.resize(3);
        EXPECT_EQ(AcquisitionReader::Parse(c.text, read), c.result) << c.what;
        EXPECT_EQ(read.records.size(), c.records) << c.what;
    }
}

TEST(AcquisitionReaderTest, AMissingFileIsNotAnError) {
    QTemporaryDir dir;
    AcquisitionReader::Recording read;
    EXPECT_EQ(AcquisitionReader::Read(dir.filePath("nessuno.txt"), read), Result::Missing);
    EXPECT_EQ(AcquisitionReader::Read(dir.path(), read), Result::Invalid);
}
}  // namespace
