#include "platform/JpegReader.h"

#include "platform/CmykColour.h"
#include "platform/FrameBuffer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <QFile>
#include <vector>

namespace veltrane {
namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf exit;
    bool warned = false;
};

[[noreturn]] void exitOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->exit, 1);
}

void noteMessage(j_common_ptr info, int level)
{
    // Level -1 is a warning about damaged data (a premature end, a corrupt segment).
    if (level < 0) {
        reinterpret_cast<ErrorManager*>(info->err)->warned = true;
    }
}

int dotsPerMeter(int unit, int density)
{
    switch (unit) {
    case 1: // dots an inch
        return int(100.0 * density / 2.54);
    case 2: // dots a centimetre
        return 100 * density;
    default:
        return 0;
    }
}

// The colour conversion of a CMYK picture.
struct CmykState
{
    QByteArray profile;
    std::unique_ptr<CmykToRgb> colour;
};

// Everything that must survive a longjmp lives outside this function's automatic C++ objects.
bool decode(jpeg_decompress_struct& info, ErrorManager& errors, std::FILE* file, qint64 maxPixels,
            JpegPicture& picture, CmykState& cmyk)
{
    if (setjmp(errors.exit) != 0) {
        return false;
    }
    jpeg_stdio_src(&info, file);
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xffff); // the ICC profile
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        return false;
    }
    const bool isCmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    if (info.jpeg_color_space != JCS_GRAYSCALE && info.jpeg_color_space != JCS_YCbCr &&
        info.jpeg_color_space != JCS_RGB && !isCmyk) {
        return false;
    }
    if (qint64(info.image_width) * info.image_height > maxPixels) {
        return false;
    }
    if (isCmyk) {
        JOCTET* profile = nullptr;
        unsigned int profileSize = 0;
        if (jpeg_read_icc_profile(&info, &profile, &profileSize)) {
            cmyk.profile =
                QByteArray(reinterpret_cast<const char*>(profile), qsizetype(profileSize));
            std::free(profile);
        }
        // Adobe's applications write CMYK with every sample inverted, and say so in their marker.
        cmyk.colour = CmykToRgb::create(cmyk.profile, false, info.saw_Adobe_marker != 0,
                                        CmykToRgb::Output::Rgb32, nullptr);
        if (!cmyk.colour) {
            return false;
        }
        info.out_color_space = JCS_CMYK;
    } else {
        info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    }
    if (!jpeg_start_decompress(&info)) {
        return false;
    }
    picture.pixels =
        allocateFrame(QSize(int(info.output_width), int(info.output_height)), QImage::Format_RGB32);
    if (picture.pixels.isNull()) {
        return false;
    }
    // CMYK rows are decoded into the row itself (4 bytes a pixel, as RGB32) and converted there.
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.pixels.scanLine(int(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1 || errors.warned) {
            return false;
        }
        if (isCmyk) {
            cmyk.colour->convert(row, row, int(info.output_width));
        }
    }
    jpeg_finish_decompress(&info);
    if (errors.warned) {
        return false;
    }
    picture.dotsPerMeterX = dotsPerMeter(info.density_unit, info.X_density);
    picture.dotsPerMeterY = dotsPerMeter(info.density_unit, info.Y_density);
    return true;
}

} // namespace

std::optional<JpegPicture> readCleanJpeg(const QString& path, qint64 maxPixels)
{
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        return std::nullopt;
    }
    // libjpeg asks for 4 KB at a time; a larger buffer saves most of the read calls. It is
    // given, as glibc would otherwise keep to the file system's block size.
    std::vector<char> buffer(1 << 20);
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = exitOnError;
    errors.base.emit_message = noteMessage;
    jpeg_create_decompress(&info);
    JpegPicture picture;
    CmykState cmyk;
    const bool decoded = decode(info, errors, file, maxPixels, picture, cmyk);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    if (!decoded) {
        return std::nullopt;
    }
    return picture;
}

} // namespace veltrane
