#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "ArchiveRecorder.h"
#include "CalibrationProcedure.h"
#include "ConfigBaseLibrary.h"
#include "KvTool.h"
#include "LoopbackEcu.h"
#include "ShellFixture.h"
#include "TFormCalibraTar.h"
#include "TFormConfig.h"
#include "TFormFile.h"
#include "TFormMain.h"
#include "TFormScarica.h"
#include "WorkshopArchive.h"

// Readable failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {
const QRect kScreen(0, 0, 800, 600);
const QString kSerial = QStringLiteral("WS-30-0007");

// The program as the entry point builds it, in a workshop folder of the test's own: the
// data module on the real link code to a virtual ECU, the archive in the folder's default
// place, the main screen; virtual time.
class ArchiveBench {
  public:
    explicit ArchiveBench(sim::VirtualEcuOptions options = serialOptions(),
                          bool damagedArchive = false)
        : ecu(shell.clock, options), startDirectory_(QDir::currentPath()) {
        QDir::setCurrent(workshop.path());  // the program starts in the workshop folder
        shell.dialogs.clear();              // the settings' first-run notice
        EXPECT_TRUE(base.Load()) << base.LoadError().toStdString();
        previousBase_ = ConfigBaseLibrary::Current();
        ConfigBaseLibrary::SetCurrent(&base);
        if (damagedArchive) {
            QFile file(archivePath());
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(8192, '\x5a'));
        }
        data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {});
        recorder = std::make_unique<ArchiveRecorder>(data);
        opened = recorder->Open(QString(), workshop.path());
        main = std::make_unique<TFormMain>(data, kScreen);
        main->FormScarica()->SetBaseDirectory(workshop.path());
        QDir(workshop.path()).mkpath(QStringLiteral("Firmware"));
    }
    ~ArchiveBench() {
        main.reset();
        recorder.reset();
        ConfigBaseLibrary::SetCurrent(previousBase_);
        QDir::setCurrent(startDirectory_);
    }

    static sim::VirtualEcuOptions serialOptions() {
        sim::VirtualEcuOptions options;
        options.serialNumber = kSerial.toStdString();
        return options;
    }
    QString archivePath() const {
        return QDir(workshop.path())
            .filePath(QString::fromLatin1(WorkshopArchive::kDefaultFileName));
    }

    // The program's start: the main screen shown connects at its first idle moment.
    void start() {
        main->show();
        QApplication::setActiveWindow(main.get());
        QCoreApplication::processEvents();
        ASSERT_TRUE(data.IsConnected());
    }
    // Ctrl+D and Ctrl+C, the shortcuts of the disconnect and connect commands, on the main
    // screen (connect is offered only while disconnected).
    void reconnectByKeys() {
        main->activateWindow();
        QCoreApplication::processEvents();
        QTest::keyClick(main.get(), Qt::Key_D, Qt::ControlModifier);
        ASSERT_FALSE(data.IsConnected());
        const size_t before = ecu.traced("ReadIdentity").size();
        // A configuration read from the ECU counts as unsaved: not saved to a file.
        if (data.IsModified()) shell.dialogs.answer(Dialogs::Answer::No);
        QTest::keyClick(main.get(), Qt::Key_C, Qt::ControlModifier);
        ASSERT_EQ(ecu.traced("ReadIdentity").size(), before + 1);
        ASSERT_TRUE(data.IsConnected());
    }

    QList<ArchiveHistoryEntry> history() {
        const auto entries = recorder->Archive().history(kSerial);
        EXPECT_TRUE(entries.ok()) << entries.error().detail.toStdString();
        return entries.value();
    }
    QByteArray text(qint64 id) {
        const auto stored = recorder->Archive().snapshotText(id);
        EXPECT_TRUE(stored.ok()) << stored.error().detail.toStdString();
        return stored.value();
    }
    // kvtool on the bench's archive; its output.
    QByteArray kvtool(QStringList args, int expected = KvTool::kOk) {
        KvTool tool;
        args.prepend(archivePath());
        args.prepend(QStringLiteral("--db"));
        EXPECT_EQ(tool.Run(args), expected) << tool.err().toStdString();
        return tool.out();
    }

    ShellFixture shell;
    QTemporaryDir workshop;
    ConfigBaseLibrary base;
    LoopbackEcu ecu;
    TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
    std::unique_ptr<ArchiveRecorder> recorder;
    std::unique_ptr<TFormMain> main;
    bool opened = false;

  private:
    ConfigBaseLibrary* previousBase_ = nullptr;
    QString startDirectory_;
};

// A key to the control that has the focus in window, else to the window.
void press(QWidget& window, Qt::Key key) {
    QWidget* focus = window.focusWidget();
    QTest::keyClick(focus ? focus : &window, key);
}

// Picks entry of the main screen by the arrow keys and runs it with Enter; act gets the
// modal window it opens (the chooser, the calibration screen), which it must close.
template <typename Window>
bool runEntry(TFormMain& main, int entry, const std::function<void(Window&)>& act) {
    for (int i = 0; i < 7; ++i) QTest::keyClick(&main, Qt::Key_Up);
    for (int i = 0; i < entry; ++i) QTest::keyClick(&main, Qt::Key_Down);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (!window) return;
        opened = true;
        act(*window);
        if (window->isVisible()) {
            ADD_FAILURE() << "left open";
            window->done(QDialog::Rejected);
        }
    });
    QTest::keyClick(&main, Qt::Key_Return);
    return opened;
}

// The lines of one configuration text that the other lacks.
QStringList differences(const QByteArray& a, const QByteArray& b) {
    const QList<QByteArray> left = a.split('\n'), right = b.split('\n');
    QStringList out;
    for (const QByteArray& line : left)
        if (!right.contains(line)) out << "- " + QString::fromUtf8(line.trimmed());
    for (const QByteArray& line : right)
        if (!left.contains(line)) out << "+ " + QString::fromUtf8(line.trimmed());
    return out;
}

// Key and value of every line of a decoded configuration, by section.
QMap<QString, QString> keysOf(const QByteArray& text) {
    QMap<QString, QString> keys;
    QString section;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) section = line;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0) keys.insert(section + line.left(eq), line.mid(eq + 1));
    }
    return keys;
}

QByteArray decode(const QString& file) {
    KvTool tool;
    EXPECT_EQ(tool.Run({"decode", file}), KvTool::kOk) << tool.err().toStdString();
    return tool.out();
}

TEST(ArchiveRecorderTest, ConnectsAreKeptOnceAndAnEditorChangeIsJournalled) {
    ArchiveBench bench;
    ASSERT_TRUE(bench.opened);
    // Not marked official: an edit would also clear that mark ("Ufficiale").
    ASSERT_TRUE(bench.ecu.pokeValue(53, 0));
    ASSERT_NO_FATAL_FAILURE(bench.start());
    const QString firstSession = bench.recorder->SessionId();
    ASSERT_NO_FATAL_FAILURE(bench.reconnectByKeys());
    QList<ArchiveHistoryEntry> history = bench.history();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0].reason, "connect");
    EXPECT_FALSE(history[0].noted);
    EXPECT_EQ(history[1].reason, "connect");
    EXPECT_TRUE(history[1].noted) << "nothing changed: only noted";
    EXPECT_EQ(history[1].snapshot.id, history[0].snapshot.id);
    const QString session = bench.recorder->SessionId();
    EXPECT_NE(session, firstSession);
    const auto sessions = bench.recorder->Archive().sessionsOf(kSerial);
    ASSERT_TRUE(sessions.ok());
    ASSERT_EQ(sessions.value().size(), 2);
    EXPECT_TRUE(sessions.value()[0].end.isValid()) << "the reconnect ended the first session";

    // The changeover threshold changed in the editor by keys, then a reconnect.
    QTest::keyClick(bench.main.get(), Qt::Key_Return);
    TFormConfig& editor = *bench.main->FormConfig();
    editor.Timer1->stop();
    QApplication::setActiveWindow(&editor);
    for (int i = 0; i < 4; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "EditGiriCambio");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "1700");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_FALSE(editor.isVisible());
    ASSERT_NO_FATAL_FAILURE(bench.reconnectByKeys());

    history = bench.history();
    ASSERT_EQ(history.size(), 3);
    EXPECT_FALSE(history[2].noted);
    EXPECT_NE(history[2].snapshot.id, history[0].snapshot.id);
    EXPECT_EQ(differences(bench.text(history[0].snapshot.id), bench.text(history[2].snapshot.id)),
              (QStringList{"- GiriPerCambio=1500", "+ GiriPerCambio=1700"}));

    const auto journal = bench.recorder->Archive().journalOf(kSerial);
    ASSERT_TRUE(journal.ok());
    int threshold = 0;
    for (const ArchiveJournalEntry& row : journal.value()) {
        if (row.entry.parameterKey != 528) continue;
        ++threshold;
        EXPECT_EQ(row.entry.oldRaw, 1500);
        EXPECT_EQ(row.entry.newRaw, 1700);
        EXPECT_TRUE(row.entry.success);
        EXPECT_EQ(row.entry.sessionId, session);
    }
    EXPECT_EQ(threshold, 1);
    EXPECT_EQ(bench.shell.dialogs.shown().size(), 2u) << "only the save questions";
}

// Programming keeps the configuration on both sides of the new firmware, under the ECU's
// own serial number, and the backup file stays.
TEST(ArchiveRecorderTest, ProgrammingIsKeptBeforeAndAfter) {
    ArchiveBench bench;
    ASSERT_NO_FATAL_FAILURE(bench.start());
    ASSERT_EQ(bench.data.SetValue(528, 1650), 1);  // a change the new firmware lacks
    QByteArray firmware;
    for (int i = 0; i < 1500; ++i) firmware += static_cast<char>((i * 31) ^ (i >> 3));
    firmware += QByteArray("FWVER\x05\x01", 7) + QByteArray(700, '\x5a');
    const QString plain = bench.workshop.filePath("firmware.bin");
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(firmware);
    file.close();
    const QString image = bench.workshop.filePath("Firmware/nuovo.pk4");
    KvTool make;
    ASSERT_EQ(make.Run({"encrypt", plain, image}), KvTool::kOk);
    bench.shell.dialogs.clear();
    bench.shell.dialogs.chooseFile(image);

    // "RIPROGRAMMA CENTRALINA", Enter, and Enter in the programming window.
    for (int i = 0; i < 7; ++i) QTest::keyClick(bench.main.get(), Qt::Key_Up);
    for (int i = 0; i < 5; ++i) QTest::keyClick(bench.main.get(), Qt::Key_Down);
    TFormScarica* scarica = bench.main->FormScarica();
    QTimer::singleShot(0, scarica, [scarica] {
        if (scarica->isVisible()) QTest::keyClick(scarica, Qt::Key_Return);
    });
    QTest::keyClick(bench.main.get(), Qt::Key_Return);
    ASSERT_EQ(bench.ecu.ecu().identity().at(3), 5) << "programmed";
    EXPECT_TRUE(bench.shell.dialogs.shown().empty());

    const QList<ArchiveHistoryEntry> history = bench.history();
    const ArchiveHistoryEntry* before = nullptr;
    const ArchiveHistoryEntry* after = nullptr;
    for (const ArchiveHistoryEntry& e : history) {
        if (e.reason == "before programming") before = &e;
        if (e.reason == "after programming") after = &e;
    }
    QStringList reasons;
    for (const ArchiveHistoryEntry& e : history) reasons << e.reason;
    ASSERT_TRUE(before && after) << reasons.join(", ").toStdString();
    EXPECT_EQ(before->snapshot.ecuSerial, kSerial);
    EXPECT_EQ(after->snapshot.ecuSerial, kSerial);
    const QByteArray textBefore = bench.text(before->snapshot.id);
    EXPECT_TRUE(textBefore.contains("GiriPerCambio=1650"));
    EXPECT_EQ(differences(textBefore, bench.text(after->snapshot.id)), QStringList());
    EXPECT_EQ(QDir(bench.workshop.filePath("Backup")).entryList(QDir::Files).size(), 1);
}

// The save command's file and the archive's export of the same configuration decode to the
// same keys and values; an import of a folder brings each configuration file in once.
TEST(ArchiveRecorderTest, KvtoolExportsAndImportsConfigurationFiles) {
    ArchiveBench bench;
    ASSERT_NO_FATAL_FAILURE(bench.start());
    const QString folder = bench.workshop.filePath("ConfigLPG");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString saved = folder + "/Panda.kv4";
    bench.shell.dialogs.chooseFile(saved);
    bench.main->ActionSalvaExecute();
    ASSERT_TRUE(QFile::exists(saved));
    ASSERT_NO_FATAL_FAILURE(bench.reconnectByKeys());  // the configuration as saved, kept

    const QList<QByteArray> lines = bench.kvtool({"archive", "history", kSerial}).split('\n');
    ASSERT_GE(lines.size(), 2) << bench.kvtool({"archive", "list"}).toStdString();
    const QByteArray latest = lines[lines.size() - 2].split('\t').value(0);
    QTemporaryDir elsewhere;
    const QString exported = elsewhere.filePath("Panda");
    EXPECT_EQ(bench.kvtool({"archive", "export", QString::fromLatin1(latest), exported}),
              latest + '\t' + exported.toUtf8() + ".kv4\n");
    const QByteArray fromArchive = decode(exported + ".kv4");
    EXPECT_EQ(keysOf(fromArchive), keysOf(decode(saved)))
        << differences(fromArchive, decode(saved)).join('\n').toStdString();

    // A second file, a stranger and a damaged one beside it.
    ASSERT_EQ(bench.data.SetValue(528, 1800), 1);
    bench.shell.dialogs.chooseFile(folder + "/Tipo.kv4");
    bench.main->ActionSalvaExecute();
    QFile notes(folder + "/note.txt");
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("GiriPerCambio=1\n");
    notes.close();
    QFile damaged(folder + "/Rotto.kv4");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(300, '\x01'));
    damaged.close();

    for (const char* kind : {"stored", "noted"}) {
        SCOPED_TRACE(kind);
        const QByteArray out = bench.kvtool({"archive", "import", folder}, KvTool::kFailed);
        const QList<QByteArray> imported = out.trimmed().split('\n');
        ASSERT_EQ(imported.size(), 2) << out.toStdString();
        for (const QByteArray& line : imported) EXPECT_EQ(line.split('\t').value(1), kind);
        EXPECT_TRUE(imported[0].endsWith("/Panda.kv4"));
        EXPECT_TRUE(imported[1].endsWith("/Tipo.kv4"));
    }
    const QByteArray found = bench.kvtool({"archive", "search", "Tipo"});
    EXPECT_EQ(found.count("\tsnapshot\t"), 1) << found.toStdString();
}

// A damaged archive is told once; the technician's work goes on as without an archive.
TEST(ArchiveRecorderTest, AnArchiveThatCannotOpenIsToldOnceAndTheWorkGoesOn) {
    ArchiveBench bench(ArchiveBench::serialOptions(), /*damagedArchive=*/true);
    EXPECT_FALSE(bench.opened);
    ASSERT_EQ(bench.shell.dialogs.shown().size(), 1u);
    EXPECT_TRUE(bench.shell.dialogs.last().text.startsWith(
        "Impossibile usare l'archivio di officina: il lavoro prosegue senza archiviare i dati "
        "della centralina.\n"))
        << bench.shell.dialogs.last().text.toStdString();
    EXPECT_TRUE(bench.shell.dialogs.last().text.contains(bench.archivePath()))
        << bench.shell.dialogs.last().text.toStdString();
    bench.shell.dialogs.clear();
    ASSERT_NO_FATAL_FAILURE(bench.start());
    EXPECT_EQ(bench.data.SetValue(528, 1700), 1);
    ASSERT_NO_FATAL_FAILURE(bench.reconnectByKeys());
    EXPECT_EQ(bench.ecu.peekValue(16), 1700);
    EXPECT_EQ(bench.shell.dialogs.shown().size(), 1u) << "the save question alone";
    QFile file(bench.archivePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(8192, '\x5a')) << "the damaged file is left as it was";
}

// The roads that hand a configuration over, taken by the technician's keys: a calibration,
// a file loaded into the ECU, a reset. Each leaves its snapshot, under the ECU's serial.
TEST(ArchiveRecorderTest, CalibrationLoadAndResetLeaveTheirSnapshots) {
    ArchiveBench bench;
    bench.shell.clock.advance(6000);  // the car started and idles
    ASSERT_NO_FATAL_FAILURE(bench.start());

    // AUTOTARATURA: Enter starts it, the ECU calibrates, Escape leaves.
    ASSERT_TRUE(runEntry<TFormCalibraTar>(*bench.main, 2, [&](TFormCalibraTar& form) {
        form.Timer1->stop();
        press(form, Qt::Key_Return);
        for (int i = 0;
             i < 400 && form.Procedure().GetState() != CalibrationProcedure::State::Finished; ++i) {
            bench.shell.clock.advance(TFormCalibraTar::kTickMs);
            form.Timer1Timer();
        }
        ASSERT_EQ(form.Procedure().GetState(), CalibrationProcedure::State::Finished);
        press(form, Qt::Key_Escape);
    }));

    // Saved as Golf, then CARICA CONFIGURAZIONE and Enter on it.
    ASSERT_TRUE(QDir(bench.workshop.path()).mkpath("ConfigLPG"));
    bench.shell.dialogs.chooseFile(bench.workshop.filePath("ConfigLPG/Golf.kv4"));
    bench.main->ActionSalvaExecute();
    ASSERT_TRUE(bench.shell.dialogs.shown().empty())
        << bench.shell.dialogs.texts().join('|').toStdString();
    ASSERT_TRUE(runEntry<TFormFile>(*bench.main, 4, [](TFormFile& chooser) {
        ASSERT_EQ(chooser.EditName->text(), "Golf");
        press(chooser, Qt::Key_Return);
    }));

    bench.shell.dialogs.answer(Dialogs::Answer::Yes);  // "Sei sicuro di resettare ..."
    bench.main->ActionResetDaPcExecute();
    EXPECT_EQ(bench.shell.dialogs.shown().size(), 1u)
        << bench.shell.dialogs.texts().join('|').toStdString();

    QStringList reasons;
    for (const ArchiveHistoryEntry& e : bench.history())
        reasons << e.reason + (e.noted ? " (noted)" : "");
    // The save command wrote the file's name into the ECU's description: the load finds the
    // ECU changed since the calibration.
    EXPECT_EQ(reasons,
              (QStringList{"connect", "after calibration", "before load", "before reset (noted)"}));
}
}  // namespace
