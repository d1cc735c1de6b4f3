#include "platform/TiffHandles.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <QFile>

namespace veltrane {
namespace {

QString errorText(const char* module, const char* format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    return module && *module
               ? QStringLiteral("%1: %2").arg(QString::fromUtf8(module), QString::fromUtf8(text))
               : QString::fromUtf8(text);
}

int collectError(TIFF*, void* user, const char* module, const char* format, va_list args)
{
    *static_cast<QString*>(user) = errorText(module, format, args);
    return 1;
}

// libtiff reports a failed write as "Write error at scanline 0" without saying why; the reason
// is still in errno, set by the write that failed just before.
int collectWriteError(TIFF*, void* user, const char* module, const char* format, va_list args)
{
    const int error = errno;
    QString text = errorText(module, format, args);
    if (error == ENOSPC || error == EFBIG || error == EDQUOT || error == EIO || error == EROFS) {
        text += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
    }
    *static_cast<QString*>(user) = text;
    return 1;
}

int ignoreWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

TIFFOpenOptions* openOptions(QString* message, bool writing = false)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, writing ? collectWriteError : collectError,
                                       message);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreWarning, nullptr);
    return options;
}

struct MemoryFile
{
    QByteArray* bytes;
    qint64 position = 0;
};

MemoryFile* memory(thandle_t handle)
{
    return static_cast<MemoryFile*>(handle);
}

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    MemoryFile* file = memory(handle);
    const qint64 available = std::max<qint64>(file->bytes->size() - file->position, 0);
    const qint64 count = std::min<qint64>(size, available);
    std::memcpy(buffer, file->bytes->constData() + file->position, size_t(count));
    file->position += count;
    return tmsize_t(count);
}

tmsize_t writeMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    MemoryFile* file = memory(handle);
    const qint64 end = file->position + size;
    if (size < 0 || end > std::numeric_limits<qsizetype>::max() / 2) {
        return -1;
    }
    const qsizetype oldSize = file->bytes->size();
    if (end > oldSize) {
        if (end > file->bytes->capacity()) {
            // Doubling keeps appending strip after strip linear.
            file->bytes->reserve(qsizetype(std::max<qint64>(end, 2 * file->bytes->capacity())));
        }
        file->bytes->resize(qsizetype(end));
        if (file->position > oldSize) {
            // A seek past the end leaves a gap, which reads as zeros in a file.
            std::memset(file->bytes->data() + oldSize, 0, size_t(file->position - oldSize));
        }
    }
    std::memcpy(file->bytes->data() + file->position, buffer, size_t(size));
    file->position = end;
    return size;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence)
{
    MemoryFile* file = memory(handle);
    qint64 base = 0;
    if (whence == SEEK_CUR) {
        base = file->position;
    } else if (whence == SEEK_END) {
        base = file->bytes->size();
    }
    const qint64 target = base + qint64(offset);
    if (target < 0) {
        return toff_t(-1);
    }
    file->position = target;
    return toff_t(target);
}

int closeMemory(thandle_t handle)
{
    delete memory(handle);
    return 0;
}

toff_t sizeOfMemory(thandle_t handle)
{
    return toff_t(memory(handle)->bytes->size());
}

int mapNothing(thandle_t, void**, toff_t*)
{
    return 0;
}

void unmapNothing(thandle_t, void*, toff_t) {}

} // namespace

TIFF* openTiffFile(const QString& path, const char* mode, QString* message)
{
    TIFFOpenOptions* options = openOptions(message, std::strchr(mode, 'w') != nullptr);
    TIFF* tiff = TIFFOpenExt(QFile::encodeName(path).constData(), mode, options);
    TIFFOpenOptionsFree(options);
    return tiff;
}

TIFF* openTiffMemory(QByteArray* bytes, const char* mode, QString* message)
{
    TIFFOpenOptions* options = openOptions(message);
    auto* file = new MemoryFile{bytes};
    TIFF* tiff = TIFFClientOpenExt("memory", mode, file, readMemory, writeMemory, seekMemory,
                                   closeMemory, sizeOfMemory, mapNothing, unmapNothing, options);
    TIFFOpenOptionsFree(options);
    if (!tiff) {
        delete file; // TIFFClose frees it once the handle exists
    }
    return tiff;
}

} // namespace veltrane
