#pragma once

#include "app/StampEditorWindow.h"
#include "model/TextStamp.h"

#include <functional>
#include <memory>

namespace Ui {
class TextStamp;
}

namespace veltrane {

// Faces a font family has ("Bold", "Bold Italic", ...); replaceable for tests.
using FontFacesLookup = std::function<QStringList(const QString& family)>;
void setFontFacesLookup(FontFacesLookup lookup);

// The editor of one text stamp: its text and number type, zero fill, font, faces, colours,
// opacities, outline, rotation and placement. Every change reaches the stamp at once.
class TextStampWindow : public StampEditorWindow
{
    Q_OBJECT
public:
    explicit TextStampWindow(StampListOwner* owner, QWidget* parent = nullptr);
    ~TextStampWindow() override;

    void fontChanged(int index);
    void updateFontTraitsStatus();
    void textColorChanged(const QColor& color);
    void outlineColorChanged(const QColor& color);
    // A number type was chosen: the photo date type starts from the pattern "d MMM yy".
    void titleFieldChanged();

protected:
    void showStamp() override;
    void updateTitle() override;

private:
    TextStamp* textStamp() const;
    void fillFonts();
    // The font pop-up's item for a stamp's font name; -1 when none draws it.
    int fontItemIndex(const QString& fontName) const;
    void chooseColor(bool outline);

    std::unique_ptr<Ui::TextStamp> m_ui;
};

} // namespace veltrane
