#include "app/AnchorPicker.h"

#include "app/StampsTableModel.h"

#include <QGridLayout>
#include <QIcon>
#include <QToolButton>

namespace veltrane {
namespace {

const char* const kPictures[] = {"TopLeft",    "TopMiddle",    "TopRight",
                                 "MiddleLeft", "MiddleMiddle", "MiddleRight",
                                 "BottomLeft", "BottomMiddle", "BottomRight"};

} // namespace

AnchorPicker::AnchorPicker(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setSpacing(2);
    grid->setContentsMargins(0, 0, 0, 0);
    for (qint32 anchor = 1; anchor <= 9; ++anchor) {
        auto* button = new QToolButton(this);
        const QString name = QLatin1String(kPictures[anchor - 1]);
        button->setObjectName(QStringLiteral("margin%1Button").arg(name));
        button->setProperty("tag", anchor);
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setIcon(QIcon(getMarginAnchorImage(anchor)));
        button->setIconSize(QSize(18, 24));
        button->setToolTip(StampsTableModel::anchorName(anchor));
        button->setAccessibleName(StampsTableModel::anchorName(anchor));
        connect(button, &QToolButton::clicked, this, [this, anchor] {
            setAnchor(anchor);
            emit anchorChosen(anchor);
        });
        grid->addWidget(button, (anchor - 1) / 3, (anchor - 1) % 3);
        m_buttons[anchor - 1] = button;
    }
    setAccessibleName(tr("Anchor"));
}

void AnchorPicker::setAnchor(qint32 anchor)
{
    m_anchor = anchor;
    for (qint32 i = 1; i <= 9; ++i) {
        m_buttons[i - 1]->setChecked(i == anchor);
    }
}

QToolButton* AnchorPicker::button(qint32 anchor) const
{
    return anchor >= 1 && anchor <= 9 ? m_buttons[anchor - 1] : nullptr;
}

QString AnchorPicker::getMarginAnchorImage(qint32 anchor)
{
    if (anchor < 1 || anchor > 9) {
        return {};
    }
    return QStringLiteral(":/anchors/%1.svg").arg(QLatin1String(kPictures[anchor - 1]));
}

} // namespace veltrane
