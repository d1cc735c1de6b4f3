#include "app/ImageStampWindow.h"

#include "app/AlertPanels.h"
#include "app/FilePanels.h"
#include "app/Formatters.h"
#include "platform/AppPaths.h"
#include "platform/ImageReaderLimit.h"
#include "ui_ImageStamp.h"

#include <QFileInfo>
#include <QImageReader>

namespace veltrane {

ImageStampWindow::ImageStampWindow(StampListOwner* owner, QWidget* parent)
    : StampEditorWindow(owner, parent), m_ui(std::make_unique<Ui::ImageStamp>())
{
    m_ui->setupUi(this);
    for (QLineEdit* field : {static_cast<QLineEdit*>(m_ui->stampImageWidthTextField),
                             static_cast<QLineEdit*>(m_ui->stampImageHeightTextField)}) {
        field->setValidator(new CustomNumberFormatterInteger(field));
    }
    bindShared(m_ui->addStampButton, m_ui->deleteStampButton, m_ui->anchorPicker,
               m_ui->isSelectedCheckbox, m_ui->underContentCheckbox, m_ui->symmetryCheckbox);
    const auto edit = [this](auto&& change) {
        if (ImageStamp* stamp = imageStamp(); stamp && !isLoading()) {
            change(*stamp);
            settingsChanged();
        }
    };
    connect(m_ui->labelField, &QLineEdit::textEdited, this,
            [edit](const QString& text) { edit([&](ImageStamp& s) { s.setLabel(text); }); });
    connect(m_ui->stampImageWidthTextField, &QLineEdit::textEdited, this,
            [this](const QString& text) { controlTextDidChange(true, text); });
    connect(m_ui->stampImageHeightTextField, &QLineEdit::textEdited, this,
            [this](const QString& text) { controlTextDidChange(false, text); });
    connect(m_ui->aspectRatioCheckbox, &QCheckBox::toggled, this,
            [this](bool on) { m_isAspectRatio = on; });
    connect(m_ui->imageOpacitySlider, &QSlider::valueChanged, this, [this, edit](int value) {
        edit([&](ImageStamp& s) { s.setStampImageOpacity(value); });
        m_ui->imageOpacityLabel->setText(QStringLiteral("%1%").arg(value));
    });
    connect(m_ui->imageRotationField, &QSpinBox::valueChanged, this,
            [edit](int value) { edit([&](ImageStamp& s) { s.setStampImageRotation(value); }); });
    connect(m_ui->changeImageButton, &QPushButton::clicked, this,
            &ImageStampWindow::changeImageAction);
    connect(m_ui->clearButton, &QPushButton::clicked, this, &ImageStampWindow::removeImageAction);
    m_ui->aspectRatioCheckbox->setChecked(true);
}

ImageStampWindow::~ImageStampWindow() = default;

ImageStamp* ImageStampWindow::imageStamp() const
{
    IStampItem* item = stamp();
    return item && item->kind() == StampKind::Image ? static_cast<ImageStamp*>(item) : nullptr;
}

void ImageStampWindow::setIsAspectRatio(bool on)
{
    m_isAspectRatio = on;
    m_ui->aspectRatioCheckbox->setChecked(on);
}

void ImageStampWindow::showStamp()
{
    const ImageStamp* stamp = imageStamp();
    if (!stamp) {
        return;
    }
    setLoading(true);
    m_ui->labelField->setText(stamp->label());
    m_ui->stampImageWidthTextField->setText(QString::number(stamp->stampImageWidth()));
    m_ui->stampImageHeightTextField->setText(QString::number(stamp->stampImageHeight()));
    m_ui->imageOpacitySlider->setValue(int(stamp->stampImageOpacity()));
    m_ui->imageOpacityLabel->setText(QStringLiteral("%1%").arg(stamp->stampImageOpacity()));
    m_ui->imageRotationField->setValue(
        int(std::clamp<qint64>(stamp->stampImageRotation(), -360, 360)));
    setLoading(false);
    showPicture();
}

void ImageStampWindow::showPicture()
{
    const ImageStamp* stamp = imageStamp();
    const QImage picture = stamp && !stamp->stampImage().isEmpty()
                               ? ImageStamp::decodePicture(stamp->stampImage())
                               : QImage();
    m_shownSize = picture.size();
    if (picture.isNull()) {
        m_ui->stampImageView->clear();
        m_ui->stampImageView->setText(tr("No picture"));
    } else {
        const QSize room = m_ui->stampImageView->minimumSize();
        const qreal ratio = devicePixelRatioF();
        QPixmap pixmap = QPixmap::fromImage(
            picture.scaled(room * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(ratio);
        m_ui->stampImageView->setPixmap(pixmap);
    }
    m_ui->clearButton->setEnabled(!picture.isNull());
}

void ImageStampWindow::updateTitle()
{
    const ImageStamp* stamp = imageStamp();
    if (!stamp) {
        return;
    }
    QString name = stamp->label();
    if (name.isEmpty() && !stamp->stampImagePath().isEmpty()) {
        name = QFileInfo(stamp->stampImagePath()).completeBaseName();
    }
    setWindowTitle(tr("Image Stamp Properties [%1]").arg(name));
}

void ImageStampWindow::changeImageAction()
{
    openFilePanel(this, QStringLiteral("imagePanel"),
                  tr("Please Select Stamp Image (Only BMP,JPG,JPEG,PNG,GIF Files):"),
                  tr("Pictures (*.bmp *.BMP *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.gif *.GIF)"),
                  QFileDialog::ExistingFile,
                  [this](const QStringList& files) { openPanelDidEnd(files.value(0)); });
}

void ImageStampWindow::openPanelDidEnd(const QString& path)
{
    ImageStamp* stamp = imageStamp();
    if (!stamp) {
        return;
    }
    matchImageReaderLimit();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        informationAlertPanel(this, getAppTitle(), tr("Unable to load selected image!"));
        return;
    }
    m_isAspectRatio = false;
    stamp->setCacheImage(picture);
    stamp->setStampImagePath(path);
    stamp->setStampImage(ImageStamp::encodePicture(picture));
    stamp->setStampImageWidth(picture.width());
    stamp->setStampImageHeight(picture.height());
    showStamp();
    updateTitle();
    m_isAspectRatio = m_ui->aspectRatioCheckbox->isChecked();
    settingsChanged();
}

void ImageStampWindow::removeImageAction()
{
    ImageStamp* stamp = imageStamp();
    if (!stamp) {
        return;
    }
    stamp->setStampImagePath(QString());
    stamp->setStampImage(QByteArray());
    stamp->setStampImageWidth(0);
    stamp->setStampImageHeight(0);
    stamp->setCacheImage(QImage());
    showStamp();
    updateTitle();
    settingsChanged();
}

void ImageStampWindow::controlTextDidChange(bool widthField, const QString& text)
{
    ImageStamp* stamp = imageStamp();
    if (!stamp || isLoading()) {
        return;
    }
    const qint64 typed = leadingIntegerValue(text);
    if (widthField) {
        stamp->setStampImageWidth(typed);
    } else {
        stamp->setStampImageHeight(typed);
    }
    if (m_isAspectRatio && m_shownSize.width() > 0 && m_shownSize.height() > 0) {
        const double w = m_shownSize.width();
        const double h = m_shownSize.height();
        if (widthField) {
            stamp->setStampImageHeight(qint64(double(typed) * (h / w)));
            m_ui->stampImageHeightTextField->setText(QString::number(stamp->stampImageHeight()));
        } else {
            stamp->setStampImageWidth(qint64(double(typed) * (w / h)));
            m_ui->stampImageWidthTextField->setText(QString::number(stamp->stampImageWidth()));
        }
    }
    settingsChanged();
}

} // namespace veltrane
