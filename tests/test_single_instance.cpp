#include "platform/SingleInstance.h"

#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A second copy does not get the lock; one that crashed leaves a lock that is taken over.
TEST(SingleInstance, SecondCopyAndStaleLock)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vorlin.lock");
    {
        platform::SingleInstance first(path);
        EXPECT_TRUE(first.acquired());
        QLockFile other(path);
        EXPECT_FALSE(other.tryLock(0));
    }
    // A lock whose owner is gone: a process id that cannot be running.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("999999999\nvorlin\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    f.close();
    platform::SingleInstance next(path);
    EXPECT_TRUE(next.acquired());
}
