#include "app/MainWindow.h"

#include "app/ImageStampWindow.h"
#include "app/OutputSettingsSheet.h"
#include "app/SingleInstance.h"
#include "app/TextStampWindow.h"
#include "AppFixture.h"
#include "filelist/FileListModel.h"
#include "model/ImageStamp.h"
#include "model/TextStamp.h"
#include "platform/AppPaths.h"
#include "platform/PreferencesStore.h"
#include "preview/PreviewRenderer.h"
#include "support/PdfTools.h"
#include "ui_MainWindow.h"
#include "usage/UsagesReporting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPdfDocument>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace veltrane::test {
namespace {

using MainWindowTest = AppFixture;

template <typename T> T* child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QLatin1String(name));
}

StampEditorWindow* editorOf(IStampItem* stamp)
{
    auto* link = static_cast<StampEditorLink*>(static_cast<StampItemBase*>(stamp)->editor());
    return link ? link->window() : nullptr;
}

TEST_F(MainWindowTest, FirstLaunchStartsFromTheDefaultsWithItsFolders)
{
    EXPECT_TRUE(QDir(getAppPath() + u"/Logs"_s).exists());
    EXPECT_EQ(m_app->window().windowTitle(), u"Veltrane"_s);
    EXPECT_TRUE(m_app->number().stamps().empty());
    // The sample page is drawn at the image view's own pixels (sharp, not scaled up).
    EXPECT_NEAR(m_app->window().ui().previewBox->shownImage().height(),
                m_app->window().ui().previewBox->imageViewFrame().height(), 1.0);
    EXPECT_EQ(m_app->usagesReport().record().features.size(), 1);
}

TEST_F(MainWindowTest, ThreeStampsAddedInOrderWithTheThirdSelected)
{
    IStampItem* first = addTextStamp(u"A"_s);
    addTextStamp(u"B"_s);
    IStampItem* third = addTextStamp(u"C"_s);
    ASSERT_EQ(m_app->number().stamps().size(), 3u);
    EXPECT_EQ(m_app->number().stamps()[0].get(), first);
    EXPECT_EQ(m_app->number().stamps()[2].get(), third);
    EXPECT_EQ(m_app->selectedStampRows(), QList<int>{2});
    EXPECT_TRUE(m_app->tempStamps().empty());
    // The editor of an added stamp offers delete, not add.
    m_app->stampDoubleAction();
    StampEditorWindow* editor = editorOf(third);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(child<QPushButton>(editor, "addStampButton")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(editor, "deleteStampButton")->isEnabled());
    EXPECT_EQ(editor->windowTitle(), u"Text Stamp Properties [ Numbers [C] ]"_s);
    EXPECT_EQ(third->marginAnchor(), qint32(MiddleMiddle));
    EXPECT_TRUE(child<QToolButton>(editor, "marginMiddleMiddleButton")->isChecked());
}

TEST_F(MainWindowTest, ADisabledStampKeepsItsRowAndLeavesThePreview)
{
    ASSERT_TRUE(waitForPreview());
    const QImage empty = m_app->window().ui().previewBox->shownImage();
    IStampItem* stamp = addTextStamp(u"WWWWWWWW"_s);
    m_app->number().setIsHighlightStamp(false);
    ASSERT_TRUE(waitForPreview());
    EXPECT_NE(m_app->window().ui().previewBox->shownImage(), empty);
    QAbstractItemModel* model = m_app->window().ui().stampsTableView->model();
    ASSERT_TRUE(model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    ASSERT_TRUE(waitForPreview());
    EXPECT_FALSE(stamp->isSelected());
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(m_app->window().ui().previewBox->shownImage(), empty);
}

TEST_F(MainWindowTest, ResetsRefreshOnceOrNotAtAll)
{
    const auto refreshes = [this](auto&& command) {
        const quint64 before = m_app->previewRenderer().latestGeneration();
        command();
        return m_app->previewRenderer().latestGeneration() - before;
    };
    auto* panel = m_app->window().ui().settingTabView;
    EXPECT_EQ(refreshes([&] { panel->resetMargins(); }), 0u);
    m_app->number().beginUpdate();
    m_app->number().setStartPage(3);
    m_app->number().endUpdate(false);
    EXPECT_EQ(refreshes([&] { panel->resetNumberCounters(); }), 1u);
    EXPECT_EQ(m_app->number().startPage(), 1);
    EXPECT_EQ(refreshes([&] { panel->resetNumberCounters(); }), 0u);
    EXPECT_EQ(child<QLineEdit>(&m_app->window(), "startPageField")->text(), u"1"_s);
}

TEST_F(MainWindowTest, TaggedFieldsRepairedAsTyped)
{
    auto* field = child<QLineEdit>(&m_app->window(), "numberStepsField");
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, u"0"_s);
    EXPECT_EQ(field->text(), u"1"_s);
    field->end(false);
    QTest::keyClicks(field, u"3"_s);
    EXPECT_EQ(m_app->number().numberSteps(), 13);
}

TEST_F(MainWindowTest, RemoveAndMoveFollowTheSelection)
{
    for (const char* label : {"0", "1", "2", "3", "4"}) {
        addTextStamp(QLatin1String(label));
    }
    m_app->selectStampRows({3});
    m_app->removeStampAction();
    EXPECT_EQ(m_app->selectedStampRows(), QList<int>{2});
    EXPECT_EQ(m_app->number().stamps().size(), 4u);
    m_app->selectStampRows({1, 2});
    m_app->moveStampUpAction();
    EXPECT_EQ(m_app->selectedStampRows(), (QList<int>{0, 1}));
    EXPECT_FALSE(m_app->window().ui().moveStampUpAction->isEnabled());
    m_app->selectStampRows({2, 3});
    m_app->moveStampDownAction();
    EXPECT_TRUE(m_app->selectedStampRows().isEmpty());
}

TEST_F(MainWindowTest, DuringARunTheStampCommandsAndCheckBoxesRest)
{
    addTextStamp(u"A"_s);
    m_app->startProcess();
    m_app->resetView(false);
    EXPECT_FALSE(m_app->window().ui().newTextStampAction->isEnabled());
    EXPECT_FALSE(m_app->window().ui().removeStampAction->isEnabled());
    QAbstractItemModel* model = m_app->window().ui().stampsTableView->model();
    EXPECT_FALSE(model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_TRUE(m_app->number().stamps()[0]->isSelected());
    // A profile handed over now is not even asked about.
    m_app->openFile(u"/tmp/x.vtprofile"_s);
    EXPECT_EQ(visibleAlert(), nullptr);
    m_app->stopProcess();
    m_app->resetView(true);
    EXPECT_TRUE(m_app->window().ui().newTextStampAction->isEnabled());
}

TEST_F(MainWindowTest, ProfilesLoadOnlyOnYesAndBadOnesChangeNothing)
{
    addTextStamp(u"Saved"_s);
    const QString path = m_preferences->folder() + u"/job.vtprofile"_s;
    ASSERT_TRUE(m_app->number().save(path));
    addTextStamp(u"Later"_s);

    m_app->openFile(path);
    QMessageBox* question = visibleAlert();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), u"Do you want to load [job.vtprofile] profile?"_s);
    EXPECT_EQ(question->informativeText(), u"This will overwrite your current settings."_s);
    answerNextAlert(0, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([] { return visibleAlert() == nullptr; }));
    EXPECT_EQ(m_app->number().stamps().size(), 2u);

    m_app->openFile(path);
    answerNextAlert(1, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([this] { return m_app->number().stamps().size() == 1; }));
    EXPECT_EQ(m_app->selectedStampRows(), QList<int>{0});

    // A damaged file: the alert, the job as it was. "Yes", then the alert that the answer
    // leads to, shown inside the first one's loop.
    const QString damaged = writeFile(m_preferences->folder() + u"/bad.vtprofile"_s,
                                      "<plist><array><string>not a job</string></array></plist>");
    QString told;
    answerNextAlert(1, nullptr);
    answerNextAlert(1, &told);
    m_app->openFile(damaged);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }));
    EXPECT_EQ(told, u"Unable to load Veltrane Profile!"_s);
    EXPECT_EQ(m_app->number().stamps().size(), 1u);
}

TEST_F(MainWindowTest, QuittingSavesThePreferencesWithoutAQuestion)
{
    addTextStamp(u"Kept"_s);
    m_app->window().close();
    PreferencesStore::shared().setFilePath(m_preferences->path());
    const QVariantMap settings = PreferencesStore::shared().value(u"SETTINGS"_s).toMap();
    const QVariantList stamps = settings.value(u"number"_s).toMap().value(u"Stamps"_s).toList();
    EXPECT_EQ(stamps.size(), 1);
    EXPECT_TRUE(PreferencesStore::shared().value(u"RECENTITEMS"_s).isValid());
}

TEST_F(MainWindowTest, AFamilyWithoutBoldDisablesBold)
{
    setFontFacesLookup([](const QString&) { return QStringList{u"Regular"_s, u"Italic"_s}; });
    m_app->textStampAction();
    StampEditorWindow* editor = editorOf(m_app->tempStamps().back().get());
    EXPECT_FALSE(child<QCheckBox>(editor, "boldFontCheckbox")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>(editor, "italicFontCheckbox")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(editor, "addStampButton")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(editor, "deleteStampButton")->isEnabled());
    setFontFacesLookup([](const QString& family) { return QFontDatabase::styles(family); });
}

TEST_F(MainWindowTest, ImageEditorLockAndUnreadablePicture)
{
    const QString folder = m_preferences->folder();
    QImage wide(300, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    ASSERT_TRUE(wide.save(folder + u"/Logo.png"_s));
    QImage big(640, 480, QImage::Format_RGB32);
    big.fill(Qt::blue);
    ASSERT_TRUE(big.save(folder + u"/Big.png"_s));

    m_app->imageStampAction();
    auto* stamp = static_cast<ImageStamp*>(m_app->tempStamps().back().get());
    auto* editor = static_cast<ImageStampWindow*>(editorOf(stamp));
    EXPECT_EQ(editor->windowTitle(), u"Image Stamp Properties []"_s);
    editor->openPanelDidEnd(folder + u"/Logo.png"_s);
    EXPECT_EQ(editor->windowTitle(), u"Image Stamp Properties [Logo]"_s);
    EXPECT_EQ(stamp->stampImageWidth(), 300);
    editor->controlTextDidChange(true, u"150"_s);
    EXPECT_EQ(stamp->stampImageHeight(), 50);
    editor->controlTextDidChange(false, u"33"_s);
    EXPECT_EQ(stamp->stampImageWidth(), 99);
    editor->openPanelDidEnd(folder + u"/Big.png"_s);
    EXPECT_EQ(stamp->stampImageWidth(), 640);
    EXPECT_EQ(stamp->stampImageHeight(), 480);

    QString told;
    answerNextAlert(1, &told);
    editor->openPanelDidEnd(folder + u"/Veltrane.plist"_s);
    EXPECT_EQ(told, u"Unable to load selected image!"_s);
    EXPECT_EQ(stamp->stampImagePath(), folder + u"/Big.png"_s);
}

TEST_F(MainWindowTest, PhotoDateTypeStartsFromItsPattern)
{
    m_app->textStampAction();
    auto* stamp = static_cast<TextStamp*>(m_app->tempStamps().back().get());
    auto* editor = static_cast<TextStampWindow*>(editorOf(stamp));
    stamp->setNumberType(PhotoDateTime);
    editor->titleFieldChanged();
    EXPECT_EQ(stamp->numberFormat(), u"d MMM yy"_s);
    stamp->setNumberType(Numbers);
    stamp->setNumberFormat(u"{0}"_s);
    editor->titleFieldChanged();
    EXPECT_EQ(stamp->numberFormat(), u"{0}"_s);
}

TEST_F(MainWindowTest, ASecondLaunchHandsItsFilesToTheRunningProgram)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"handed.pdf"_s);
    writeBodyPdf(pdf, 2);
    for (const bool bus : {true, false}) {
        SingleInstance running;
        running.setUseSessionBus(bus);
        running.listen([this](const QStringList& files) { m_app->openFiles(files); });
        EXPECT_EQ(QDBusConnection::sessionBus()
                      .interface()
                      ->isServiceRegistered(u"org.orlavex.Veltrane"_s)
                      .value(),
                  bus);
        SingleInstance second;
        second.setUseSessionBus(bus);
        ASSERT_TRUE(second.handOver({u"/tmp/handed.vtprofile"_s})) << bus;
        ASSERT_TRUE(QTest::qWaitFor([] { return visibleAlert() != nullptr; })) << bus;
        EXPECT_EQ(visibleAlert()->text(), u"Do you want to load [handed.vtprofile] profile?"_s);
        answerNextAlert(0, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([] { return visibleAlert() == nullptr; }));
        // Documents join the list as a drop would bring them.
        ASSERT_TRUE(second.handOver({pdf})) << bus;
        ASSERT_TRUE(QTest::qWaitFor([this] { return rowOf(u"handed.pdf"_s) == 0; }));
        m_app->files().setItems({});
    }
    EXPECT_FALSE(qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty()) << "no private session bus";
}

TEST_F(MainWindowTest, AJobIsBuiltAndSavedFromTheKeyboardAlone)
{
    QTemporaryDir dir;
    const QString profile = dir.filePath(u"keys.vtprofile"_s);
    auto activeOther = [this] {
        QWidget* active = QApplication::activeWindow();
        return active && active != &m_app->window() ? active : nullptr;
    };
    m_app->window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_app->window()));
    QTest::keyClick(&m_app->window(), Qt::Key_T, Qt::ControlModifier); // New Text Stamp
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeOther() != nullptr; }));
    QWidget* editor = activeOther();
    QTest::keyClick(editor, Qt::Key_T, Qt::AltModifier); // the Text field
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), u"Page {0}"_s);
    QTest::keyClick(editor, Qt::Key_A, Qt::AltModifier); // Add (an animated click)
    QTRY_COMPARE(m_app->number().stamps().size(), 1u);
    EXPECT_EQ(static_cast<TextStamp&>(*m_app->number().stamps()[0]).numberFormat(), u"Page {0}"_s);
    // The desktop's window switching brings the main window back.
    m_app->window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_app->window()));
    QTest::keyClick(&m_app->window(), Qt::Key_S, Qt::ControlModifier); // Save Profile
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeOther() != nullptr; }));
    QWidget* name = QApplication::focusWidget();
    ASSERT_NE(name, nullptr);
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, profile);
    QTest::keyClick(name, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(profile); }));
    Numbering saved;
    ASSERT_TRUE(saved.load(profile));
    ASSERT_EQ(saved.stamps().size(), 1u);
    EXPECT_EQ(static_cast<TextStamp&>(*saved.stamps()[0]).numberFormat(), u"Page {0}"_s);
}

// The Alt+letter keys of one window, each with the controls that answer it.
QMap<int, QStringList> accessKeys(QWidget* window)
{
    QMap<int, QStringList> keys;
    auto add = [&](const QString& text, const QString& owner) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty()) {
            keys[key[0].toCombined()] << owner;
        }
    };
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(window)) {
            add(button->text(), button->objectName());
        }
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() && label->isVisibleTo(window)) {
            add(label->text(), label->objectName());
        }
    }
    for (QTabBar* tabs : window->findChildren<QTabBar*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            add(tabs->tabText(i), tabs->tabText(i));
        }
    }
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        for (QAction* menu : main->menuBar()->actions()) {
            add(menu->text(), menu->text());
        }
    }
    return keys;
}

TEST_F(MainWindowTest, EveryAccessKeyOfAWindowReachesOneControl)
{
    m_app->textStampAction();
    m_app->imageStampAction();
    auto* tabs = child<QTabWidget>(&m_app->window(), "settingTabView");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        for (const auto& [key, owners] : accessKeys(&m_app->window()).asKeyValueRange()) {
            EXPECT_EQ(owners.size(), 1)
                << "main window, tab " << tab << ": " << owners.join(u", "_s).toStdString();
        }
    }
    QList<QWidget*> windows{static_cast<QWidget*>(&m_app->outputSettings())};
    for (const auto& stamp : m_app->tempStamps()) {
        windows << editorOf(stamp.get());
        ASSERT_NE(windows.last(), nullptr);
    }
    for (QWidget* window : windows) {
        for (const auto& [key, owners] : accessKeys(window).asKeyValueRange()) {
            EXPECT_EQ(owners.size(), 1)
                << window->objectName().toStdString() << ": " << owners.join(u", "_s).toStdString();
        }
    }
}

TEST(UserGuideTest, MadeFromItsSourceAtBuildTime)
{
    QPdfDocument guide;
    ASSERT_EQ(guide.load(QStringLiteral(VELTRANE_GUIDE_PDF)), QPdfDocument::Error::None);
    EXPECT_GE(guide.pageCount(), 5);
    EXPECT_TRUE(guide.getAllText(0).text().contains(u"Veltrane User Guide"_s));
    EXPECT_EQ(guide.metaData(QPdfDocument::MetaDataField::Title).toString(),
              u"Veltrane User Guide"_s);
}

TEST_F(MainWindowTest, RemovingSeveralStampsClosesEveryOneOfTheirEditors)
{
    for (const char* label : {"A", "B", "C"}) {
        addTextStamp(QLatin1String(label));
    }
    QList<QPointer<StampEditorWindow>> editors;
    for (int row : {0, 2}) {
        m_app->selectStampRows({row});
        m_app->stampDoubleAction();
        editors.append(editorOf(m_app->number().stamps()[row].get()));
    }
    m_app->selectStampRows({0, 2});
    m_app->removeStampAction();
    ASSERT_EQ(m_app->number().stamps().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !editors[0] && !editors[1]; }));
}

TEST_F(MainWindowTest, PercentMarginsAreTakenAgainstThePageShown)
{
    m_app->number().setMarginTop(84.2);
    m_app->number().setMarginLeft(59.5);
    child<QCheckBox>(&m_app->window(), "marginPercentageCheck")->click();
    EXPECT_TRUE(m_app->number().isMarginInPercentage());
    EXPECT_DOUBLE_EQ(m_app->number().marginTop(), 10.0);
    EXPECT_DOUBLE_EQ(m_app->number().marginLeft(), 10.0);
    child<QCheckBox>(&m_app->window(), "marginPercentageCheck")->click();
    EXPECT_DOUBLE_EQ(m_app->number().marginTop(), 84.2);
}

} // namespace
} // namespace veltrane::test
