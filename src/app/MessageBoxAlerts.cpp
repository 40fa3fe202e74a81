#include "MessageBoxAlerts.h"

#include <QMessageBox>

void MessageBoxAlerts::show(Style style, const QString& message, const QString& informativeText,
                            std::function<void()> dismissed)
{
    auto* box =
        new QMessageBox(style == Style::Warning ? QMessageBox::Warning : QMessageBox::Information,
                        message, message, QMessageBox::Ok, parentWindow);
    box->setInformativeText(informativeText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parentWindow ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [dismissed = std::move(dismissed)](int) {
        if (dismissed)
            dismissed();
    });
    box->open();
}
