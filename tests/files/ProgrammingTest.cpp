#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <climits>

#include "BuildProfile.h"
#include "KvTool.h"
#include "LoopbackEcu.h"
#include "ProgrammingFile.h"
#include "ProgrammingSequence.h"
#include "ShellFixture.h"
#include "TFormMain.h"
#include "TFormScarica.h"

namespace {
const QRect kScreen(0, 0, 800, 600);
const std::string kSerial = "VE-0030-2401-000123";
constexpr uint32_t kChangeoverSpeed = 528;

// A firmware of a few kilobytes that names its version 5.1.
QByteArray firmware51() {
    QByteArray bytes;
    for (int i = 0; i < 1500; ++i) bytes += static_cast<char>((i * 31) ^ (i >> 3));
    return bytes + QByteArray("FWVER\x05\x01", 7) + QByteArray(700, '\x5a');
}

// The program on the bench: the main screen with its own programming window,
// the data module talking through the real link code to a virtual ECU, in virtual time, and
// a workshop folder of its own.
class Workshop {
  public:
    explicit Workshop(sim::VirtualEcuOptions options = {}) : ecu(shell.clock, options) {
        QDir(base.path()).mkpath(QStringLiteral("Firmware"));
        data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {});
        window = std::make_unique<TFormMain>(data, kScreen);
        scarica = window->FormScarica();
        scarica->SetBaseDirectory(base.path());
        shell.dialogs.clear();  // the settings' first-run notice
    }

    bool connect() {
        window->ActionConnettiExecute();
        shell.dialogs.clear();
        ecu.clearTrace();
        return data.IsConnected();
    }

    // kvtool's command ("encrypt", "scramble", "image") on the firmware, into the Firmware
    // folder.
    QString make(const char* command, const QString& name, const QByteArray& bytes) {
        const QString plain = base.filePath(QStringLiteral("firmware.bin"));
        QFile file(plain);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const QString target = base.filePath(QStringLiteral("Firmware/") + name);
        KvTool tool;
        EXPECT_EQ(tool.Run({command, plain, target}), KvTool::kOk) << tool.err().toStdString();
        return target;
    }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = base.filePath(QStringLiteral("Firmware/") + name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // As the technician: from the main screen down to "RIPROGRAMMA CENTRALINA", Enter, and
    // in the programming window Enter ("Programma") or Escape.
    void programByKeys(bool confirm = true) {
        for (int i = 0; i < 7; ++i) QTest::keyClick(window.get(), Qt::Key_Up);
        for (int i = 0; i < 5; ++i) QTest::keyClick(window.get(), Qt::Key_Down);
        QTimer::singleShot(0, scarica, [this, confirm] {
            if (scarica->isVisible())
                QTest::keyClick(scarica, confirm ? Qt::Key_Return : Qt::Key_Escape);
        });
        QTest::keyClick(window.get(), Qt::Key_Return);
    }

    int count(const std::string& operation) const {
        return static_cast<int>(ecu.traced(operation).size());
    }
    std::string ecuSerial() const {
        std::string serial;
        for (int32_t c : ecu.peek(82176))
            if (c != 0) serial += static_cast<char>(c);
        return serial;
    }
    // The configuration a configuration file holds, in plain text, without the line naming
    // the file itself.
    QByteArray decode(const QString& file) {
        KvTool tool;
        EXPECT_EQ(tool.Run({"decode", file}), KvTool::kOk) << tool.err().toStdString();
        QByteArray text;
        for (const QByteArray& line : tool.out().split('\n'))
            if (!line.startsWith("NomeConfigurazione=")) text += line + '\n';
        return text;
    }
    QByteArray storeText(const QString& name) {
        const QString file = base.filePath(name);
        EXPECT_TRUE(data.Transfer(TStreamDati::kSaveFile, file)) << data.LastError().toStdString();
        return decode(file);
    }
    // The lines of one text that the other lacks, for a readable failure.
    static std::string differences(const QByteArray& a, const QByteArray& b) {
        const QList<QByteArray> left = a.split('\n'), right = b.split('\n');
        std::string out;
        for (const QByteArray& line : left)
            if (!right.contains(line)) out += "- " + line.trimmed().toStdString() + '\n';
        for (const QByteArray& line : right)
            if (!left.contains(line)) out += "+ " + line.trimmed().toStdString() + '\n';
        return out;
    }
    QStringList backups() const {
        return QDir(base.filePath(QStringLiteral("Backup"))).entryList(QDir::Files);
    }
    QString lastText() const { return shell.dialogs.last().text; }

    ShellFixture shell;
    QTemporaryDir base;
    LoopbackEcu ecu;
    TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
    std::unique_ptr<TFormMain> window;
    TFormScarica* scarica = nullptr;  // the window's own
};

// Encrypted, scrambled and image files made by kvtool: programmed at the first attempt, the
// ECU runs firmware 5.1 with its own serial number and the car's configuration written back,
// and the backup holds the configuration from before.
TEST(ProgrammingTest, FilesOfEveryKindProgramAndTheConfigurationComesBack) {
    const struct {
        const char* command;
        const char* name;
    } kinds[] = {{"encrypt", "nuovo.pk4"}, {"scramble", "nuovo.pk4"}, {"image", "nuovo.im4"}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.command);
        Workshop shop;
        ASSERT_TRUE(shop.connect());
        // A change of the technician's that the factory data of the new firmware lack.
        ASSERT_EQ(shop.data.SetValue(kChangeoverSpeed, 1650), 1);
        const QByteArray before = shop.storeText(QStringLiteral("before.kv4"));
        shop.ecu.clearTrace();
        shop.shell.dialogs.chooseFile(shop.make(kind.command, kind.name, firmware51()));

        shop.programByKeys();

        EXPECT_TRUE(shop.shell.dialogs.shown().empty()) << shop.lastText().toStdString();
        EXPECT_EQ(shop.count("ProgramStart"), 1);
        EXPECT_EQ(shop.count("ProgramEnd"), 1);
        EXPECT_FALSE(shop.ecu.ecuLink().programming());
        EXPECT_EQ(shop.ecu.ecu().identity().at(3), 5);
        EXPECT_EQ(shop.ecu.ecu().identity().at(2), 1);
        EXPECT_TRUE(shop.window->Status().Panel(2).endsWith(QStringLiteral(": 5.1")))
            << shop.window->Status().Panel(2).toStdString();
        EXPECT_EQ(shop.ecuSerial(), kSerial);
        EXPECT_EQ(shop.ecu.peekValue(1) & 1, 0);  // no longer asks to be initialised

        // What the ECU now holds, read back into the store, is what the store held.
        ASSERT_TRUE(shop.data.Transfer(TStreamDati::kReadEcu));
        EXPECT_EQ(shop.data.GetValue(kChangeoverSpeed), 1650);
        const QByteArray after = shop.storeText(QStringLiteral("after.kv4"));
        EXPECT_TRUE(after == before) << Workshop::differences(before, after);
        const QStringList backups = shop.backups();
        ASSERT_EQ(backups.size(), 1);
        EXPECT_TRUE(backups[0].startsWith(QString::fromStdString(kSerial) + u'_'));
        EXPECT_TRUE(backups[0].endsWith(QStringLiteral(".kv4")));
        const QByteArray backup =
            shop.decode(shop.base.filePath(QStringLiteral("Backup/") + backups[0]));
        EXPECT_TRUE(backup == before) << Workshop::differences(before, backup);

        // The next connect finds a configured ECU: the car's data stay.
        EXPECT_TRUE(shop.connect());
        EXPECT_EQ(shop.data.GetValue(kChangeoverSpeed), 1650);
    }
}

// The ECU's serial number is read before programming and written back unchanged, whether the
// program was connected to this ECU, never connected, or connected to another ECU that has
// since been swapped for this one (the store holding the other's serial number).
TEST(ProgrammingTest, TheEcusOwnSerialNumberSurvivesEveryRoad) {
    const std::string swapped = "VE-0031-2502-000777";
    enum class Road { Connected, NeverConnected, Swapped };
    for (const Road road : {Road::Connected, Road::NeverConnected, Road::Swapped}) {
        SCOPED_TRACE(static_cast<int>(road));
        Workshop shop;
        if (road != Road::NeverConnected) ASSERT_TRUE(shop.connect());
        std::string own = kSerial;
        if (road == Road::Swapped) {
            own = swapped;
            std::vector<int32_t> codes(20, 0);
            std::copy(own.begin(), own.end(), codes.begin());
            ASSERT_TRUE(shop.ecu.poke(82176, codes));
        }
        shop.ecu.clearTrace();
        shop.shell.dialogs.chooseFile(shop.make("encrypt", QStringLiteral("s.pk4"), firmware51()));

        shop.programByKeys();

        EXPECT_EQ(shop.count("ProgramEnd"), 1);
        EXPECT_EQ(shop.ecuSerial(), own);
        EXPECT_EQ(shop.data.GetSerialNumber(), QString::fromStdString(own));
    }
}

TEST(ProgrammingTest, FailedAttemptsAskBeforeEachRetry) {
    // Battery low once: the battery question, then attempt 2 succeeds.
    {
        Workshop shop({.programResult = 1, .programFailures = 1});
        ASSERT_TRUE(shop.connect());
        shop.shell.dialogs.chooseFile(shop.make("encrypt", "a.pk4", firmware51()));
        shop.shell.dialogs.answer(Dialogs::Answer::Yes);
        shop.programByKeys();
        ASSERT_EQ(shop.shell.dialogs.shown().size(), 1u);
        const auto question = shop.shell.dialogs.shown()[0];
        EXPECT_EQ(question.text,
                  "ATTENZIONE: tensione di batteria insufficiente: Riprovare?\n(ERR.CODE: P05)");
        EXPECT_EQ(question.title, "Aggiornamento software centralina");
        EXPECT_EQ(question.buttons, Dialogs::Buttons::YesNo);
        EXPECT_EQ(shop.count("ProgramStart"), 2);
        EXPECT_EQ(shop.scarica->Sequence().Attempts(), 2);
        EXPECT_EQ(shop.ecu.ecu().identity().at(3), 5);
    }
    // The transfer lost every time: five attempts with a yes each time, then the end.
    {
        Workshop shop({.programResult = -3});
        ASSERT_TRUE(shop.connect());
        shop.shell.dialogs.chooseFile(shop.make("scramble", "a.pk4", firmware51()));
        for (int i = 0; i < 4; ++i) shop.shell.dialogs.answer(Dialogs::Answer::Yes);
        shop.programByKeys();
        const auto& shown = shop.shell.dialogs.shown();
        ASSERT_EQ(shown.size(), 5u);
        EXPECT_EQ(shown[0].text,
                  "Il tentativo di programmazione precedente è fallito.\nTogliere i 12V batteria "
                  "e riprovare entro 10 secondi.\nRiprovare ?\n(ERR.CODE: P09)");
        EXPECT_EQ(shown[1].title, "Aggiornamento software centralina - Tentativo 2");
        EXPECT_EQ(shown[3].title, "Aggiornamento software centralina - Tentativo 4");
        EXPECT_EQ(shown[4].text, "Impossibile effettuare la programmazione.\n(ERR.CODE: P09)");
        EXPECT_EQ(shown[4].icon, Dialogs::Icon::Error);
        EXPECT_EQ(shop.count("ProgramStart"), 5);
        EXPECT_FALSE(shop.ecu.ecuLink().programming());
        EXPECT_EQ(shop.ecu.ecu().identity().at(3), 4);  // the old firmware stays
        EXPECT_EQ(shop.count("WriteVariable") + shop.count("WriteValue"), 0);
    }
    // No at the first question ends with that result's code.
    for (const auto& [result, code] : {std::pair{-999, "P12"}, std::pair{-1000, "P1000"}}) {
        Workshop shop({.programResult = result});
        ASSERT_TRUE(shop.connect());
        shop.shell.dialogs.chooseFile(shop.make("encrypt", "a.pk4", firmware51()));
        shop.shell.dialogs.answer(Dialogs::Answer::No);
        shop.programByKeys();
        EXPECT_EQ(shop.lastText(), QStringLiteral("Impossibile effettuare la programmazione.\n"
                                                  "(ERR.CODE: %1)")
                                       .arg(code));
        EXPECT_EQ(shop.count("ProgramStart"), 1);
    }
}

TEST(ProgrammingTest, ResultCodes) {
    const std::pair<int, const char*> codes[] = {
        {1, "P05"},
        {2, "P06"},
        {-1, "P07"},
        {-2, "P08"},
        {-3, "P09"},
        {-4, "P10"},
        {-5, "P11"},
        {3, "P12"},
        {-6, "P12"},
        {-999, "P12"},
        {-1000, "P1000"},
        {-1234, "P1234"},
        {INT_MIN, "P2147483648"},
    };
    for (const auto& [result, code] : codes)
        EXPECT_EQ(ProgrammingSequence::ResultCode(result), code) << result;
}

TEST(ProgrammingTest, NothingIsProgrammedForAnotherCustomerOrWithoutAFile) {
    {
        Workshop shop({.bootCustomer = 18});
        ASSERT_TRUE(shop.connect());
        shop.shell.dialogs.chooseFile(shop.base.filePath(QStringLiteral("Firmware/none.pk4")));
        shop.programByKeys();
        EXPECT_EQ(shop.lastText(),
                  QStringLiteral("Impossibile effettuare la programmazione.\n(ERR.CODE: P02)"));
        EXPECT_EQ(shop.shell.dialogs.last().title, shop.window->windowTitle());
        EXPECT_EQ(shop.count("ProgramStart"), 0);
        EXPECT_TRUE(shop.backups().isEmpty());
    }
    {
        Workshop shop;
        ASSERT_TRUE(shop.connect());
        shop.ecu.pullCable();
        shop.shell.dialogs.chooseFile(shop.make("encrypt", "a.pk4", firmware51()));
        shop.programByKeys();
        EXPECT_EQ(shop.lastText(),
                  QStringLiteral("Impossibile effettuare la programmazione.\n(ERR.CODE: P01)"));
        EXPECT_EQ(shop.count("ProgramStart"), 0);
    }
    {
        Workshop shop;
        ASSERT_TRUE(shop.connect());
        shop.shell.dialogs.chooseFile(QString());  // the first file dialog is cancelled
        shop.programByKeys();
        EXPECT_TRUE(shop.shell.dialogs.shown().empty());
        EXPECT_EQ(shop.shell.dialogs.fileDialogs().size(), 1u);
        EXPECT_EQ(shop.count("ReadBootCustomer"), 0);
    }
}

TEST(ProgrammingTest, DamagedFilesAreRefusedBeforeAnythingIsErased) {
    Workshop shop;
    ASSERT_TRUE(shop.connect());
    const QByteArray encrypted =
        ProgrammingFile::Encrypt(firmware51(), QByteArray(16, '\x0f'), QByteArray(128, '\x42'));
    QByteArray pastTheEnd = ProgrammingFile::MakeImage(firmware51());
    pastTheEnd.chop(1);
    const struct {
        const char* what;
        QString file;
        const char* code;
    } cases[] = {
        {"missing", shop.base.filePath(QStringLiteral("Firmware/none.pk4")), "P03"},
        {"empty", shop.write(QStringLiteral("empty.pk4"), QByteArray()), "P04"},
        {"cut in the header", shop.write(QStringLiteral("cut.pk4"), encrypted.first(120)), "P04"},
        {"length past the end", shop.write(QStringLiteral("long.im4"), pastTheEnd), "P04"},
    };
    ProgrammingSequence& sequence = shop.scarica->Sequence();
    for (const auto& c : cases) {
        shop.ecu.clearTrace();
        const bool image = c.file.endsWith(QStringLiteral(".im4"));
        EXPECT_NE(sequence.Run(c.file, image), ProgrammingSequence::Outcome::Programmed) << c.what;
        EXPECT_EQ(shop.lastText(),
                  QStringLiteral("Impossibile effettuare la programmazione.\n(ERR.CODE: %1)")
                      .arg(QString::fromLatin1(c.code)))
            << c.what;
        EXPECT_EQ(shop.count("ProgramStart") + shop.count("ProgramData"), 0) << c.what;
        EXPECT_FALSE(shop.ecu.ecuLink().programming());
    }
    EXPECT_TRUE(shop.backups().isEmpty());

    // No backup, no programming: a "Backup" that is a file stops it with its name.
    QFile(shop.base.filePath(QStringLiteral("Backup"))).open(QIODevice::WriteOnly);
    const QString good = shop.make("encrypt", "good.pk4", firmware51());
    EXPECT_EQ(sequence.Run(good, false), ProgrammingSequence::Outcome::BackupFailed);
    EXPECT_TRUE(shop.lastText().startsWith(
        "Impossibile salvare la copia dei dati prima della programmazione"));
    EXPECT_TRUE(shop.lastText().contains(QStringLiteral("Backup")));
    EXPECT_EQ(shop.count("ProgramStart"), 0);
    EXPECT_EQ(shop.ecu.ecu().identity().at(3), 4);
}

TEST(ProgrammingTest, APulledCableFailsOneAttemptAndTheNextOneProgrammes) {
    Workshop shop;
    ASSERT_TRUE(shop.connect());
    shop.shell.dialogs.chooseFile(shop.make("encrypt", "a.pk4", firmware51()));
    // Pulled a few pieces into the image; plugged back before the yes.
    shop.ecu.pullCableAfter(static_cast<int>(shop.ecu.ecu().framesReceived()) + 12);
    qint64 failedAt = -1;
    const qint64 start = shop.shell.clock.nowMs();
    shop.shell.dialogs.answer(Dialogs::Answer::Yes, [&] {
        failedAt = shop.shell.clock.nowMs();
        shop.ecu.plugCable();
    });
    shop.programByKeys();
    ASSERT_EQ(shop.shell.dialogs.shown().size(), 1u);
    EXPECT_TRUE(shop.shell.dialogs.shown()[0].text.endsWith("(ERR.CODE: P09)"))
        << shop.shell.dialogs.shown()[0].text.toStdString();
    EXPECT_LT(failedAt - start, 60000);  // the lost attempt ends by itself, on the link's time
    EXPECT_EQ(shop.scarica->Sequence().Attempts(), 2);
    EXPECT_EQ(shop.ecu.ecu().identity().at(3), 5);
    EXPECT_EQ(shop.ecuSerial(), kSerial);
}

// The ECU silent after a good programming: the technician is asked again and again; a yes
// after the cable is back writes the configuration, a no leaves the link down.
TEST(ProgrammingTest, AnEcuSilentAfterProgrammingIsAskedFor) {
    for (const bool retry : {true, false}) {
        SCOPED_TRACE(retry ? "yes" : "no");
        Workshop shop;
        ASSERT_TRUE(shop.connect());
        ASSERT_EQ(shop.data.SetValue(kChangeoverSpeed, 1650), 1);
        shop.shell.dialogs.chooseFile(shop.make("encrypt", "a.pk4", firmware51()));
        const int32_t changed = shop.ecu.peekValue(kChangeoverSpeed);
        // The cable goes right after the end of the programming.
        shop.ecu.ecu().setTraceSink([&](const std::string& line) {
            if (line.rfind("ProgramEnd", 0) == 0)
                shop.ecu.pullCableAfter(static_cast<int>(shop.ecu.ecu().framesReceived()) + 1);
        });
        shop.shell.dialogs.answer(Dialogs::Answer::Yes);
        shop.shell.dialogs.answer(retry ? Dialogs::Answer::Yes : Dialogs::Answer::No,
                                  [&] { shop.ecu.plugCable(); });
        shop.programByKeys();
        const auto& shown = shop.shell.dialogs.shown();
        ASSERT_EQ(shown.size(), 2u) << shop.shell.dialogs.texts().join('|').toStdString();
        EXPECT_EQ(shown[0].text,
                  "Impossibile scaricare i dati di configurazione \nprecedentemente "
                  "memorizzati. Riprovare ?\n(ERR.CODE: C01)");
        EXPECT_EQ(shown[0].buttons, Dialogs::Buttons::YesNo);
        EXPECT_EQ(shop.scarica->Sequence().LastResult(), 0);
        EXPECT_FALSE(shop.ecu.ecuLink().programming());
        EXPECT_EQ(shop.data.IsConnected(), retry);
        // Written back only after the yes.
        EXPECT_EQ(shop.ecu.peekValue(kChangeoverSpeed) == changed, retry);
    }
}

TEST(ProgrammingTest, AWriteBackThatFailsNamesTheBackup) {
    Workshop shop({.refuseWritesAfterProgramming = true});
    ASSERT_TRUE(shop.connect());
    shop.shell.dialogs.chooseFile(shop.make("encrypt", "a.pk4", firmware51()));
    shop.programByKeys();
    EXPECT_EQ(shop.scarica->Sequence().LastResult(), 0);
    EXPECT_EQ(shop.ecu.ecu().identity().at(3), 5);
    const QStringList backups = shop.backups();
    ASSERT_EQ(backups.size(), 1);
    const auto message = shop.shell.dialogs.last();
    EXPECT_EQ(message.icon, Dialogs::Icon::Error);
    EXPECT_EQ(message.title, shop.window->windowTitle());
    EXPECT_TRUE(message.text.startsWith(
        "Impossibile scrivere i dati di configurazione nella centralina programmata"));
    EXPECT_TRUE(message.text.endsWith(backups[0])) << message.text.toStdString();
    EXPECT_FALSE(shop.ecu.ecuLink().programming());
}

TEST(ProgrammingTest, TheWindowOffersTheModelsFilesAndKeepsTheChoice) {
    Workshop shop({.model = 31});
    // Without an ECU both models, the current one (the first build model) in view.
    const QString first = shop.write(QStringLiteral("a.pk8"), QByteArray("x"));
    QFile touched(first);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(10, 0)),
                                    QFileDevice::FileModificationTime));
    touched.close();
    shop.shell.dialogs.chooseFile(first);
    shop.programByKeys(false);
    ASSERT_EQ(shop.shell.dialogs.fileDialogs().size(), 1u);
    const Dialogs::FileRequest offline = shop.shell.dialogs.fileDialogs()[0].request;
    EXPECT_EQ(offline.title, "Seleziona file di programmazione");
    EXPECT_EQ(offline.folder, shop.base.filePath(QStringLiteral("Firmware")));
    EXPECT_EQ(offline.filter,
              "Files programmazione 3-4 cilindri (*.pk4);;Files programmazione 5-6-8 cilindri "
              "(*.pk8);;File immagine centralina (*.im4 *.im8)");
    EXPECT_EQ(offline.selectedFilter, "Files programmazione 3-4 cilindri (*.pk4)");
    EXPECT_EQ(shop.scarica->LabelN->text(), "a.pk8");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^5\\D3\\D2024$"))
                    .match(shop.scarica->LabelD->text())
                    .hasMatch())
        << shop.scarica->LabelD->text().toStdString();
    EXPECT_TRUE(shop.shell.dialogs.shown().empty());

    // Connected to a 5-6-8 cylinder ECU: its files only; the choice is remembered, and
    // "Cambia file" changes it.
    ASSERT_TRUE(shop.connect());
    shop.shell.dialogs.clear();
    const QString second = shop.base.filePath(QStringLiteral("Firmware/gone.pk8"));
    shop.shell.dialogs.chooseFile(second);
    QTimer::singleShot(0, shop.scarica, [&] {
        QTest::mouseClick(shop.scarica->ButtonCambia, Qt::LeftButton);
        QTest::keyClick(shop.scarica, Qt::Key_Escape);
    });
    for (int i = 0; i < 7; ++i) QTest::keyClick(shop.window.get(), Qt::Key_Up);
    for (int i = 0; i < 5; ++i) QTest::keyClick(shop.window.get(), Qt::Key_Down);
    QTest::keyClick(shop.window.get(), Qt::Key_Return);
    ASSERT_EQ(shop.shell.dialogs.fileDialogs().size(), 1u);  // only the one of "Cambia file"
    EXPECT_EQ(shop.shell.dialogs.fileDialogs()[0].request.filter,
              "Files programmazione 5-6-8 cilindri (*.pk8);;File immagine centralina (*.im8)");
    EXPECT_EQ(shop.scarica->FileName(), second);
    EXPECT_EQ(shop.scarica->LabelN->text(), "gone.pk8");
    EXPECT_EQ(shop.scarica->LabelD->text(), "not avaible");
    EXPECT_EQ(shop.count("ReadBootCustomer"), 0);  // cancelled: nothing programmed
}

}  // namespace
