// Stamping TIFF files and pictures: every frame is decoded, stamped when selected, and written
// as one page of a multi-page TIFF.
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/InputFile.h"
#include "platform/JpegRoundTrip.h"
#include "platform/StagedFile.h"
#include "platform/SystemLog.h"
#include "platform/TiffFile.h"
#include "processing/ImageFrames.h"
#include "processing/PageLayout.h"
#include "processing/StampTarget.h"
#include "processing/TiffFramePipeline.h"
#include "render/PreviewMarks.h"

#include <QFile>
#include <QPainter>
#include <QThread>
#include <stdexcept>
#include <utility>

namespace veltrane {
namespace {

// Stamps are drawn in pixels: a canvas of 72 dpi makes a point of font size one pixel.
constexpr int kPointPerPixelDotsPerMeter = 2835;

bool isBilevel(qint32 compression)
{
    return compression == 2 || compression == 3 || compression == 4;
}

// Opaque frames are stored as a photo is: through JPEG at the highest quality. Bilevel pages
// are thresholded when written, where JPEG fringes would only add noise.
QImage finishFrame(QImage image, bool hasAlpha, qint32 compression, QString* error)
{
    if (hasAlpha || isBilevel(compression)) {
        return image;
    }
    return jpegRoundTrip(std::move(image), error);
}

TiffFramePipeline::Encode encodeOnePage(qint32 compression)
{
    return [compression](const QImage& image, const PlannedFrame& frame, QString* error) {
        QByteArray bytes;
        std::unique_ptr<TiffWriter> page = TiffWriter::createInMemory(&bytes, error);
        if (!page || !page->writePage(image, compression, frame.xDpi, frame.yDpi, error) ||
            !page->close(error)) {
            return QByteArray();
        }
        return bytes;
    };
}

} // namespace

void Numbering::drawOnImage(QImage& image, qint64 pageNumber, qint64 pages, qint32 highlightIndex,
                            bool isPreview)
{
    Q_UNUSED(pageNumber);
    drawStamps(image, m_numberCounter, pages, highlightIndex, isPreview, nullptr);
}

void Numbering::drawStamps(QImage& image, qint64 number, qint64 pages, qint32 highlightIndex,
                           bool isPreview, const std::vector<qint32>* anchors)
{
    guarded(QStringLiteral("Error in (Numbering=>drawOnImage:pageNumber:pages:highlightIndex:"
                           "isPreview:) : %@"),
            [&] {
                const QSizeF size(image.width(), image.height());
                const QRectF margins = imageMarginRect(*this, size);
                const int dotsX = image.dotsPerMeterX();
                const int dotsY = image.dotsPerMeterY();
                image.setDotsPerMeterX(kPointPerPixelDotsPerMeter);
                image.setDotsPerMeterY(kPointPerPixelDotsPerMeter);
                {
                    QPainter painter(&image);
                    painter.setRenderHint(QPainter::Antialiasing, true);
                    if (isPreview) {
                        drawPreviewMarks(painter, size, margins);
                    }
                    qint32 index = 0;
                    size_t drawn = 0;
                    for (const auto& stamp : m_stamps) {
                        const bool highlight = index++ == highlightIndex;
                        if (!stamp->isSelected()) {
                            continue;
                        }
                        qint32 anchor = 0;
                        if (anchors) {
                            anchor = drawn < anchors->size() ? (*anchors)[drawn] : 0;
                        } else {
                            if (stamp->kind() == StampKind::Text) {
                                static_cast<TextStamp&>(*stamp).setDateTaken(m_dateTaken);
                            }
                            anchor = stamp->getNextMarginAnchor(stamp->isSymmetry(),
                                                                stamp->marginAnchor());
                        }
                        ++drawn;
                        stamp->draw(painter, margins, margins, anchor, number, pages, highlight);
                    }
                }
                image.setDotsPerMeterX(dotsX);
                image.setDotsPerMeterY(dotsY);
            });
}

bool Numbering::processTIFF(const QString& source, const QString& target, qint64 totalPages,
                            qint32 compression)
{
    m_omissionNote.clear();
    m_failureReason = inputFileProblem(source);
    if (!m_failureReason.isEmpty()) {
        return false;
    }
    compression = TiffWriter::writtenCompression(compression);
    const StampTarget stampTarget(source, target);
    bool written = false;
    setIsUpdating(true);
    guarded(QStringLiteral("Error in [processTIFF:] : %@"), &m_failureReason, [&] {
        if (!TiffWriter::canWrite(compression)) {
            throw stampFailure(
                QStringLiteral("TIFF compression %1 cannot be written").arg(compression));
        }
        stampTarget.backUpSource(m_isBackupFile);
        QString error;
        std::unique_ptr<ImageFrames> frames = ImageFrames::open(source, &error);
        if (!frames) {
            throw stampFailure(error);
        }
        std::optional<StagedFile> output = StagedFile::create(target, &error);
        if (!output) {
            throw stampFailure(error);
        }
        std::unique_ptr<TiffWriter> writer = TiffWriter::create(output->temporaryPath(), &error);
        if (!writer) {
            throw stampFailure(error);
        }
        const qint64 pagesValue = totalPages > 0 ? totalPages : frames->count();
        const int kept =
            frames->isTiff() && QThread::idealThreadCount() > 1
                ? writeFramesInParallel(source, *frames, *writer, pagesValue, compression)
                : writeFrames(*frames, *writer, pagesValue, compression);
        if (!writer->close(&error)) {
            throw stampFailure(error);
        }
        if (m_omissionNote.isEmpty() && frames->isCutShort()) {
            m_omissionNote = QStringLiteral("the file is cut short after frame %1: the frames that "
                                            "should follow could not be read")
                                 .arg(frames->count());
        }
        if (kept == 0 && !m_omissionNote.isEmpty()) {
            throw stampFailure(std::exchange(m_omissionNote, QString()));
        }
        if (kept == 0) {
            // Nothing in the page span: no file, and the staged one goes away.
            m_failureReason =
                QStringLiteral("none of its %1 pages lies in the page span").arg(frames->count());
            return;
        }
        if (!output->commit(&error)) {
            throw stampFailure(error);
        }
        written = true;
    });
    setIsUpdating(false);
    return written;
}

int Numbering::writeFrames(ImageFrames& frames, TiffWriter& writer, qint64 pagesValue,
                           qint32 compression)
{
    QString error;
    // Every page carries the first frame's resolution: its size in points is the output's.
    QSizeF nominal;
    int kept = 0;
    const qint64 count = frames.count();
    for (qint64 i = 1; i <= count; ++i) {
        if (!isUpdating()) {
            throw stampFailure(QStringLiteral("stopped before frame %1 of %2").arg(i).arg(count));
        }
        bool undecodable = false;
        std::optional<ImageFrame> frame = frames.read(int(i - 1), &error, &undecodable);
        if (!frame && undecodable) {
            omitFramesFrom(i, count, error);
            break;
        }
        if (!frame) {
            throw stampFailure(error);
        }
        if (i == 1) {
            nominal = QSizeF(frame->pixels.width() * 72.0 / frame->xDpi,
                             frame->pixels.height() * 72.0 / frame->yDpi);
        }
        if (i < m_startPage || (m_endPage != 0 && i > m_endPage)) {
            continue;
        }
        QImage& canvas = frame->pixels;
        if (isPageStamped(*this, i)) {
            drawOnImage(canvas, m_numberCounter, pagesValue, -1, false);
            m_numberCounter += m_numberSteps;
        }
        canvas = finishFrame(std::move(canvas), frame->hasAlpha, compression, &error);
        if (canvas.isNull()) {
            throw stampFailure(error);
        }
        if (!writer.writePage(canvas, compression, canvas.width() * 72.0 / nominal.width(),
                              canvas.height() * 72.0 / nominal.height(), &error)) {
            throw stampFailure(error);
        }
        ++kept;
    }
    return kept;
}

void Numbering::omitFramesFrom(qint64 firstUnread, qint64 count, const QString& error)
{
    if (firstUnread <= 1) {
        throw stampFailure(error);
    }
    const qint64 after = count - firstUnread;
    m_omissionNote = QStringLiteral("frame %1 of %2 could not be read").arg(firstUnread).arg(count);
    if (after > 0) {
        m_omissionNote += QStringLiteral(": it and the %1 after it were left out").arg(after);
    }
}

int Numbering::writeFramesInParallel(const QString& source, ImageFrames& frames, TiffWriter& writer,
                                     qint64 pagesValue, qint32 compression)
{
    // The plan fixes, in page order, what the sequential loop would: which pages are kept,
    // the number each prints and every stamp's anchor; the workers then only read the job.
    std::vector<PlannedFrame> plan;
    for (const auto& stamp : m_stamps) {
        if (stamp->isSelected() && stamp->kind() == StampKind::Text) {
            static_cast<TextStamp&>(*stamp).setDateTaken(m_dateTaken);
        }
    }
    const std::optional<TiffPageInfo> first = frames.tiffPageInfo(0);
    if (!first || first->size.isEmpty()) {
        throw stampFailure(QStringLiteral("page 1 cannot be read"));
    }
    const QSizeF nominal(first->size.width() * 72.0 / first->xDpi,
                         first->size.height() * 72.0 / first->yDpi);
    const qint64 count = frames.count();
    for (qint64 i = 1; i <= count; ++i) {
        if (i < m_startPage || (m_endPage != 0 && i > m_endPage)) {
            continue;
        }
        const std::optional<TiffPageInfo> info = frames.tiffPageInfo(int(i - 1));
        if (!info) {
            throw stampFailure(QStringLiteral("page %1 cannot be read").arg(i));
        }
        PlannedFrame frame;
        frame.index = int(i - 1);
        frame.xDpi = info->size.width() * 72.0 / nominal.width();
        frame.yDpi = info->size.height() * 72.0 / nominal.height();
        frame.stamped = isPageStamped(*this, i);
        frame.number = m_numberCounter;
        if (frame.stamped) {
            for (const auto& stamp : m_stamps) {
                if (stamp->isSelected()) {
                    frame.anchors.push_back(
                        stamp->getNextMarginAnchor(stamp->isSymmetry(), stamp->marginAnchor()));
                }
            }
            m_numberCounter += m_numberSteps;
        }
        plan.push_back(std::move(frame));
    }
    if (plan.empty()) {
        return 0;
    }
    const int workers = std::clamp(QThread::idealThreadCount(), 1, 4);
    TiffFramePipeline pipeline(
        source, plan, workers,
        [this, pagesValue](QImage& image, const PlannedFrame& frame) {
            drawStamps(image, frame.number, pagesValue, -1, false, &frame.anchors);
        },
        [compression](QImage image, bool hasAlpha, QString* error) {
            return finishFrame(std::move(image), hasAlpha, compression, error);
        },
        // Compressing is as much work as decoding: it runs on the workers too, when the
        // compressed strips can be appended as they are.
        TiffWriter::canAppendEncoded(compression) ? encodeOnePage(compression)
                                                  : TiffFramePipeline::Encode());
    QString error;
    for (size_t k = 0; k < plan.size(); ++k) {
        if (!isUpdating()) {
            throw stampFailure(
                QStringLiteral("stopped before frame %1 of %2").arg(plan[k].index + 1).arg(count));
        }
        bool undecodable = false;
        std::optional<FinishedFrame> frame = pipeline.next(&error, &undecodable);
        if (!frame && undecodable) {
            omitFramesFrom(plan[k].index + 1, count, error);
            return int(k);
        }
        if (!frame) {
            throw stampFailure(error);
        }
        const bool written =
            frame->encoded.isEmpty()
                ? writer.writePage(frame->pixels, compression, plan[k].xDpi, plan[k].yDpi, &error)
                : writer.appendEncodedPages(frame->encoded, &error);
        if (!written) {
            throw stampFailure(error);
        }
    }
    return int(plan.size());
}

} // namespace veltrane
