#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TempLeftovers.h"

namespace {
TEST(TempLeftoversTest, RemovesTheTemporaryCopiesOfEarlierRunsOnly) {
    QTemporaryDir folder;
    for (const char* name :
         {"_mp1.tmp", "_mtABC.tmp", "_mp2.tmp", "_mp.txt", "keep.tmp", "x_mt1.tmp"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile::setPermissions(folder.filePath("_mp2.tmp"), QFileDevice::ReadOwner);
    EXPECT_EQ(TempLeftovers::Remove(folder.path()), 3);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
              (QStringList{"_mp.txt", "keep.tmp", "x_mt1.tmp"}));
}
}  // namespace
