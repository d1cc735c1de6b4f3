#include "app/AlertPanels.h"

#include <QMessageBox>
#include <QPushButton>

namespace veltrane {
namespace {

// The alert with its buttons; each button's code is kept on it.
QMessageBox* makeAlert(QWidget* window, QMessageBox::Icon icon, const QString& title,
                       const QString& msg, const QString& defaultButton,
                       const QString& alternateButton, const QString& otherButton)
{
    auto* box = new QMessageBox(icon, title, title, QMessageBox::NoButton, window);
    box->setObjectName(QStringLiteral("alert"));
    box->setText(title);
    box->setInformativeText(msg);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [box](const QString& text, QMessageBox::ButtonRole role, int code) {
        if (text.isEmpty()) {
            return;
        }
        QPushButton* button = box->addButton(text, role);
        button->setProperty("alertCode", code);
        button->setAccessibleName(text);
        if (code == 1) {
            box->setDefaultButton(button);
        }
        if (code == 0) {
            box->setEscapeButton(button);
        }
    };
    add(defaultButton.isEmpty() ? QObject::tr("OK") : defaultButton, QMessageBox::AcceptRole, 1);
    add(alternateButton, QMessageBox::RejectRole, 0);
    add(otherButton, QMessageBox::DestructiveRole, -1);
    return box;
}

int codeOf(QMessageBox* box)
{
    const QAbstractButton* clicked = box->clickedButton();
    if (!clicked) {
        // Closed without a button (Escape with no alternate): the default answer is not given.
        return box->escapeButton() ? 0 : 1;
    }
    return clicked->property("alertCode").toInt();
}

} // namespace

void criticalAlertPanel(QWidget* window, const QString& title, const QString& msg,
                        const QString& defaultButton, const QString& alternateButton,
                        const QString& otherButton, std::function<void(int)> didEnd)
{
    QMessageBox* box = makeAlert(window, QMessageBox::Critical, title, msg, defaultButton,
                                 alternateButton, otherButton);
    QObject::connect(box, &QMessageBox::finished, box, [box, didEnd = std::move(didEnd)] {
        if (didEnd) {
            didEnd(codeOf(box));
        }
    });
    box->open();
}

int criticalAlertPanel(QWidget* window, const QString& title, const QString& msg,
                       const QString& defaultButton, const QString& alternateButton,
                       const QString& otherButton)
{
    QMessageBox* box = makeAlert(window, QMessageBox::Critical, title, msg, defaultButton,
                                 alternateButton, otherButton);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->exec();
    const int code = codeOf(box);
    delete box;
    return code;
}

void informationAlertPanel(QWidget* window, const QString& title, const QString& msg)
{
    criticalAlertPanel(window, title, msg, QObject::tr("OK"), {}, {});
}

void infoAlertPanel(QWidget* window, const QString& title, const QString& msg)
{
    QMessageBox* box =
        makeAlert(window, QMessageBox::Information, title, msg, QObject::tr("OK"), {}, {});
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->exec();
    delete box;
}

void infoAlertSheet(QWidget* window, const QString& title, const QString& msg)
{
    makeAlert(window, QMessageBox::Information, title, msg, QObject::tr("OK"), {}, {})->open();
}

} // namespace veltrane
