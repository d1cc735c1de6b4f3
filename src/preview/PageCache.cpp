#include "preview/PageCache.h"

#include "preview/PageRaster.h"
#include "render/PreviewMarks.h"

#include <mutex>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>

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
    QImage marked;
    QRectF markedFor;
    bool hasMarked = false;
};

std::mutex g_mutex;
Kept g_kept;

// Makes g_kept hold the asked page; the caller holds g_mutex.
void keep(const QString& path, qint64 pageNumber, const QString& password)
{
    const QFileInfo info(path);
    const QDateTime modified = info.lastModified();
    const qint64 size = info.size();
    if (g_kept.valid && g_kept.path == path && g_kept.page == pageNumber &&
        g_kept.password == password && g_kept.modified == modified && g_kept.size == size) {
        return;
    }
    const std::optional<QImage> page = pageNumber > 0 && pageNumber <= INT32_MAX
                                           ? loadPreviewPage(path, int(pageNumber), password)
                                           : std::nullopt;
    g_kept = Kept();
    g_kept.path = path;
    g_kept.page = pageNumber;
    g_kept.password = password;
    g_kept.modified = modified;
    g_kept.size = size;
    g_kept.image = page ? page->convertToFormat(QImage::Format_ARGB32_Premultiplied) : QImage();
    g_kept.valid = true;
}

} // namespace

QImage cachedPreviewPage(const QString& path, qint64 pageNumber, const QString& password)
{
    std::lock_guard lock(g_mutex);
    keep(path, pageNumber, password);
    // A deep copy: the caller draws on it, the kept page stays clean.
    return g_kept.image.copy();
}

QImage cachedMarkedPreviewPage(const QString& path, qint64 pageNumber, const QString& password,
                               const std::function<QRectF(const QSize&)>& marginsFor)
{
    std::lock_guard lock(g_mutex);
    keep(path, pageNumber, password);
    if (g_kept.image.isNull()) {
        return {};
    }
    const QRectF margins = marginsFor(g_kept.image.size());
    if (!g_kept.hasMarked || g_kept.markedFor != margins) {
        g_kept.marked = g_kept.image.copy();
        QPainter painter(&g_kept.marked);
        drawPreviewMarks(painter, QSizeF(g_kept.marked.size()), margins);
        painter.end();
        g_kept.markedFor = margins;
        g_kept.hasMarked = true;
    }
    return g_kept.marked.copy();
}

void clearPreviewPageCache()
{
    std::lock_guard lock(g_mutex);
    g_kept = Kept();
}

} // namespace veltrane
