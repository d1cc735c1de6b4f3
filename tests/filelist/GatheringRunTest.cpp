#include "filelist/GatheringRun.h"

#include "filelist/FileListModel.h"
#include "support/ItemTools.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

bool waitForEnd(GatheringRun& run)
{
    return QTest::qWaitFor([&] { return !run.isRunning(); }, 20000);
}

Arguments folderDrop(const QString& folder, bool subfolders = false)
{
    return {{QUrl::fromLocalFile(folder)}, true, subfolders};
}

} // namespace

TEST(GatheringRun, AppendsOnTheOwningThreadThenSortsAndReportsTheTimeTaken)
{
    QTemporaryDir dir;
    const QString drop = dir.filePath(u"drop"_s);
    QDir().mkpath(drop + u"/sub"_s);
    for (const char* name : {"a.pdf", "b.JPG", "c.Pdf", "d.txt", ".hidden.png", "sub/e.png"}) {
        test::writeFile(drop + QLatin1Char('/') + QString::fromLatin1(name), "x");
    }
    FileListModel list;
    list.setSortDescriptors({{test::columnOf("name"), Qt::DescendingOrder}});
    GatheringRun run(&list);
    QSignalSpy status(&run, &GatheringRun::statusTextChanged);
    QSignalSpy finished(&run, &GatheringRun::finished);
    QList<bool> processingWhileAppending;
    QList<QThread*> appendingThreads;
    QObject::connect(&list, &QAbstractItemModel::rowsInserted, [&] {
        processingWhileAppending << list.isProcessing();
        appendingThreads << QThread::currentThread();
    });

    ASSERT_TRUE(run.loadURLs(folderDrop(drop), u"pw"_s));
    EXPECT_TRUE(list.isProcessing());
    EXPECT_FALSE(run.loadURLs(folderDrop(drop), {})); // one at a time
    ASSERT_TRUE(waitForEnd(run));

    EXPECT_EQ(test::itemNames(list.items()), QStringList({u"b.JPG"_s, u"a.pdf"_s}));
    EXPECT_EQ(list.items().first().pdfOpenPassword(), u"pw"_s);
    EXPECT_EQ(processingWhileAppending, QList<bool>{true});
    EXPECT_EQ(appendingThreads, QList<QThread*>{QThread::currentThread()});
    EXPECT_FALSE(list.isProcessing());
    ASSERT_EQ(status.size(), 2);
    EXPECT_EQ(status[0][0].toString(), u"Total Time Taken : In Process... 0/0"_s);
    // Under a second the duration is empty: two spaces before 0/0.
    EXPECT_EQ(status[1][0].toString(), u"Total Time Taken :  0/0"_s);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_TRUE(finished[0][0].toBool());

    // The same folder again, now with subfolders: only the new file comes, check marks stay.
    ASSERT_TRUE(list.setData(list.index(0, test::columnOf("isSelected")), Qt::Unchecked,
                             Qt::CheckStateRole));
    ASSERT_TRUE(run.loadURLs(folderDrop(drop, true), {}));
    ASSERT_TRUE(waitForEnd(run));
    EXPECT_EQ(test::itemNames(list.items()), QStringList({u"e.png"_s, u"b.JPG"_s, u"a.pdf"_s}));
    EXPECT_FALSE(list.items()[1].isSelected());
    EXPECT_TRUE(list.items()[2].isSelected());
    ASSERT_TRUE(run.loadURLs(folderDrop(drop, true), {}));
    ASSERT_TRUE(waitForEnd(run));
    ASSERT_EQ(finished.size(), 3);
    EXPECT_FALSE(finished[2][0].toBool()); // nothing new
    EXPECT_EQ(list.rowCount(), 3);
}

TEST(GatheringRun, CancelKeepsWhatWasFoundSorted)
{
    QTemporaryDir dir;
    const int count = 400;
    for (int i = 0; i < count; ++i) {
        test::writeBodyPdf(dir.filePath(u"f%1.pdf"_s.arg(i, 3, 10, QLatin1Char('0'))), 1,
                           QSizeF(100, 100));
    }
    FileListModel list;
    list.setSortDescriptors({{test::columnOf("name"), Qt::DescendingOrder}});
    GatheringRun run(&list);
    run.setJobs(1);
    run.setBatchSize(8);
    QObject::connect(&list, &QAbstractItemModel::rowsInserted, &run, &GatheringRun::cancel);
    QSignalSpy finished(&run, &GatheringRun::finished);
    ASSERT_TRUE(run.loadURLs(folderDrop(dir.path()), {}));
    ASSERT_TRUE(waitForEnd(run));

    const QStringList names = test::itemNames(list.items());
    EXPECT_GE(names.size(), 8);
    EXPECT_LT(names.size(), count);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    EXPECT_EQ(names, sorted);
    for (const FileItem& item : list.items()) {
        EXPECT_EQ(item.pages(), 1);
    }
    ASSERT_EQ(finished.size(), 1);
    EXPECT_TRUE(finished[0][0].toBool());
    EXPECT_FALSE(list.isProcessing());
}

TEST(GatheringRun, DeletingTheRunMidWayStopsItsWorker)
{
    QTemporaryDir dir;
    for (int i = 0; i < 200; ++i) {
        test::writeFile(dir.filePath(u"f%1.png"_s.arg(i)), "x");
    }
    FileListModel list;
    {
        GatheringRun run(&list);
        run.setBatchSize(4);
        ASSERT_TRUE(run.loadURLs(folderDrop(dir.path()), {}));
    }
    // Batches still queued for the deleted run are dropped, not appended to freed memory: no
    // event ran before the deletion, so nothing was appended and nothing is after it.
    QCoreApplication::processEvents();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_FALSE(list.isProcessing());
}
