#pragma once

#include "app/StampEditorWindow.h"
#include "model/ImageStamp.h"

#include <memory>

namespace Ui {
class ImageStamp;
}

namespace veltrane {

// The editor of one image stamp: the picture, its size with the aspect lock, opacity, rotation
// and placement. Every change reaches the stamp at once.
class ImageStampWindow : public StampEditorWindow
{
    Q_OBJECT
public:
    explicit ImageStampWindow(StampListOwner* owner, QWidget* parent = nullptr);
    ~ImageStampWindow() override;

    bool isAspectRatio() const { return m_isAspectRatio; }
    void setIsAspectRatio(bool on);

    void changeImageAction();
    // Takes the picture at `path`; an unreadable file gives the alert and changes nothing.
    void openPanelDidEnd(const QString& path);
    void removeImageAction();
    // A size field's text changed: with the lock on, the other side follows.
    void controlTextDidChange(bool widthField, const QString& text);

protected:
    void showStamp() override;
    void updateTitle() override;

private:
    ImageStamp* imageStamp() const;
    void showPicture();

    std::unique_ptr<Ui::ImageStamp> m_ui;
    bool m_isAspectRatio = true;
    QSize m_shownSize;
};

} // namespace veltrane
