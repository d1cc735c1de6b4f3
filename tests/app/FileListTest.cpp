#include "app/CustomTableView.h"
#include "app/FileListPanel.h"
#include "app/ImportFilesWindow.h"
#include "app/MainWindow.h"
#include "app/PDFReadPasswordWindow.h"
#include "AppFixture.h"
#include "filelist/FileListModel.h"
#include "support/ItemTools.h"
#include "ui_ImportFiles.h"
#include "ui_MainWindow.h"
#include "ui_PDFReadPassword.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace veltrane::test {
namespace {

QStringList texts(std::initializer_list<const char*> items)
{
    QStringList list;
    for (const char* item : items) {
        list << QLatin1String(item);
    }
    return list;
}

// A folder of files the list takes (a.pdf, b.JPG, c.png, a subfolder's d.pdf) and files it
// does not (c.Pdf, d.txt, .hidden.png).
class FileListTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        writeBodyPdf(path("a.pdf"), 2);
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (const char* name : {"b.JPG", "c.png", ".hidden.png"}) {
            picture.save(path(name));
        }
        writeBodyPdf(path("c.Pdf"), 1);
        writeFile(path("d.txt"), {});
        QDir(m_dir.path()).mkdir(u"sub"_s);
        writeBodyPdf(path("sub/d.pdf"), 3);
    }
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    QStringList listedNames() { return itemNames(m_app->files().items()); }
    Ui::MainWindow& ui() { return m_app->window().ui(); }

    QTemporaryDir m_dir;
};

TEST_F(FileListTest, DropsTakeAcceptedFilesOnceAndRecordTheFolder)
{
    ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(m_dir.path())}));
    QStringList names = listedNames();
    names.sort();
    EXPECT_EQ(names, (texts({"a.pdf", "b.JPG", "c.png"})));
    EXPECT_EQ(ui().labelTotalFiles->text(),
              QStringLiteral("3 Total file(s); Total page count of PDF files: 2  TIFF files: 0  "
                             "Other files: 2"));
    EXPECT_EQ(ui().recentFoldersPopup->itemText(1), m_dir.path());
    // The same folder again adds nothing; with subfolders on, only the subfolder's file.
    ui().includeSubfoldersAction->trigger();
    ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(m_dir.path())}));
    EXPECT_EQ(listedNames().size(), 4);
    EXPECT_EQ(rowOf(u"d.pdf"_s), 3);
    EXPECT_EQ(ui().recentFoldersPopup->count(), 2);
    // A lone file of another type is ignored without a word.
    ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(path("d.txt"))}));
    EXPECT_EQ(listedNames().size(), 4);
    EXPECT_EQ(visibleAlert(), nullptr);
}

TEST_F(FileListTest, CommandsFollowTheHighlightAndTheProcessingState)
{
    ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(m_dir.path())}));
    // Listed in the folder's order.
    ASSERT_EQ(listedNames(), (texts({"a.pdf", "b.JPG", "c.png"})));
    const int pdf = 0, png = 2;
    struct Row
    {
        const char* name;
        QList<int> highlight;
        bool processing;
        QStringList enabled; // of the commands checked below
        bool up, down;
    };
    const QStringList always =
        texts({"addFilesAction", "addFolderAction", "importListAction", "exportListAction",
               "removeAllFilesAction", "startRunAction"});
    const Row rows[] = {
        {"nothing highlighted", {}, false, always, false, false},
        {"the PDF highlighted",
         {pdf},
         false,
         always + texts({"pdfPasswordAction", "removeFilesAction"}),
         false,
         true},
        {"a picture highlighted", {png}, false, always + texts({"removeFilesAction"}), true, false},
        {"during a run", {pdf}, true, {}, false, false},
    };
    const QStringList checked = always + texts({"pdfPasswordAction", "removeFilesAction"});
    for (const Row& row : rows) {
        ui().mainTableView->highlightRows(row.highlight);
        if (row.processing) {
            m_app->startProcess();
        }
        m_app->resetView(!row.processing);
        for (const QString& name : checked) {
            auto* action = m_app->window().findChild<QAction*>(name);
            ASSERT_NE(action, nullptr) << name.toStdString();
            EXPECT_EQ(action->isEnabled(), row.enabled.contains(name))
                << row.name << ": " << name.toStdString();
        }
        EXPECT_EQ(ui().moveFilesUpAction->isEnabled(), row.up) << row.name;
        EXPECT_EQ(ui().moveFilesDownAction->isEnabled(), row.down) << row.name;
    }
    // Check marks cannot be edited during a run.
    const QModelIndex check = m_app->files().index(pdf, 0);
    EXPECT_FALSE(m_app->files().setData(check, Qt::Unchecked, Qt::CheckStateRole));
    m_app->stopProcess();
}

TEST_F(FileListTest, RemoveAllAsksFirstAndSpaceInvertsEachCheckMark)
{
    ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(m_dir.path())}));
    m_app->files().setData(m_app->files().index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    ui().mainTableView->highlightRows({0, 1});
    ui().mainTableView->setFocus();
    QTest::keyClick(ui().mainTableView, Qt::Key_Space);
    EXPECT_TRUE(m_app->files().items()[0].isSelected());
    EXPECT_FALSE(m_app->files().items()[1].isSelected());
    EXPECT_TRUE(m_app->files().items()[2].isSelected());

    QString text;
    answerNextAlert(0, &text);
    ui().removeAllFilesAction->trigger();
    QTRY_COMPARE(visibleAlert(), nullptr);
    EXPECT_EQ(text, u"This will remove all the files from current list."_s);
    EXPECT_EQ(m_app->files().items().size(), 3);
    answerNextAlert(1, nullptr);
    ui().removeAllFilesAction->trigger();
    QTRY_VERIFY(m_app->files().items().isEmpty());
    EXPECT_FALSE(ui().startRunAction->isEnabled());
}

TEST_F(FileListTest, MovesKeepTheBlockHighlightedAndTheColumnMenuLeavesTheFixedColumns)
{
    ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(m_dir.path())}));
    const QStringList before = listedNames();
    ui().mainTableView->highlightRows({1, 2});
    ui().moveFilesUpAction->trigger();
    EXPECT_EQ(listedNames(), (QStringList{before[1], before[2], before[0]}));
    EXPECT_EQ(ui().mainTableView->highlightedRows(), (QList<int>{0, 1}));
    ui().moveFilesDownAction->trigger();
    EXPECT_EQ(listedNames(), before);

    std::unique_ptr<QMenu> menu(ui().mainTableView->makeColumnMenu(nullptr));
    QStringList items;
    for (QAction* item : menu->actions()) {
        items << item->objectName();
    }
    EXPECT_EQ(items, (texts({"sizeInKBColumnItem", "typeColumnItem", "dateModifiedColumnItem",
                             "dateCreatedColumnItem", "dateAccessedColumnItem",
                             "locationColumnItem", "securedColumnItem"})));
    menu->actions().first()->trigger();
    EXPECT_TRUE(ui().mainTableView->isColumnHidden(3));
}

TEST_F(FileListTest, OnePasswordUnlocksTheHighlightedPdfs)
{
    ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(corpusFile(u"qpdf_c-r6-in.pdf"_s))}));
    ui().mainTableView->highlightRows({0});
    ui().pdfPasswordAction->trigger();
    PDFReadPasswordWindowController* sheet = m_app->fileList().passwordPanel();
    ASSERT_TRUE(sheet && sheet->isVisible());
    sheet->ui().pdfReadPasswordField->setText(u"user4"_s);
    sheet->findChild<QPushButton*>(u"applyButton"_s)->click();
    EXPECT_FALSE(sheet->isVisible());
    const QModelIndex secured = m_app->files().index(0, 9);
    EXPECT_EQ(secured.data().toString(), u"UnlockTemplate.pdf"_s);
    EXPECT_EQ(secured.data(Qt::ToolTipRole).toString(), u"Secured and having password."_s);
    EXPECT_EQ(m_app->files().items()[0].pages(), 30);
    // Opened again on that one file, the sheet shows its password.
    ui().pdfPasswordAction->trigger();
    EXPECT_EQ(m_app->fileList().passwordPanel()->ui().pdfReadPasswordField->text(), u"user4"_s);
    m_app->fileList().passwordPanel()->cancelAction();
}

TEST_F(FileListTest, PasteAndRecentFoldersFillTheList)
{
    auto* copied = new QMimeData;
    copied->setUrls({QUrl::fromLocalFile(path("a.pdf"))});
    QGuiApplication::clipboard()->setMimeData(copied);
    ui().mainTableView->setFocus();
    ui().pasteFilesAction->trigger();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_app->isProcessing(); }));
    EXPECT_EQ(listedNames(), texts({"a.pdf"}));
    EXPECT_EQ(ui().recentFoldersPopup->count(), 1); // files only: no folder recorded

    ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(m_dir.path())}));
    m_app->files().setItems({});
    // A recent folder replaces the list with its files.
    ui().recentFoldersPopup->activated(1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_app->isProcessing(); }));
    EXPECT_EQ(listedNames().size(), 3);
    // One that is gone asks for another, starting where it was.
    const QString moved = m_dir.path() + u"-moved"_s;
    ASSERT_TRUE(QDir().rename(m_dir.path(), moved));
    ui().recentFoldersPopup->activated(1);
    auto* panel = m_app->window().findChild<QFileDialog*>(u"recentFolderPanel"_s);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    panel->reject();
    EXPECT_EQ(listedNames().size(), 3);
    ASSERT_TRUE(QDir().rename(moved, m_dir.path()));
}

TEST_F(FileListTest, ImportTellsWhatIsMissingAndGathersWhatItFinds)
{
    writeFile(path("list.txt"), (path("a.pdf") + u"\n"_s + path("a.pdf") + u"\n"_s + path("c.Pdf") +
                                 u"\n"_s + path("d.txt") + u"\n\n"_s)
                                    .toUtf8());
    struct Row
    {
        const char* name;
        int mode; // 0 a text file, 1 text
        QString input;
        QString alert; // empty: imported
    };
    const Row rows[] = {
        {"no file chosen", 0, QString(), u"Please select file to import!"_s},
        {"no text", 1, QString(), u"Please paste file(s) path to import!"_s},
        // Nothing found in the file: the alert, and the sheet stays.
        {"not UTF-8", 0, writeFile(path("latin.txt"), "/tmp/caf\xe9.pdf\n"),
         u"No File(s) Found!"_s},
        {"a list", 0, path("list.txt"), QString()},
    };
    for (const Row& row : rows) {
        ui().importListAction->trigger();
        ImportFilesWindowController* sheet = m_app->fileList().importPanel();
        ASSERT_TRUE(sheet && sheet->isVisible()) << row.name;
        sheet->importMethodChanged(row.mode);
        (row.mode == 0 ? static_cast<QWidget*>(sheet->ui().importFile) : sheet->ui().importText)
            ->setProperty(row.mode == 0 ? "text" : "plainText", row.input);
        QString text;
        if (!row.alert.isEmpty()) {
            answerNextAlert(1, &text);
        }
        sheet->ui().importBtn->click();
        if (!row.alert.isEmpty()) {
            EXPECT_EQ(text, row.alert) << row.name;
            EXPECT_TRUE(sheet->isVisible()) << row.name;
            sheet->ui().cancelBtn->click();
            continue;
        }
        EXPECT_FALSE(sheet->isVisible());
        EXPECT_EQ(sheet->ui().totalFilesFound->text(), u"Total Files Found : 2"_s);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !m_app->isProcessing(); }));
        EXPECT_EQ(listedNames(), (texts({"a.pdf", "c.Pdf"})));
    }
}

} // namespace
} // namespace veltrane::test
