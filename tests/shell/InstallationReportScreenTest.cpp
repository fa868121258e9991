#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "LoopbackEcu.h"
#include "PdfText.h"
#include "ShellFixture.h"
#include "TFormMain.h"
#include "WorkshopDetails.h"

namespace {

void key(QWidget* target, int k, const QString& text = {}) {
    QKeyEvent down(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, k, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
}

void type(QWidget* target, const QString& text) {
    for (QChar c : text) key(target, 0, QString(c));
}

// Runs steps, one each time a new modal window is up, as a technician at the keyboard.
void whenModal(std::vector<std::function<void(QWidget*)>> steps) {
    auto remaining = std::make_shared<decltype(steps)>(std::move(steps));
    auto last = std::make_shared<QWidget*>(nullptr);
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == *last) return;
        *last = modal;
        auto step = remaining->front();
        remaining->erase(remaining->begin());
        if (remaining->empty()) timer->deleteLater();
        step(modal);
    });
    timer->start(20);
}

TEST(InstallationReportScreenTest, TheReportCommandAsksTheWorkshopOnceAndSavesTheEcusReport) {
    ShellFixture shell;
    LoopbackEcu ecu(shell.clock);
    TStreamDati data(TStreamDati::Options{.loadLinkLibrary = false});
    data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {});
    shell.dialogs.clear();
    QTemporaryDir folder;
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    TFormMain form(data, QRect(0, 0, 800, 600));
    form.show();
    QApplication::setActiveWindow(&form);
    form.ActionConnetti->trigger();
    ASSERT_TRUE(data.IsConnected());
    ASSERT_TRUE(data.SetValue(528, 2050));

    whenModal({
        [](QWidget* workshop) {
            const char* fields[] = {"EditNome", "EditIndirizzo", "EditTelefono"};
            const char* texts[] = {"Officina Bianchi", "Corso Italia 5", "02 1234"};
            for (int i = 0; i < 3; ++i)
                type(workshop->findChild<QLineEdit*>(fields[i]), QString::fromUtf8(texts[i]));
            key(workshop->findChild<QLineEdit*>("EditTelefono"), Qt::Key_Return);
        },
        [](QWidget* preview) {
            key(preview->findChild<QPushButton*>("ButtonSalva"), Qt::Key_Space);
            key(preview, Qt::Key_Escape);
        },
    });
    form.ActionRapporto->trigger();
    QDir::setCurrent(before);

    const QDir reports(folder.filePath(QStringLiteral("Rapporti")));
    const QStringList files = reports.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    ASSERT_EQ(files.size(), 1) << reports.path().toStdString();
    EXPECT_TRUE(files[0].endsWith(QDate::currentDate().toString(Qt::ISODate) + ".pdf"));
    const QString text = PdfText(reports.filePath(files[0]));
    EXPECT_TRUE(text.contains(QStringLiteral("Officina Bianchi"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("2050 rpm")));
    EXPECT_TRUE(text.contains(QStringLiteral("VE-0030-2401-000123")));
    EXPECT_TRUE(shell.dialogs.last().text.contains(files[0]));
    // Entered once: kept in the settings for the next report.
    EXPECT_EQ(WorkshopDetails::Load(data.QorGlobalData()).telephone, QStringLiteral("02 1234"));
}

}  // namespace
