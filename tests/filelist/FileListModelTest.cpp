#include "filelist/FileListModel.h"

#include "support/ItemTools.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace veltrane;

using test::columnOf;

TEST(FileListModel, TableOfItemsWithACheckColumnAndSorting)
{
    QTemporaryDir dir;
    QList<FileItem> items = test::pdfItems(dir.path(), {{"b.pdf", 3}, {"c.pdf", 1}, {"a.pdf", 2}});
    items.append(test::listedItem(test::corpusFile(u"qpdf_c-r6-in.pdf"_s)));

    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.appendItems(items), 4);
    EXPECT_EQ(model.appendItems(items.mid(1, 2)), 0); // duplicates refused
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.columnCount(), 10);

    const QModelIndex name = model.index(0, columnOf("name"));
    EXPECT_EQ(model.data(name), QVariant(u"b.pdf"_s));
    EXPECT_EQ(model.data(model.index(0, columnOf("pages"))), QVariant(3));
    EXPECT_EQ(model.data(model.index(3, columnOf("name")), Qt::ForegroundRole),
              QVariant(QColor(Qt::red)));
    EXPECT_EQ(model.data(model.index(3, columnOf("secured")), Qt::ToolTipRole),
              QVariant(u"Secured."_s));
    EXPECT_EQ(model.data(model.index(0, columnOf("sizeInKB")), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));

    // Only the check column is editable, and not while processing.
    const QModelIndex check = model.index(1, columnOf("isSelected"));
    EXPECT_TRUE(model.flags(check) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(name) & Qt::ItemIsUserCheckable);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(check, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_FALSE(model.items()[1].isSelected());
    EXPECT_FALSE(model.setData(name, u"x"_s, Qt::EditRole));
    model.setProcessing(true);
    EXPECT_FALSE(model.setData(check, Qt::Checked, Qt::CheckStateRole));
    model.sort(columnOf("name"));
    EXPECT_EQ(model.data(model.index(0, columnOf("name"))), QVariant(u"b.pdf"_s));
    model.setProcessing(false);

    model.sort(columnOf("name"));
    EXPECT_EQ(model.data(model.index(0, columnOf("name"))), QVariant(u"a.pdf"_s));
    model.sort(columnOf("pages"), Qt::DescendingOrder);
    QList<int> byPages;
    for (int r = 0; r < 4; ++r) {
        byPages << model.data(model.index(r, columnOf("pages"))).toInt();
    }
    EXPECT_EQ(byPages, QList<int>({3, 2, 1, 0}));
    EXPECT_FALSE(model.items()[2].isSelected()); // the check mark moved with its item
}

TEST(FileListModel, SeveralSortKeysApplyInOrderAndAHeaderClickLeadsThem)
{
    QTemporaryDir dir;
    FileListModel model;
    model.appendItems(
        test::pdfItems(dir.path(), {{"w.pdf", 1}, {"x.pdf", 2}, {"y.pdf", 1}, {"z.pdf", 2}}));
    auto order = [&] {
        QStringList out;
        for (const FileItem& item : model.items()) {
            out << item.name().left(1);
        }
        return out.join(QString());
    };
    model.setSortDescriptors({{columnOf("pages"), Qt::AscendingOrder},
                              {columnOf("name"), Qt::DescendingOrder},
                              {99, Qt::AscendingOrder}}); // unknown columns are dropped
    EXPECT_EQ(model.sortDescriptors().size(), 2);
    EXPECT_EQ(order(), u"wxyz"_s); // setting the keys alone does not sort
    model.applySortDescriptors();
    EXPECT_EQ(order(), u"ywzx"_s);

    model.sort(columnOf("name"), Qt::AscendingOrder);
    EXPECT_EQ(model.sortDescriptors(),
              QList<SortDescriptor>({{columnOf("name"), Qt::AscendingOrder},
                                     {columnOf("pages"), Qt::AscendingOrder}}));
    EXPECT_EQ(order(), u"wxyz"_s);

    // While processing a header click changes nothing, but a gathering's re-sort still applies.
    model.setProcessing(true);
    model.sort(columnOf("pages"), Qt::DescendingOrder);
    EXPECT_EQ(model.sortDescriptors().first().column, columnOf("name"));
    model.setSortDescriptors({{columnOf("name"), Qt::DescendingOrder}});
    model.applySortDescriptors();
    EXPECT_EQ(order(), u"zyxw"_s);
}
