#pragma once

#include "model/IStampItem.h"
#include "model/Numbering.h"
#include "model/StampEditor.h"

#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QCheckBox;

namespace veltrane {

class AnchorPicker;

// Who takes a stamp into the job or out of it: the main window's controller.
class StampListOwner
{
public:
    virtual ~StampListOwner() = default;
    virtual void addStamp(IStampItem* stamp) = 0;
    virtual void removeStamp(IStampItem* stamp) = 0;
};

// What the text and image stamp editors share: the stamp and the job they edit, the add and
// delete buttons, the anchor picker and the placement switches, and the redraw after a change.
// A window of its own, not modal. Main thread.
class StampEditorWindow : public QWidget
{
    Q_OBJECT
public:
    StampEditorWindow(StampListOwner* owner, QWidget* parent = nullptr);

    void setNumber(Numbering* number) { m_number = number; }
    Numbering* number() const { return m_number; }
    void setStamp(IStampItem* stamp);
    IStampItem* stamp() const { return m_stamp; }
    // Enables add when the stamp is not in the job yet, delete when it is.
    void reset();
    // The stamp is going away: nothing here touches it or the job again.
    void invalidate();

    void addStampAction();
    void deleteStampAction();
    void marginAnchorChanged(qint32 anchor);
    // Unset anchors become the middle of the page.
    void setMarginAnchor();

protected:
    // Wires the shared controls; the subclass calls it once its form is set up.
    void bindShared(QAbstractButton* addButton, QAbstractButton* deleteButton,
                    AnchorPicker* anchors, QCheckBox* isSelected, QCheckBox* underContent,
                    QCheckBox* symmetry);
    // A stamp property changed: the title and the preview follow.
    void settingsChanged();
    // Loads every control from the stamp.
    virtual void showStamp() = 0;
    virtual void updateTitle() = 0;
    bool isLoading() const { return m_loading; }
    void setLoading(bool loading) { m_loading = loading; }

private:
    StampListOwner* m_owner;
    Numbering* m_number = nullptr;
    IStampItem* m_stamp = nullptr;
    QAbstractButton* m_addButton = nullptr;
    QAbstractButton* m_deleteButton = nullptr;
    AnchorPicker* m_anchors = nullptr;
    QCheckBox* m_isSelected = nullptr;
    QCheckBox* m_underContent = nullptr;
    QCheckBox* m_symmetry = nullptr;
    bool m_loading = false;
};

// The stamp's link to its editor window. The window is deleted later, never inside its own
// button's handler (delete closes the window from there).
class StampEditorLink : public IStampEditor
{
public:
    explicit StampEditorLink(StampEditorWindow* window) : m_window(window) {}
    ~StampEditorLink() override;
    void setNumber(Numbering* number) override;
    void setStamp(IStampItem* stamp) override;
    void bringToFront() override;
    void reset() override;
    void invalidate() override;
    void close() override;
    StampEditorWindow* window() const { return m_window; }

private:
    QPointer<StampEditorWindow> m_window;
};

// Makes the editor windows for the stamps' edit().
class StampEditorFactory : public IStampEditorFactory
{
public:
    explicit StampEditorFactory(StampListOwner* owner) : m_owner(owner) {}
    std::unique_ptr<IStampEditor> createEditor(StampKind kind) override;

private:
    StampListOwner* m_owner;
};

} // namespace veltrane
