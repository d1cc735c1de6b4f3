#include "app/StampEditorWindow.h"

#include "app/AnchorPicker.h"
#include "app/ImageStampWindow.h"
#include "app/TextStampWindow.h"

#include <algorithm>
#include <QAbstractButton>
#include <QCheckBox>

namespace veltrane {

StampEditorWindow::StampEditorWindow(StampListOwner* owner, QWidget* parent)
    : QWidget(parent, Qt::Window), m_owner(owner)
{
    // An open editor does not keep the program running once the main window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);
}

void StampEditorWindow::setStamp(IStampItem* stamp)
{
    m_stamp = stamp;
    if (m_stamp) {
        setMarginAnchor();
        showStamp();
        updateTitle();
    }
}

void StampEditorWindow::bindShared(QAbstractButton* addButton, QAbstractButton* deleteButton,
                                   AnchorPicker* anchors, QCheckBox* isSelected,
                                   QCheckBox* underContent, QCheckBox* symmetry)
{
    m_addButton = addButton;
    m_deleteButton = deleteButton;
    m_anchors = anchors;
    m_isSelected = isSelected;
    m_underContent = underContent;
    m_symmetry = symmetry;
    connect(addButton, &QAbstractButton::clicked, this, &StampEditorWindow::addStampAction);
    connect(deleteButton, &QAbstractButton::clicked, this, &StampEditorWindow::deleteStampAction);
    connect(anchors, &AnchorPicker::anchorChosen, this, &StampEditorWindow::marginAnchorChanged);
    const auto bindSwitch = [this](QCheckBox* box, void (IStampItem::*setter)(bool)) {
        connect(box, &QCheckBox::toggled, this, [this, setter](bool on) {
            if (m_stamp && !m_loading) {
                (m_stamp->*setter)(on);
                settingsChanged();
            }
        });
    };
    bindSwitch(isSelected, &IStampItem::setIsSelected);
    bindSwitch(underContent, &IStampItem::setIsDrawUnderPDFContent);
    bindSwitch(symmetry, &IStampItem::setIsSymmetry);
}

void StampEditorWindow::reset()
{
    m_addButton->setEnabled(false);
    m_deleteButton->setEnabled(false);
    if (m_number && m_stamp) {
        const auto& stamps = m_number->stamps();
        const bool inJob = std::any_of(stamps.begin(), stamps.end(),
                                       [this](const auto& item) { return item.get() == m_stamp; });
        m_addButton->setEnabled(!inJob);
        m_deleteButton->setEnabled(inJob);
    }
    if (m_stamp) {
        m_loading = true;
        m_isSelected->setChecked(m_stamp->isSelected());
        m_underContent->setChecked(m_stamp->isDrawUnderPDFContent());
        m_symmetry->setChecked(m_stamp->isSymmetry());
        m_anchors->setAnchor(m_stamp->marginAnchor());
        m_loading = false;
        showStamp();
        updateTitle();
    }
}

void StampEditorWindow::invalidate()
{
    m_stamp = nullptr;
    m_number = nullptr;
    setEnabled(false);
}

void StampEditorWindow::addStampAction()
{
    if (!m_number || !m_stamp) {
        return;
    }
    const auto& stamps = m_number->stamps();
    if (std::any_of(stamps.begin(), stamps.end(),
                    [this](const auto& item) { return item.get() == m_stamp; })) {
        return;
    }
    hide();
    m_owner->addStamp(m_stamp);
}

void StampEditorWindow::deleteStampAction()
{
    hide();
    if (!m_number || !m_stamp) {
        return;
    }
    const auto& stamps = m_number->stamps();
    if (std::any_of(stamps.begin(), stamps.end(),
                    [this](const auto& item) { return item.get() == m_stamp; })) {
        // Removing the stamp closes this editor: nothing of it may be used after this call.
        m_owner->removeStamp(m_stamp);
    }
}

void StampEditorWindow::marginAnchorChanged(qint32 anchor)
{
    if (!m_stamp) {
        return;
    }
    m_stamp->setMarginAnchor(anchor);
    m_anchors->setAnchor(anchor);
    settingsChanged();
}

void StampEditorWindow::setMarginAnchor()
{
    if (!m_stamp) {
        return;
    }
    if (m_stamp->marginAnchor() == NoAnchor) {
        m_stamp->setMarginAnchor(MiddleMiddle);
    }
    if (m_anchors) {
        m_anchors->setAnchor(m_stamp->marginAnchor());
    }
}

void StampEditorWindow::settingsChanged()
{
    if (m_loading || !m_stamp) {
        return;
    }
    updateTitle();
    if (m_number) {
        m_number->endUpdate(true);
    }
}

StampEditorLink::~StampEditorLink()
{
    if (m_window) {
        m_window->hide();
        m_window->deleteLater();
    }
}

void StampEditorLink::setNumber(Numbering* number)
{
    if (m_window) {
        m_window->setNumber(number);
    }
}

void StampEditorLink::setStamp(IStampItem* stamp)
{
    if (m_window) {
        m_window->setStamp(stamp);
    }
}

void StampEditorLink::bringToFront()
{
    if (m_window) {
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
    }
}

void StampEditorLink::reset()
{
    if (m_window) {
        m_window->reset();
    }
}

void StampEditorLink::invalidate()
{
    if (m_window) {
        m_window->invalidate();
    }
}

void StampEditorLink::close()
{
    if (m_window) {
        m_window->hide();
    }
}

std::unique_ptr<IStampEditor> StampEditorFactory::createEditor(StampKind kind)
{
    StampEditorWindow* window = nullptr;
    if (kind == StampKind::Text) {
        window = new TextStampWindow(m_owner);
    } else {
        window = new ImageStampWindow(m_owner);
    }
    return std::make_unique<StampEditorLink>(window);
}

} // namespace veltrane
