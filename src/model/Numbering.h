#pragma once

#include "model/IStampItem.h"
#include "model/NumberingDelegate.h"
#include "model/PDFFont.h"
#include "model/StampTypes.h"

#include <atomic>
#include <future>
#include <memory>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <vector>

namespace veltrane {

class ImageFrames;
class TiffWriter;

using StampList = std::vector<std::unique_ptr<IStampItem>>;

// A job with more stamps than this is refused when it is read.
inline constexpr qsizetype kMaxStamps = 10'000;

// The stamp job: which pages get stamps, the running number, the margins, the output folder and
// the ordered stamps. Edited on the main thread; a run or a preview on another thread works on
// its own copy (the copy constructor), never on the edited job.
//
// Change tracking: every setter of a tracked field (see trackedFieldNames()) sends
// PropertyChanged to the delegate unless an update bracket is open. Other setters send nothing.
class Numbering
{
public:
    // The defaults, then the job stored under "NUMBERING" in the preferences store, then the
    // font list, which the font database fills on a thread of its own meanwhile (reading it takes
    // milliseconds a job about to stamp a file need not wait for).
    Numbering();
    // A deep copy: fields, running number, stamps (without editors) and fonts (the same list,
    // even one still being filled); no delegate, no open update bracket.
    Numbering(const Numbering& other);
    Numbering& operator=(const Numbering&) = delete;
    ~Numbering();

    QString dateTaken() const { return m_dateTaken; }
    void setDateTaken(const QString& date) { m_dateTaken = date; }
    QString pdfOpenPassword() const { return m_pdfOpenPassword; }
    void setPdfOpenPassword(const QString& password) { m_pdfOpenPassword = password; }
    // Whether a stamped copy of a protected PDF keeps the source's encryption and permissions
    // (opened with the same passwords); off: the copy is written open. A run option, not a
    // profile key.
    bool keepsEncryption() const { return m_keepsEncryption; }
    void setKeepsEncryption(bool on) { m_keepsEncryption = on; }

    const StampList& stamps() const { return m_stamps; }
    StampList& stamps() { return m_stamps; }
    void setStamps(StampList stamps);

    QString outputFolder() const { return m_outputFolder; }
    void setOutputFolder(const QString& folder) { m_outputFolder = folder; }
    QString labelPrefix() const { return m_labelPrefix; }
    void setLabelPrefix(const QString& prefix);
    NumberingDelegate* delegate() const { return m_delegate; }
    void setDelegate(NumberingDelegate* delegate) { m_delegate = delegate; }
    // Last stamped page (1-based in its file); 0 means up to the last page.
    qint64 endPage() const { return m_endPage; }
    void setEndPage(qint64 page);
    bool hasLabel() const { return m_hasLabel; }
    void setHasLabel(bool on);
    bool isBackupFile() const { return m_isBackupFile; }
    void setIsBackupFile(bool on) { m_isBackupFile = on; }
    bool isContinuousNumbering() const { return m_isContinuousNumbering; }
    void setIsContinuousNumbering(bool on);
    bool isMarginInPercentage() const { return m_isMarginInPercentage; }
    void setIsMarginInPercentage(bool on) { m_isMarginInPercentage = on; }
    bool isSymmetryPage() const { return m_isSymmetryPage; }
    void setIsSymmetryPage(bool on) { m_isSymmetryPage = on; }
    // Margins in marginUnit, or percentages of the page's width (left, right) or height.
    double marginLeft() const { return m_marginLeft; }
    void setMarginLeft(double value);
    double marginTop() const { return m_marginTop; }
    void setMarginTop(double value);
    double marginRight() const { return m_marginRight; }
    void setMarginRight(double value);
    double marginBottom() const { return m_marginBottom; }
    void setMarginBottom(double value);
    qint32 marginUnit() const { return m_marginUnit; }
    void setMarginUnit(qint32 unit) { m_marginUnit = unit; }
    qint64 numberSteps() const { return m_numberSteps; }
    void setNumberSteps(qint64 steps);
    qint32 pageRange() const { return m_pageRange; }
    void setPageRange(qint32 range);
    qint64 startNumber() const { return m_startNumber; }
    void setStartNumber(qint64 number);
    qint64 startPage() const { return m_startPage; }
    void setStartPage(qint64 page);
    bool isHighlightStamp() const { return m_isHighlightStamp; }
    void setIsHighlightStamp(bool on);
    bool isLivePreview() const { return m_isLivePreview; }
    void setIsLivePreview(bool on);
    bool isSettingsChanged() const { return m_isSettingsChanged; }
    void setIsSettingsChanged(bool changed);

    // The running number: the value the next stamped page prints. 0 until the first reset().
    qint64 numberCounter() const { return m_numberCounter; }
    void setNumberCounter(qint64 value) { m_numberCounter = value; }
    // Up inside an update bracket and while a file is being stamped; lowering it from another
    // thread stops that file after its current page.
    bool isUpdating() const { return m_isUpdating.load(); }
    void setIsUpdating(bool updating) { m_isUpdating.store(updating); }

    void beginUpdate();
    // Closes the bracket; with `notify`, sends one PropertyChanged.
    void endUpdate(bool notify);
    void cancelUpdate();

    static QStringList keyPathsForValuesAffectingIsSettingsChanged();

    // A length in marginUnit turned into points.
    double convertToPointUnit(double value) const;
    // Rescales the positive margins after marginUnit was changed from `previousUnit`.
    void convertPoints(qint32 previousUnit);
    // Rescales the positive margins after isMarginInPercentage was switched, against a
    // reference size in points. A margin whose reference dimension is not positive is kept.
    void convertPointsToPercentage(const QSizeF& size);

    // Restarts numbering: numberCounter = startNumber, every stamp's mirror state cleared.
    void reset();

    // Waits for the list begun at creation when it is still being filled.
    const QList<PDFFont>& fonts() const { return m_fonts.get(); }
    // Refills the font list from the font database (needs a QGuiApplication).
    void getPDFFonts();

    static QString romanNumeralsFromInt(qint32 value);

    // The job dictionary (20 keys) and its application; setData returns false, changing
    // nothing, for anything but a dictionary.
    QVariantMap getData() const;
    bool setData(const QVariant& data);
    // Writes the job dictionary as an XML property list, atomically; false when it failed.
    bool save(const QString& path) const;
    // Reads a profile in any property-list encoding and applies it; false, leaving the job as
    // it was, when the file is missing, damaged or not a dictionary.
    bool load(const QString& path);
    // Stores the job dictionary under "NUMBERING" and writes the preferences store.
    void synchronize() const;

    // Writes a stamped copy of the PDF at `source` to `target` (paths; the same file is replaced
    // only once the copy is complete, after a ".bak" copy when isBackupFile is on). `password`
    // unlocks an encrypted source; `totalPages` is the "{1}" value, the file's page count when 0
    // or less. Advances numberCounter by numberSteps per stamped page. True only when the whole
    // target was written; on false no partial target is left and one line is logged.
    bool processPDF(const QString& source, const QString& target, const QString& password,
                    qint64 totalPages);

    // Writes the frames of the TIFF or picture at `source` that lie in startPage ... endPage as
    // one multi-page TIFF at `target` with TIFF "Compression" code `compression`, stamping the
    // frames pageRange selects. Same-file, backup and failure rules as processPDF. False when
    // nothing was written.
    bool processTIFF(const QString& source, const QString& target, qint64 totalPages,
                     qint32 compression);
    // Why the last processPDF or processTIFF on this job returned false ("" after a success).
    QString failureReason() const { return m_failureReason; }
    // What a successful processTIFF had to leave out: the frames of a cut or damaged file that
    // could not be read ("frame 5 of 5 could not be read"); "" when nothing was.
    QString omissionNote() const { return m_omissionNote; }

    // Draws the switched-on stamps on one image (frame units are pixels) with numberCounter as
    // "{0}" and `pages` as "{1}"; highlights the stamp at `highlightIndex` (-1: none); with
    // `isPreview`, shades the margins and outlines the margin rectangle first. `pageNumber` is
    // not used. Text stamps take the job's dateTaken.
    void drawOnImage(QImage& image, qint64 pageNumber, qint64 pages, qint32 highlightIndex,
                     bool isPreview);

    // drawOnImage with an explicit running number and, when `anchors` is given, the anchor of
    // each switched-on stamp in list order instead of asking the stamps (which advances their
    // mirror state). With `anchors`, nothing of the job or its stamps is written, so several
    // threads may draw at once.
    void drawStamps(QImage& image, qint64 number, qint64 pages, qint32 highlightIndex,
                    bool isPreview, const std::vector<qint32>* anchors);

    // The sample page: `size` points of paper washed grey outside the margins, with a dashed
    // margin outline and every switched-on stamp at its own anchor, numbered startNumber of
    // `totalPages`; the stamp at `highlightStampIndex` (-1: none) highlighted. The image has
    // `scale` pixels per point (a screen's device pixel ratio, so the page is drawn sharp).
    QImage preview2(qint64 totalPages, const QSizeF& size, qint32 highlightStampIndex,
                    double scale = 1.0);

    // The live preview of page `pageIndex` (1-based) of the file at `filePath`, index
    // `fileIndex` in a list whose page counts are `filePagesList`: the page as rasterised,
    // stamped with the number a run over the whole list would give it (`totalPages` for "{1}",
    // 0 meaning the file's own count), with the preview marks. Falls back to preview2 at `size`
    // when the page cannot be shown.
    QImage previewLive(const QString& filePath, qint64 fileIndex, qint64 pageIndex,
                       const QList<qint64>& filePagesList, qint64 totalPages, const QSizeF& size,
                       qint32 highlightStampIndex);

private:
    int writeFrames(ImageFrames& frames, TiffWriter& writer, qint64 pagesValue, qint32 compression);
    // Notes that the frames from `firstUnread` (1-based) on could not be read, or throws when
    // that leaves nothing: frame 1 must decode.
    void omitFramesFrom(qint64 firstUnread, qint64 count, const QString& error);
    int writeFramesInParallel(const QString& source, ImageFrames& frames, TiffWriter& writer,
                              qint64 pagesValue, qint32 compression);
    void trackedChange();
    void applyStamps(const QVariantMap& data);

    QString m_dateTaken;
    QString m_pdfOpenPassword;
    QString m_failureReason;
    QString m_omissionNote;
    StampList m_stamps;
    QString m_outputFolder;
    QString m_labelPrefix;
    NumberingDelegate* m_delegate = nullptr;
    qint64 m_endPage = 0;
    bool m_hasLabel = false;
    bool m_isBackupFile = false;
    bool m_keepsEncryption = false;
    bool m_isContinuousNumbering = false;
    bool m_isMarginInPercentage = false;
    bool m_isSymmetryPage = false;
    double m_marginLeft = 0.0;
    double m_marginTop = 0.0;
    double m_marginRight = 0.0;
    double m_marginBottom = 0.0;
    qint32 m_marginUnit = Points;
    qint64 m_numberSteps = 1;
    qint32 m_pageRange = AllPages;
    qint64 m_startNumber = 1;
    qint64 m_startPage = 1;
    bool m_isHighlightStamp = true;
    bool m_isLivePreview = false;
    std::shared_future<QList<PDFFont>> m_fonts;
    std::atomic<bool> m_isUpdating{false};
    qint64 m_numberCounter = 0;
    bool m_isSettingsChanged = false;
};

} // namespace veltrane
