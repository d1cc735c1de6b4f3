#pragma once

#include <array>
#include <QWidget>

class QToolButton;

namespace veltrane {

// The nine anchor buttons, row by row; the one of the current anchor is shown checked
// (bordered). Keyboard: Tab reaches the buttons, Space picks one. Main thread.
class AnchorPicker : public QWidget
{
    Q_OBJECT
public:
    explicit AnchorPicker(QWidget* parent = nullptr);

    // 1 ... 9; anything else shows no button checked.
    void setAnchor(qint32 anchor);
    qint32 anchor() const { return m_anchor; }
    QToolButton* button(qint32 anchor) const;

    // The resource picture of an anchor, "" for codes outside 1 ... 9.
    static QString getMarginAnchorImage(qint32 anchor);

signals:
    void anchorChosen(qint32 anchor);

private:
    std::array<QToolButton*, 9> m_buttons{};
    qint32 m_anchor = 0;
};

} // namespace veltrane
