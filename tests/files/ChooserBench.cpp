#include "ChooserBench.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {
const QRect kScreen(0, 0, 800, 600);
constexpr int kEntries = 7;
}  // namespace

ChooserBench::ChooserBench(std::optional<sim::VirtualEcuOptions> options)
    : startDirectory_(QDir::currentPath()) {
    QDir::setCurrent(workshop_.path());  // the program starts in the workshop folder
    if (options) ecu = std::make_unique<LoopbackEcu>(clock, *options);
    data = std::make_unique<TStreamDati>(TStreamDati::Options{.loadLinkLibrary = false});
    if (ecu) data->QorConnectEcu().UseLink(&ecu->link(), [](IEcuLink*) {});
    form = std::make_unique<TFormMain>(*data, kScreen);
    dialogs.clear();  // the settings' first-run notice
    form->show();
    QCoreApplication::processEvents();  // the first idle moment connects
    if (!ecu) dialogs.clear();          // the link failure and the not-connected warning
    EXPECT_EQ(data->IsConnected(), ecu != nullptr);
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join('|').toStdString();
}

ChooserBench::~ChooserBench() {
    form.reset();
    data.reset();
    QDir::setCurrent(startDirectory_);
}

bool ChooserBench::RunEntry(int entry, const std::function<void(TFormFile&)>& act) {
    for (int i = 0; i < kEntries; ++i) Press(form.get(), Qt::Key_Up);
    for (int i = 0; i < entry; ++i) Press(form.get(), Qt::Key_Down);
    bool opened = false;
    QTimer whenOpen;
    whenOpen.setSingleShot(true);
    QObject::connect(&whenOpen, &QTimer::timeout, [&] {
        auto* chooser = qobject_cast<TFormFile*>(QApplication::activeModalWidget());
        if (!chooser) return;
        opened = true;
        act(*chooser);
        if (chooser->isVisible()) {
            ADD_FAILURE() << "the chooser was left open";
            chooser->reject();
        }
    });
    whenOpen.start(0);
    Press(form.get(), Qt::Key_Return);
    whenOpen.stop();
    return opened;
}

void ChooserBench::SaveAs(const QString& name) {
    ASSERT_TRUE(RunEntry(kSaveEntry, [&](TFormFile& chooser) {
        TypeName(chooser, name);
        Press(chooser.focusWidget(), Qt::Key_Return);
    }));
}

QString ChooserBench::Lpg(const QString& name) const {
    return workshop_.filePath(QStringLiteral("ConfigLPG/") + name);
}

QByteArray ChooserBench::Bytes(const QString& path) const {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ChooserBench::Decoded(const QString& path) const {
    QProcess tool;
    tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kvtool"),
               {QStringLiteral("decode"), path});
    if (!tool.waitForFinished() || tool.exitCode() != 0) {
        ADD_FAILURE() << "kvtool decode " << path.toStdString() << ": "
                      << tool.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

void Type(QWidget* widget, const QString& text) {
    ASSERT_NE(widget, nullptr);
    QTest::keyClicks(widget, text);
}

void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
    ASSERT_NE(widget, nullptr);
    QTest::keyClick(widget, static_cast<Qt::Key>(key), modifiers);
}

void DoubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

void TypeName(TFormFile& chooser, const QString& name) {
    ASSERT_EQ(chooser.focusWidget(), chooser.EditName);
    Press(chooser.EditName, Qt::Key_A, Qt::ControlModifier);
    Type(chooser.EditName, name);
}

QStringList Captions(const TFormFile& chooser) {
    QStringList out;
    for (int i = 0; i < chooser.ListFile->topLevelItemCount(); ++i)
        out << chooser.ListFile->topLevelItem(i)->text(0);
    return out;
}
