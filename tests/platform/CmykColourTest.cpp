#include "platform/CmykColour.h"

#include "platform/JpegReader.h"
#include "platform/TiffFile.h"
#include "support/PdfTools.h"
#include "support/TiffTools.h"

#include <csetjmp>
#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <lcms2.h>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

// The same inks, seen through LittleCMS directly: the profile to sRGB, relative colorimetric.
QList<QRgb> expected(const QByteArray& profile, const QList<std::array<quint16, 4>>& inks,
                     bool sixteenBit, bool inverted = false)
{
    cmsHPROFILE source =
        cmsOpenProfileFromMem(profile.constData(), cmsUInt32Number(profile.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsUInt32Number in = sixteenBit ? TYPE_CMYK_16 : (inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8);
    cmsHTRANSFORM transform =
        cmsCreateTransform(source, in, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
    QList<QRgb> colours;
    for (const std::array<quint16, 4>& ink : inks) {
        uchar rgb[3] = {};
        const uchar bytes[4] = {uchar(ink[0]), uchar(ink[1]), uchar(ink[2]), uchar(ink[3])};
        cmsDoTransform(transform, sixteenBit ? static_cast<const void*>(ink.data()) : bytes, rgb,
                       1);
        colours << qRgb(rgb[0], rgb[1], rgb[2]);
    }
    cmsDeleteTransform(transform);
    cmsCloseProfile(srgb);
    cmsCloseProfile(source);
    return colours;
}

QByteArray ghostscriptProfile(const char* name)
{
    return test::fileBytes(u"/usr/share/color/icc/ghostscript/"_s + QString::fromLatin1(name));
}

// White paper, each ink alone, a rich black and a mid tone, as 16-bit samples.
const QList<std::array<quint16, 4>> kPatches16{{0, 0, 0, 0},
                                               {65535, 0, 0, 0},
                                               {0, 65535, 0, 0},
                                               {0, 0, 65535, 0},
                                               {0, 0, 0, 65535},
                                               {65535, 65535, 65535, 65535},
                                               {32896, 16448, 8224, 4112}};

} // namespace

// CMYK pages of 8 and 16 bits, compressed or not, come out as LittleCMS makes them of the
// file's own profile, or of the standard one when the file has none.
TEST(CmykColour, TiffPagesGoThroughTheirProfileOrTheStandardOne)
{
    QTemporaryDir dir;
    const QByteArray standard = ghostscriptProfile("default_cmyk.icc");
    const QByteArray embedded = ghostscriptProfile("ps_cmyk.icc");
    ASSERT_FALSE(standard.isEmpty());
    ASSERT_FALSE(embedded.isEmpty());
    const struct
    {
        const char* name;
        int bits;
        int compression;
        QByteArray profile;
    } rows[] = {
        {"16-bit, none", 16, 1, {}},       {"16-bit, LZW, embedded profile", 16, 5, embedded},
        {"16-bit, Deflate", 16, 8, {}},    {"8-bit, none, embedded profile", 8, 1, embedded},
        {"8-bit, PackBits", 8, 32773, {}},
    };
    for (const auto& row : rows) {
        QList<std::array<quint16, 4>> patches = kPatches16;
        if (row.bits == 8) {
            for (auto& patch : patches) {
                for (quint16& sample : patch) {
                    sample >>= 8;
                }
            }
        }
        const QString path = dir.filePath(u"cmyk.tif"_s);
        test::writeCmykTiff(path, patches, row.bits, row.compression, row.profile);
        QString error;
        std::unique_ptr<TiffReader> reader = TiffReader::open(path, &error);
        ASSERT_TRUE(reader) << row.name;
        const QImage page = reader->readPage(0, &error);
        ASSERT_FALSE(page.isNull()) << row.name << ": " << error.toStdString();
        const QList<QRgb> colours =
            expected(row.profile.isEmpty() ? standard : row.profile, patches, row.bits == 16);
        for (int i = 0; i < patches.size(); ++i) {
            EXPECT_EQ(page.pixel(i * 4 + 1, 4), colours[i]) << row.name << ", patch " << i;
        }
    }
    // The two profiles disagree, so the checks above tell which one was used.
    EXPECT_NE(expected(standard, kPatches16, true), expected(embedded, kPatches16, true));
}

// A CMYK JPEG from a public test suite, with Adobe's inverted samples: decoded raw here with
// libjpeg and compared with the picture the reader makes.
TEST(CmykColour, AdobeJpegsAreInvertedAndConverted)
{
    const QString path = test::corpusFile(u"pillow_pil_sample_cmyk.jpg"_s);
    const std::optional<JpegPicture> picture = readCleanJpeg(path, kMaxFramePixels);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->pixels.size(), QSize(100, 100));

    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    ASSERT_NE(file, nullptr);
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    ASSERT_TRUE(info.saw_Adobe_marker);
    info.out_color_space = JCS_CMYK;
    jpeg_start_decompress(&info);
    QByteArray raw(int(info.output_width * 4 * info.output_height), Qt::Uninitialized);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            reinterpret_cast<JSAMPROW>(raw.data()) + info.output_scanline * info.output_width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);

    const QList<QPoint> places{QPoint(2, 2), QPoint(50, 50), QPoint(30, 70), QPoint(97, 10)};
    QList<std::array<quint16, 4>> inks;
    for (const QPoint at : places) {
        const uchar* ink =
            reinterpret_cast<const uchar*>(raw.constData()) + (at.y() * 100 + at.x()) * 4;
        inks.append({ink[0], ink[1], ink[2], ink[3]});
    }
    const QList<QRgb> colours = expected(ghostscriptProfile("default_cmyk.icc"), inks, false, true);
    for (int i = 0; i < places.size(); ++i) {
        EXPECT_EQ(picture->pixels.pixel(places[i]), colours[i])
            << places[i].x() << "," << places[i].y();
    }
}
