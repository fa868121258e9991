#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Every test runs inside a QApplication (offscreen), as the program does.
int main(int argc, char** argv) {
    // A temporary folder of this test process's own: every main screen removes the leftover
    // temporary copies at start, and must not take those another test process has in use.
    QTemporaryDir temp;
    if (temp.isValid()) qputenv("TMPDIR", QFile::encodeName(temp.path()));
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
