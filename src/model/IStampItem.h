#pragma once

#include "model/StampTypes.h"

#include <memory>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class QPainter;
class QRectF;

namespace veltrane {

class Numbering;

// What every stamp offers the job, the run and the preview. Stamps are read by the run's
// worker and by the main thread; a run works on its own clone() of the job's stamps.
class IStampItem
{
public:
    virtual ~IStampItem() = default;

    virtual StampKind kind() const = 0;
    // A deep copy with the same stored fields, mirror state and picture, without an editor.
    virtual std::unique_ptr<IStampItem> clone() const = 0;

    virtual void setIsSelected(bool on) = 0;
    virtual bool isSelected() const = 0;
    virtual void setLabel(const QString& label) = 0;
    virtual QString label() const = 0;
    virtual void setMarginAnchor(qint32 anchor) = 0;
    virtual qint32 marginAnchor() const = 0;
    virtual void setIsDrawUnderPDFContent(bool under) = 0;
    virtual bool isDrawUnderPDFContent() const = 0;
    virtual void setIsSymmetry(bool mirror) = 0;
    virtual bool isSymmetry() const = 0;

    // Closes and drops the stamp's property editor, if one is open.
    virtual void removehandlers() = 0;
    // Replaces the stored fields from a stamp dictionary; anything but a dictionary changes none.
    virtual void setData(const QVariant& data) = 0;
    virtual QVariantMap getData() const = 0;
    // The anchor to use on the stamped page now being drawn; advances the mirror state.
    virtual qint32 getNextMarginAnchor(bool mirror, qint32 anchor) = 0;
    // Opens (or brings forward) the stamp's property editor on `number`.
    virtual void edit(Numbering* number) = 0;
    // Clears the mirror state.
    virtual void reset() = 0;

    // Draws the stamp on one page. `context`'s frame has its origin at the page's top-left
    // corner, y downward, in points (pixels on images). `rect` is the margin rectangle the stamp
    // is placed in; the position found there is added to `offsetRect`'s origin (callers pass
    // the margin rectangle twice). `marginAnchor` is this page's anchor, already mirrored;
    // `pageNumber` and `totalPages` are the values "{0}" and "{1}" print. The painter's state is
    // left as it was. A failure is logged and draws nothing more of this stamp.
    virtual void draw(QPainter& context, const QRectF& rect, const QRectF& offsetRect,
                      qint32 marginAnchor, qint64 pageNumber, qint64 totalPages,
                      bool isHighLightStamp) = 0;

    // The text of the stamps table, e.g. "Numbers [{0} of {1}]" or "Image [Logo]".
    virtual QString description() const = 0;
};

} // namespace veltrane
