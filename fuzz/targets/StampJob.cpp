#include "StampJob.h"

#include "model/ImageStamp.h"
#include "model/TextStamp.h"

#include <QImage>

namespace veltrane::fuzz {

Numbering& stampJob()
{
    static Numbering* job = [] {
        auto* made = new Numbering; // lives as long as the process
        made->setMarginLeft(36);
        made->setMarginTop(36);
        made->setMarginRight(36);
        made->setMarginBottom(36);
        auto text = std::make_unique<TextStamp>();
        text->setNumberFormat(QStringLiteral("Page {0} of {1}"));
        text->setMarginAnchor(9);
        made->stamps().push_back(std::move(text));
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        auto image = std::make_unique<ImageStamp>();
        image->setData(
            QVariantMap{{QStringLiteral("stampImage"), ImageStamp::encodePicture(picture)},
                        {QStringLiteral("stampImageWidth"), qint64(20)},
                        {QStringLiteral("stampImageHeight"), qint64(20)},
                        {QStringLiteral("stampImageOpacity"), qint64(60)},
                        {QStringLiteral("marginAnchor"), qint64(1)},
                        {QStringLiteral("isSelected"), true}});
        made->stamps().push_back(std::move(image));
        return made;
    }();
    return *job;
}

} // namespace veltrane::fuzz
