#include "MessageBoxAlerts.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

void MessageBoxAlerts::show(QObject* context, Style style, const QString& message,
                            const QString& informativeText, std::function<void()> dismissed)
{
    // The alert belongs to the window the user was working in when it was raised (the update
    // window asks before a download), so that it stands above that window and not beneath it.
    QWidget* owner = QApplication::activeWindow();
    if (!owner || owner->isHidden())
        owner = parentWindow;
    auto* box =
        new QMessageBox(style == Style::Warning ? QMessageBox::Warning : QMessageBox::Information,
                        message, message, QMessageBox::Ok, owner);
    // Alerts can carry the service's words, which are shown exactly as they came.
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(informativeText);
    if (auto* informative = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    // After the modality, which sets the box's window flags anew.
    if (owner && owner->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    if (dismissed)
        QObject::connect(box, &QMessageBox::finished, context,
                         [dismissed = std::move(dismissed)](int) { dismissed(); });
    box->open();
}
