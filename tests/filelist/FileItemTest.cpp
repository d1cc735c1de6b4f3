#include "filelist/FileItem.h"

#include "support/Corpus.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"
#include "support/ScopedLanguage.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace veltrane;

namespace {

FileItem itemFor(const QString& path)
{
    std::optional<FileItem> item = FileItem::initWithURL(QUrl::fromLocalFile(path));
    EXPECT_TRUE(item.has_value()) << path.toStdString();
    return *item;
}

struct SizeCase
{
    const char* name;
    qint32 bytes;
    const char* text;
};

class SizeText : public ::testing::TestWithParam<SizeCase>
{};

TEST_P(SizeText, ReadsAsThePartSays)
{
    EXPECT_EQ(FileItem::sizeInKBText(GetParam().bytes), QString::fromLatin1(GetParam().text));
}

const SizeCase kSizes[] = {
    {"Zero", 0, "0 KB"},
    {"RoundsDown", 499, "0 KB"},
    {"RoundsHalfUp", 500, "1 KB"},
    {"OneAndAHalf", 1500, "2 KB"},
    {"StillKilobytes", 1000000, "1000 KB"},
    {"OneMegabyte", 1000001, " 1 MB"},
    {"OneAndAHalfMegabytes", 1500000, " 1.5 MB"},
    {"TwelveMegabytes", 12345678, "12.3 MB"},
    {"FloatRoundsUp", 999999999, "1000 MB"},
    {"TwoGigabytes", 2000000000, " 2 GB"},
    {"Largest", 2147483647, " 2.1 GB"},
};

INSTANTIATE_TEST_SUITE_P(FileItem, SizeText, ::testing::ValuesIn(kSizes),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(FileItem, EveryCorpusFileMeasuresAsItsManifestSays)
{
    const QList<test::CorpusEntry> manifest = test::corpusManifest();
    ASSERT_GE(manifest.size(), 20);
    static const QRegularExpression pixels(QStringLiteral("(\\d+)x(\\d+)"));
    for (const test::CorpusEntry& entry : manifest) {
        const std::string name = entry.value("local_name").toStdString();
        const FileItem item = itemFor(entry.path());
        const bool pdf = entry.value("kind") == QLatin1String("pdf");
        const bool userPassword = entry.value("password").contains(QLatin1String("user="));
        const QString encryption = entry.value("encryption");
        const bool encrypted = pdf && encryption != QLatin1String("none");

        // Locked by a user password: no pages until the password is given.
        EXPECT_EQ(item.pages(), userPassword ? 0 : entry.value("pages").toInt()) << name;
        EXPECT_EQ(item.isEncrypted(), encrypted) << name;
        const QString compression = entry.value("compression");
        EXPECT_EQ(item.compression(), compression == QLatin1String("-") ? 1 : compression.toInt())
            << name;

        // The DateTime fallback needs an Exif sub-directory, which only the JPEGs here have.
        QString date = entry.value("datetimeoriginal");
        if (date == QLatin1String("-")) {
            date = entry.value("kind") == QLatin1String("jpeg") &&
                           entry.value("datetime") != QLatin1String("-")
                       ? entry.value("datetime")
                       : QString(QLatin1String(""));
        }
        EXPECT_EQ(item.dateTaken(), std::optional<QString>(date)) << name;

        const qint64 logical = entry.value("size").toLongLong();
        EXPECT_GE(item.size(), logical) << name;
        EXPECT_LT(item.size(), logical + 65536) << name;
        EXPECT_EQ(item.size() % 512, 0) << name;

        if (!pdf) {
            const auto match = pixels.match(entry.value("notes"));
            ASSERT_TRUE(match.hasMatch()) << name;
            EXPECT_EQ(item.imageSize(),
                      QSizeF(match.captured(1).toInt(), match.captured(2).toInt()))
                << name;
        } else if (!userPassword && item.pages() > 0) {
            EXPECT_GT(item.imageSize().width(), 0) << name;
        }
    }
}

TEST(FileItem, LockedPdfTakesItsPagesWithTheRightPassword)
{
    FileItem item = itemFor(test::corpusFile(QStringLiteral("qpdf_c-r6-in.pdf")));
    EXPECT_EQ(item.displayField(QStringLiteral("SECURED")),
              QVariant(QStringLiteral("LockTemplate.pdf")));
    EXPECT_EQ(item.problem(), QStringLiteral("needs a password"));
    EXPECT_FALSE(item.applyPdfPassword(QStringLiteral("wrong")));
    EXPECT_EQ(item.pages(), 0);
    EXPECT_EQ(item.pdfOpenPassword(), QString());
    ASSERT_TRUE(item.applyPdfPassword(QStringLiteral("user4")));
    EXPECT_EQ(item.pages(), 30);
    EXPECT_EQ(item.problem(), QString());
    EXPECT_GT(item.imageSize().width(), 0);
    EXPECT_EQ(item.displayField(QStringLiteral("secured")),
              QVariant(QStringLiteral("UnlockTemplate.pdf")));

    QSizeF size;
    EXPECT_TRUE(verifyPDF(QUrl::fromLocalFile(test::corpusFile(QStringLiteral("qpdf_boxes.pdf"))),
                          QStringLiteral("anything"), &size));
    EXPECT_FALSE(verifyPDF(QUrl(), QStringLiteral("x"), &size));
}

TEST(FileItem, ArtBoxFallsBackToCropAndMediaBox)
{
    const FileItem boxes = itemFor(test::corpusFile(QStringLiteral("qpdf_boxes.pdf")));
    const FileItem inherited =
        itemFor(test::corpusFile(QStringLiteral("qpdf_page-inherit-mediabox.pdf")));
    EXPECT_EQ(inherited.imageSize(), QSizeF(612, 792));
    EXPECT_GT(boxes.imageSize().width(), 0);
}

TEST(FileItem, IdentityNamesAndTableCells)
{
    EXPECT_FALSE(FileItem::initWithURL(QUrl()).has_value());
    EXPECT_FALSE(
        FileItem::initWithURL(QUrl(QStringLiteral("https://example.org/a.pdf"))).has_value());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Photo One.JPG"));
    QImage(40, 30, QImage::Format_RGB32).save(path, "JPEG");
    const FileItem a = itemFor(path);
    const FileItem b = itemFor(path);
    EXPECT_TRUE(a.isEqual(&b));
    EXPECT_TRUE(a.isEqual(&a));
    EXPECT_FALSE(a.isEqual(nullptr));
    EXPECT_EQ(a.name(), QStringLiteral("Photo One.JPG"));
    EXPECT_EQ(a.type(), QStringLiteral("JPG"));
    EXPECT_EQ(a.location(), dir.path());
    EXPECT_EQ(a.pages(), 1);
    EXPECT_EQ(a.dateTaken(), std::optional<QString>(QString(QLatin1String(""))));
    EXPECT_EQ(a.displayField(QStringLiteral("name")), QVariant(QStringLiteral("Photo One.JPG")));
    EXPECT_EQ(a.displayField(QStringLiteral("Pages")), QVariant(1));
    EXPECT_EQ(a.displayField(QStringLiteral("isSelected")), QVariant(true));
    EXPECT_EQ(a.displayField(QStringLiteral("sizeInKB")),
              a.displayField(QStringLiteral("SIZEINKB")));
    EXPECT_FALSE(a.displayField(QStringLiteral("SECURED")).isValid());
    EXPECT_FALSE(a.displayField(QStringLiteral("colour")).isValid());
    EXPECT_FALSE(a.displayField(QString()).isValid());

    test::ScopedLanguage english("en_US.UTF-8");
    const QString modified = a.displayField(QStringLiteral("dateModified")).toString();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d\\d-[A-Z][a-z]{2}-\\d{4} \\d{1,2}:\\d\\d (AM|PM)$"))
            .match(modified)
            .hasMatch())
        << modified.toStdString();
}

TEST(FileItem, UnreadableFilesAreListedWithNoPages)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    const QByteArray jpeg = test::fileBytes(test::corpusFile(QStringLiteral("pillow_hopper.jpg")));
    const QByteArray tiff =
        test::fileBytes(test::corpusFile(QStringLiteral("pillow_multipage.tiff")));
    test::LogCapture log;
    const QString fifo = dir.filePath(QStringLiteral("fifo.pdf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir().mkpath(dir.filePath(QStringLiteral("folder.pdf")));
    // Each with the reason it shows no pages (the start of it, for the readers' own words).
    const std::pair<QString, QString> unreadable[] = {
        {write("empty.png", {}), QStringLiteral("empty file")},
        {write("empty.pdf", {}), QStringLiteral("empty file")},
        {write("junk.tif", QByteArray(300, 'j')), QStringLiteral("not a readable TIFF file (")},
        {write("junk.png", QByteArray(300, 'j')), QStringLiteral("not a readable picture (")},
        {write("junk.pdf", QByteArray("%PDF-1.4 nothing else")),
         QStringLiteral("damaged PDF document")},
        {write("letter.pdf", QByteArray("Dear reader,\n")), QStringLiteral("not a PDF document")},
        {dir.filePath(QStringLiteral("missing.gif")), QStringLiteral("not found")},
        // Never opened: a reader would wait for a writer forever.
        {fifo, QStringLiteral("not a regular file")},
        {dir.filePath(QStringLiteral("folder.pdf")), QStringLiteral("a folder, not a file")},
    };
    QElapsedTimer timer;
    timer.start();
    for (const auto& [path, problem] : unreadable) {
        const FileItem item = itemFor(path);
        EXPECT_EQ(item.pages(), 0) << path.toStdString();
        EXPECT_TRUE(item.problem().startsWith(problem))
            << path.toStdString() << ": " << item.problem().toStdString();
        EXPECT_EQ(item.imageSize(), QSizeF()) << path.toStdString();
        EXPECT_EQ(item.compression(), 1);
        EXPECT_FALSE(item.isEncrypted());
    }
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(itemFor(dir.filePath(QStringLiteral("missing.gif"))).sizeInKB(),
              QStringLiteral("0 KB"));
    // Extensions that lie: the content decides.
    EXPECT_EQ(itemFor(write("really-a-jpeg.png", jpeg)).pages(), 1);
    EXPECT_EQ(itemFor(write("really-a-jpeg.png", jpeg)).problem(), QString());
    EXPECT_EQ(itemFor(write("really-a-jpeg.tif", jpeg)).pages(), 1);
    // A TIFF cut short keeps the pages that can still be reached.
    const FileItem cut = itemFor(write("cut.tiff", tiff.left(tiff.size() / 2)));
    EXPECT_LE(cut.pages(), 3);
    EXPECT_TRUE(log.lines().isEmpty());
}
