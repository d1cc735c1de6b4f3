#include "preview/PageCache.h"

#include "preview/PageRaster.h"

#include <mutex>
#include <QDateTime>
#include <QFileInfo>

namespace veltrane {
namespace {

struct Kept
{
    QString path;
    qint64 page = 0;
    QString password;
    QDateTime modified;
    qint64 size = -1;
    QImage image;
    bool valid = false;
};

std::mutex g_mutex;
Kept g_kept;

} // namespace

QImage cachedPreviewPage(const QString& path, qint64 pageNumber, const QString& password)
{
    const QFileInfo info(path);
    const QDateTime modified = info.lastModified();
    const qint64 size = info.size();
    std::lock_guard lock(g_mutex);
    if (!(g_kept.valid && g_kept.path == path && g_kept.page == pageNumber &&
          g_kept.password == password && g_kept.modified == modified && g_kept.size == size)) {
        const std::optional<QImage> page = pageNumber > 0 && pageNumber <= INT32_MAX
                                               ? loadPreviewPage(path, int(pageNumber), password)
                                               : std::nullopt;
        g_kept = Kept{
            path,     pageNumber,
            password, modified,
            size,     page ? page->convertToFormat(QImage::Format_ARGB32_Premultiplied) : QImage(),
            true};
    }
    // A deep copy: the caller draws on it, the kept page stays clean.
    return g_kept.image.copy();
}

void clearPreviewPageCache()
{
    std::lock_guard lock(g_mutex);
    g_kept = Kept();
}

} // namespace veltrane
