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

using namespace Qt::StringLiterals;

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

TEST_P(SizeText, ReadsInKilobytesOrMegabytes)
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
    static const QRegularExpression pixels(u"(\\d+)x(\\d+)"_s);
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
    FileItem item = itemFor(test::corpusFile(u"qpdf_c-r6-in.pdf"_s));
    EXPECT_EQ(item.displayField(u"SECURED"_s), QVariant(u"LockTemplate.pdf"_s));
    EXPECT_EQ(item.problem(), u"needs a password"_s);
    EXPECT_FALSE(item.applyPdfPassword(u"wrong"_s));
    EXPECT_EQ(item.pages(), 0);
    EXPECT_EQ(item.pdfOpenPassword(), QString());
    ASSERT_TRUE(item.applyPdfPassword(u"user4"_s));
    EXPECT_EQ(item.pages(), 30);
    EXPECT_EQ(item.problem(), QString());
    EXPECT_GT(item.imageSize().width(), 0);
    EXPECT_EQ(item.displayField(u"secured"_s), QVariant(u"UnlockTemplate.pdf"_s));

    QSizeF size;
    EXPECT_TRUE(verifyPDF(QUrl::fromLocalFile(test::corpusFile(u"qpdf_boxes.pdf"_s)), u"anything"_s,
                          &size));
    EXPECT_FALSE(verifyPDF(QUrl(), u"x"_s, &size));
}

TEST(FileItem, ArtBoxFallsBackToCropAndMediaBox)
{
    const FileItem boxes = itemFor(test::corpusFile(u"qpdf_boxes.pdf"_s));
    const FileItem inherited = itemFor(test::corpusFile(u"qpdf_page-inherit-mediabox.pdf"_s));
    EXPECT_EQ(inherited.imageSize(), QSizeF(612, 792));
    EXPECT_EQ(boxes.imageSize(), QSizeF(572, 732)); // page 1's crop box, 10 20 582 752
}

TEST(FileItem, IdentityNamesAndTableCells)
{
    EXPECT_FALSE(FileItem::initWithURL(QUrl()).has_value());
    EXPECT_FALSE(FileItem::initWithURL(QUrl(u"https://example.org/a.pdf"_s)).has_value());

    QTemporaryDir dir;
    const QString path = dir.filePath(u"Photo One.JPG"_s);
    QImage(40, 30, QImage::Format_RGB32).save(path, "JPEG");
    const FileItem a = itemFor(path);
    const FileItem b = itemFor(path);
    EXPECT_TRUE(a.isEqual(&b));
    EXPECT_TRUE(a.isEqual(&a));
    EXPECT_FALSE(a.isEqual(nullptr));
    EXPECT_EQ(a.name(), u"Photo One.JPG"_s);
    EXPECT_EQ(a.type(), u"JPG"_s);
    EXPECT_EQ(a.location(), dir.path());
    EXPECT_EQ(a.pages(), 1);
    EXPECT_EQ(a.dateTaken(), std::optional<QString>(QString(QLatin1String(""))));
    EXPECT_EQ(a.displayField(u"name"_s), QVariant(u"Photo One.JPG"_s));
    EXPECT_EQ(a.displayField(u"Pages"_s), QVariant(1));
    EXPECT_EQ(a.displayField(u"isSelected"_s), QVariant(true));
    EXPECT_EQ(a.displayField(u"sizeInKB"_s), a.displayField(u"SIZEINKB"_s));
    EXPECT_FALSE(a.displayField(u"SECURED"_s).isValid());
    EXPECT_FALSE(a.displayField(u"colour"_s).isValid());
    EXPECT_FALSE(a.displayField(QString()).isValid());

    test::ScopedLanguage english("en_US.UTF-8");
    const QString modified = a.displayField(u"dateModified"_s).toString();
    EXPECT_TRUE(QRegularExpression(u"^\\d\\d-[A-Z][a-z]{2}-\\d{4} \\d{1,2}:\\d\\d (AM|PM)$"_s)
                    .match(modified)
                    .hasMatch())
        << modified.toStdString();
}

TEST(FileItem, UnreadableFilesAreListedWithNoPages)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        return test::writeFile(dir.filePath(QString::fromLatin1(name)), bytes);
    };
    const QByteArray jpeg = test::fileBytes(test::corpusFile(u"pillow_hopper.jpg"_s));
    const QByteArray tiff = test::fileBytes(test::corpusFile(u"pillow_multipage.tiff"_s));
    test::LogCapture log;
    const QString fifo = dir.filePath(u"fifo.pdf"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir().mkpath(dir.filePath(u"folder.pdf"_s));
    // Each with the reason it shows no pages (the start of it, for the readers' own words).
    const std::pair<QString, QString> unreadable[] = {
        {write("empty.png", {}), u"empty file"_s},
        {write("empty.pdf", {}), u"empty file"_s},
        {write("junk.tif", QByteArray(300, 'j')), u"not a readable TIFF file ("_s},
        {write("junk.png", QByteArray(300, 'j')), u"not a readable picture ("_s},
        {write("junk.pdf", QByteArray("%PDF-1.4 nothing else")), u"damaged PDF document"_s},
        {write("letter.pdf", QByteArray("Dear reader,\n")), u"not a PDF document"_s},
        {dir.filePath(u"missing.gif"_s), u"not found"_s},
        // Never opened: a reader would wait for a writer forever.
        {fifo, u"not a regular file"_s},
        {dir.filePath(u"folder.pdf"_s), u"a folder, not a file"_s},
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
    EXPECT_EQ(itemFor(dir.filePath(u"missing.gif"_s)).sizeInKB(), u"0 KB"_s);
    // Extensions that lie: the content decides.
    EXPECT_EQ(itemFor(write("really-a-jpeg.png", jpeg)).pages(), 1);
    EXPECT_EQ(itemFor(write("really-a-jpeg.png", jpeg)).problem(), QString());
    EXPECT_EQ(itemFor(write("really-a-jpeg.tif", jpeg)).pages(), 1);
    // A TIFF cut short keeps the pages that can still be reached.
    const FileItem cut = itemFor(write("cut.tiff", tiff.left(tiff.size() / 2)));
    EXPECT_LE(cut.pages(), 3);
    EXPECT_TRUE(log.lines().isEmpty());
}
