// Several copies of the program starting in one folder at once share its word list file.
#include "tests/support/built_program.h"
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(ConcurrentStart, CopiesInOneFolderNeverSeeAHalfWrittenOrVanishingFile)
{
    const QString probe = QString::fromStdString(testing_support::builtProgramPath("dictionary_probe"));
    ASSERT_TRUE(QFileInfo(probe).isExecutable()) << qPrintable(probe);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    std::vector<std::unique_ptr<QProcess>> copies;
    for (int i = 0; i < 6; ++i) {
        copies.push_back(std::make_unique<QProcess>());
        copies.back()->start(probe, {folder.path(), QStringLiteral("40")});
    }
    for (auto &copy : copies) {
        ASSERT_TRUE(copy->waitForFinished(60000));
        EXPECT_EQ(copy->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(copy->exitCode(), 0) << copy->readAllStandardError().constData();
    }
    // Every copy deleted the file at its end and no temporary file was left behind.
    EXPECT_TRUE(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}
