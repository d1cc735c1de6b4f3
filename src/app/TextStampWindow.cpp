#include "app/TextStampWindow.h"

#include "app/Formatters.h"
#include "platform/FontResolver.h"
#include "ui_TextStamp.h"

#include <QColorDialog>
#include <QFontDatabase>

namespace veltrane {
namespace {

FontFacesLookup& facesLookup()
{
    // A name such as Helvetica is drawn by its installed substitute: that family's faces count.
    // Qt lists a family that several foundries install as "Family [Foundry]".
    static FontFacesLookup lookup = [](const QString& family) {
        const QString installed = resolveFontFamily(family).value_or(QString());
        if (installed.isEmpty()) {
            return QStringList();
        }
        QStringList faces = QFontDatabase::styles(installed);
        for (const QString& listed : QFontDatabase::families()) {
            if (faces.isEmpty() && listed.startsWith(installed + QLatin1String(" ["))) {
                faces = QFontDatabase::styles(listed);
            }
        }
        return faces;
    };
    return lookup;
}

QString percentText(qint64 value)
{
    return QStringLiteral("%1%").arg(value);
}

} // namespace

void setFontFacesLookup(FontFacesLookup lookup)
{
    facesLookup() = std::move(lookup);
}

TextStampWindow::TextStampWindow(StampListOwner* owner, QWidget* parent)
    : StampEditorWindow(owner, parent), m_ui(std::make_unique<Ui::TextStamp>())
{
    m_ui->setupUi(this);
    auto* padding = new CustomTextFieldFormatter(m_ui->paddingCharacterTextField);
    padding->setMaximumLength(1);
    m_ui->paddingCharacterTextField->setValidator(padding);
    bindShared(m_ui->addStampButton, m_ui->deleteStampButton, m_ui->anchorPicker,
               m_ui->isSelectedCheckbox, m_ui->underContentCheckbox, m_ui->symmetryCheckbox);

    // Each control writes its property and asks for the redraw.
    const auto edit = [this](auto&& change) {
        if (TextStamp* stamp = textStamp(); stamp && !isLoading()) {
            change(*stamp);
            settingsChanged();
        }
    };
    connect(m_ui->numberFormatField, &QLineEdit::textEdited, this,
            [edit](const QString& text) { edit([&](TextStamp& s) { s.setNumberFormat(text); }); });
    connect(m_ui->numberTypePopup, &QComboBox::activated, this, [this, edit](int index) {
        edit([&](TextStamp& s) { s.setNumberType(index); });
        titleFieldChanged();
    });
    connect(
        m_ui->paddingCharacterTextField, &QLineEdit::textEdited, this,
        [edit](const QString& text) { edit([&](TextStamp& s) { s.setPaddingCharacter(text); }); });
    connect(m_ui->paddingLengthField, &QSpinBox::valueChanged, this,
            [edit](int value) { edit([&](TextStamp& s) { s.setPaddingLength(value); }); });
    connect(m_ui->fontsPopup, &QComboBox::activated, this, &TextStampWindow::fontChanged);
    connect(m_ui->fontSizeField, &QDoubleSpinBox::valueChanged, this,
            [edit](double size) { edit([&](TextStamp& s) { s.font().setFontSize(size); }); });
    connect(m_ui->boldFontCheckbox, &QCheckBox::toggled, this,
            [edit](bool on) { edit([&](TextStamp& s) { s.setIsBold(on); }); });
    connect(m_ui->italicFontCheckbox, &QCheckBox::toggled, this,
            [edit](bool on) { edit([&](TextStamp& s) { s.setIsItalic(on); }); });
    connect(m_ui->underlineCheckbox, &QCheckBox::toggled, this, [this, edit](bool on) {
        edit([&](TextStamp& s) { s.setIsUnderline(on); });
        m_ui->underlineStylePopup->setEnabled(on);
    });
    connect(m_ui->underlineStylePopup, &QComboBox::activated, this,
            [edit](int index) { edit([&](TextStamp& s) { s.setUnderlineStyle(index); }); });
    connect(m_ui->embedFontCheckbox, &QCheckBox::toggled, this,
            [edit](bool on) { edit([&](TextStamp& s) { s.setIsEmbedFont(on); }); });
    connect(m_ui->textOpacitySlider, &QSlider::valueChanged, this, [this, edit](int value) {
        edit([&](TextStamp& s) { s.setTextOpacity(value); });
        m_ui->textOpacityLabel->setText(percentText(value));
    });
    connect(m_ui->outlineOpacitySlider, &QSlider::valueChanged, this, [this, edit](int value) {
        edit([&](TextStamp& s) { s.setOutlineOpacity(value); });
        m_ui->outlineOpacityLabel->setText(percentText(value));
    });
    connect(m_ui->outlineWidthField, &QSpinBox::valueChanged, this,
            [edit](int value) { edit([&](TextStamp& s) { s.setOutlineWidth(value); }); });
    connect(m_ui->textRotationField, &QDoubleSpinBox::valueChanged, this,
            [edit](double value) { edit([&](TextStamp& s) { s.setTextRotation(value); }); });
    connect(m_ui->textColorButton, &QPushButton::clicked, this, [this] { chooseColor(false); });
    connect(m_ui->outlineColorButton, &QPushButton::clicked, this, [this] { chooseColor(true); });
}

TextStampWindow::~TextStampWindow() = default;

TextStamp* TextStampWindow::textStamp() const
{
    IStampItem* item = stamp();
    return item && item->kind() == StampKind::Text ? static_cast<TextStamp*>(item) : nullptr;
}

void TextStampWindow::fillFonts()
{
    m_ui->fontsPopup->clear();
    if (!number()) {
        return;
    }
    for (const PDFFont& font : number()->fonts()) {
        if (font.fontName() == QLatin1String("-")) {
            m_ui->fontsPopup->insertSeparator(m_ui->fontsPopup->count());
        } else {
            m_ui->fontsPopup->addItem(font.fontName());
        }
    }
}

void TextStampWindow::showStamp()
{
    const TextStamp* stamp = textStamp();
    if (!stamp) {
        return;
    }
    setLoading(true);
    if (m_ui->fontsPopup->count() == 0) {
        fillFonts();
    }
    m_ui->numberFormatField->setText(stamp->numberFormat());
    m_ui->numberTypePopup->setCurrentIndex(
        stamp->numberType() >= 0 && stamp->numberType() <= 4 ? stamp->numberType() : 0);
    m_ui->paddingCharacterTextField->setText(stamp->paddingCharacter());
    m_ui->paddingLengthField->setValue(int(std::clamp<qint64>(stamp->paddingLength(), 0, 4096)));
    m_ui->fontsPopup->setCurrentIndex(fontItemIndex(stamp->font().fontName()));
    m_ui->fontSizeField->setValue(stamp->font().fontSize());
    m_ui->boldFontCheckbox->setChecked(stamp->isBold());
    m_ui->italicFontCheckbox->setChecked(stamp->isItalic());
    m_ui->underlineCheckbox->setChecked(stamp->isUnderline());
    m_ui->underlineStylePopup->setCurrentIndex(
        stamp->underlineStyle() >= 0 && stamp->underlineStyle() <= 2 ? stamp->underlineStyle() : 0);
    m_ui->underlineStylePopup->setEnabled(stamp->isUnderline());
    m_ui->embedFontCheckbox->setChecked(stamp->isEmbedFont());
    m_ui->textOpacitySlider->setValue(int(stamp->textOpacity()));
    m_ui->textOpacityLabel->setText(percentText(stamp->textOpacity()));
    m_ui->outlineOpacitySlider->setValue(int(stamp->outlineOpacity()));
    m_ui->outlineOpacityLabel->setText(percentText(stamp->outlineOpacity()));
    m_ui->outlineWidthField->setValue(int(std::clamp<qint64>(stamp->outlineWidth(), 0, 100)));
    m_ui->textRotationField->setValue(stamp->textRotation());
    m_ui->textColorButton->setBackgroundColor(stamp->font().fontColor());
    m_ui->outlineColorButton->setBackgroundColor(stamp->outlineColor());
    setLoading(false);
    updateFontTraitsStatus();
}

int TextStampWindow::fontItemIndex(const QString& fontName) const
{
    const int exact = m_ui->fontsPopup->findText(fontName);
    if (exact >= 0) {
        return exact;
    }
    // A name such as Helvetica is shown as the installed family that draws it; a family that
    // several foundries install is listed as "Family [Foundry]".
    const QString installed = resolveFontFamily(fontName).value_or(QString());
    if (installed.isEmpty()) {
        return -1;
    }
    for (int i = 0; i < m_ui->fontsPopup->count(); ++i) {
        const QString item = m_ui->fontsPopup->itemText(i);
        if (item == installed || item.startsWith(installed + QLatin1String(" ["))) {
            return i;
        }
    }
    return -1;
}

void TextStampWindow::updateTitle()
{
    if (const TextStamp* stamp = textStamp()) {
        setWindowTitle(tr("Text Stamp Properties [ %1 ]").arg(stamp->description()));
    }
}

void TextStampWindow::fontChanged(int index)
{
    TextStamp* stamp = textStamp();
    if (!stamp || !number() || index < 0 || index >= number()->fonts().size()) {
        return;
    }
    const PDFFont& chosen = number()->fonts()[index];
    number()->beginUpdate();
    stamp->font().setFontID(chosen.fontID());
    stamp->font().setFontName(chosen.fontName());
    stamp->font().setIsStandard(chosen.isStandard());
    updateTitle();
    number()->endUpdate(true);
    updateFontTraitsStatus();
}

void TextStampWindow::updateFontTraitsStatus()
{
    const TextStamp* stamp = textStamp();
    bool bold = false;
    bool italic = false;
    if (stamp) {
        for (const QString& face : facesLookup()(stamp->font().fontName())) {
            if (face.isEmpty()) {
                continue;
            }
            bold = bold || face.toUpper().contains(QLatin1String("BOLD"));
            italic = italic || face.toUpper().contains(QLatin1String("ITALIC"));
        }
    }
    m_ui->boldFontCheckbox->setEnabled(bold);
    m_ui->italicFontCheckbox->setEnabled(italic);
}

void TextStampWindow::chooseColor(bool outline)
{
    TextStamp* stamp = textStamp();
    if (!stamp) {
        return;
    }
    auto* dialog =
        new QColorDialog(outline ? stamp->outlineColor() : stamp->font().fontColor(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QColorDialog::ShowAlphaChannel, false);
    dialog->setObjectName(outline ? QStringLiteral("outlineColorPanel")
                                  : QStringLiteral("textColorPanel"));
    dialog->setWindowTitle(outline ? tr("Outline Colour") : tr("Text Colour"));
    connect(dialog, &QColorDialog::currentColorChanged, this,
            outline ? &TextStampWindow::outlineColorChanged : &TextStampWindow::textColorChanged);
    dialog->open();
}

void TextStampWindow::textColorChanged(const QColor& color)
{
    if (TextStamp* stamp = textStamp(); stamp && color.isValid()) {
        stamp->font().setFontColor(color.toRgb());
        m_ui->textColorButton->setBackgroundColor(color);
        settingsChanged();
    }
}

void TextStampWindow::outlineColorChanged(const QColor& color)
{
    if (TextStamp* stamp = textStamp(); stamp && color.isValid()) {
        stamp->setOutlineColor(color.toRgb());
        m_ui->outlineColorButton->setBackgroundColor(color);
        settingsChanged();
    }
}

void TextStampWindow::titleFieldChanged()
{
    TextStamp* stamp = textStamp();
    if (stamp && stamp->numberType() == PhotoDateTime) {
        stamp->setNumberFormat(QStringLiteral("d MMM yy"));
        m_ui->numberFormatField->setText(stamp->numberFormat());
        settingsChanged();
    }
}

} // namespace veltrane
