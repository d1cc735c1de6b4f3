#include "model/StampItemBase.h"

#include "model/DictionaryValues.h"
#include "platform/SystemLog.h"

namespace veltrane {

StampItemBase::StampItemBase(const StampItemBase& other)
    : IStampItem(), m_isSelected(other.m_isSelected), m_label(other.m_label),
      m_marginAnchor(other.m_marginAnchor), m_isDrawUnderPDFContent(other.m_isDrawUnderPDFContent),
      m_isSymmetry(other.m_isSymmetry), m_lastMarginAnchor(other.m_lastMarginAnchor)
{}

StampItemBase::~StampItemBase() = default;

void StampItemBase::removehandlers()
{
    guarded(QStringLiteral("Error in (") + className() + QStringLiteral("=>removehandlers:) : %@"),
            [this] {
                if (!m_editor) {
                    return;
                }
                std::unique_ptr<IStampEditor> editor = std::move(m_editor);
                editor->invalidate();
                editor->close();
            });
}

void StampItemBase::edit(Numbering* number)
{
    guarded(QStringLiteral("Error in edit : %@"), [this, number] {
        if (!m_editor) {
            IStampEditorFactory* factory = stampEditorFactory();
            if (!factory) {
                return;
            }
            m_editor = factory->createEditor(kind());
            if (!m_editor) {
                return;
            }
            m_editor->setNumber(number);
            m_editor->setStamp(this);
        }
        m_editor->bringToFront();
        m_editor->reset();
    });
}

void StampItemBase::writeCommonData(QVariantMap& data) const
{
    data.insert(QStringLiteral("isSelected"), m_isSelected);
    data.insert(QStringLiteral("label"), m_label);
    data.insert(QStringLiteral("marginAnchor"), storedInteger(m_marginAnchor));
    data.insert(QStringLiteral("isDrawUnderPDFContent"), m_isDrawUnderPDFContent);
    data.insert(QStringLiteral("isSymmetry"), m_isSymmetry);
}

void StampItemBase::readCommonData(const QVariantMap& data)
{
    m_isSelected = readBoolean(data, QStringLiteral("isSelected"));
    m_label = readString(data, QStringLiteral("label"));
    m_marginAnchor = qint32(readInteger(data, QStringLiteral("marginAnchor")));
    m_isDrawUnderPDFContent = readBoolean(data, QStringLiteral("isDrawUnderPDFContent"));
    m_isSymmetry = readBoolean(data, QStringLiteral("isSymmetry"));
}

} // namespace veltrane
