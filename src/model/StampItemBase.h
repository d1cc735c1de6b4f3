#pragma once

#include "model/IStampItem.h"
#include "model/StampEditor.h"

namespace veltrane {

// The fields and operations that text and image stamps share: switch, label, anchor, layer,
// mirroring with its state, and the editor link.
class StampItemBase : public IStampItem
{
public:
    ~StampItemBase() override;

    void setIsSelected(bool on) override { m_isSelected = on; }
    bool isSelected() const override { return m_isSelected; }
    void setLabel(const QString& label) override { m_label = label; }
    QString label() const override { return m_label; }
    void setMarginAnchor(qint32 anchor) override { m_marginAnchor = anchor; }
    qint32 marginAnchor() const override { return m_marginAnchor; }
    void setIsDrawUnderPDFContent(bool under) override { m_isDrawUnderPDFContent = under; }
    bool isDrawUnderPDFContent() const override { return m_isDrawUnderPDFContent; }
    void setIsSymmetry(bool mirror) override { m_isSymmetry = mirror; }
    bool isSymmetry() const override { return m_isSymmetry; }

    void removehandlers() override;
    void edit(Numbering* number) override;
    qint32 getNextMarginAnchor(bool mirror, qint32 anchor) override;
    void reset() override;

    // The mirror state: the anchor of the previous stamped page, 0 after reset().
    qint32 lastMarginAnchor() const { return m_lastMarginAnchor; }
    void setLastMarginAnchor(qint32 anchor) { m_lastMarginAnchor = anchor; }
    // The open editor, or none.
    IStampEditor* editor() const { return m_editor.get(); }

protected:
    StampItemBase() = default;
    // Copies the stored fields and mirror state, never the editor.
    StampItemBase(const StampItemBase& other);
    StampItemBase& operator=(const StampItemBase&) = delete;

    // "TextStamp" or "ImageStamp", as written in failure lines.
    virtual QString className() const = 0;

    // The five shared keys of a stamp dictionary.
    void writeCommonData(QVariantMap& data) const;
    void readCommonData(const QVariantMap& data);

private:
    bool m_isSelected = true;
    QString m_label;
    qint32 m_marginAnchor = NoAnchor;
    bool m_isDrawUnderPDFContent = false;
    bool m_isSymmetry = false;
    qint32 m_lastMarginAnchor = 0;
    std::unique_ptr<IStampEditor> m_editor;
};

} // namespace veltrane
