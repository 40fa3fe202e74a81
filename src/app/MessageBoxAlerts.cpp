#include "MessageBoxAlerts.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

QMessageBox* MessageBoxAlerts::box(QMessageBox::Icon icon, const QString& message,
                                   const QString& informativeText)
{
    // The alert belongs to the window the user was working in when it was raised (the update
    // window asks before a download), so that it stands above that window and not beneath it.
    QWidget* owner = QApplication::activeWindow();
    if (!owner || owner->isHidden())
        owner = parentWindow;
    auto* box = new QMessageBox(icon, message, message, QMessageBox::NoButton, owner);
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
    return box;
}

void MessageBoxAlerts::show(QObject* context, Style style, const QString& message,
                            const QString& informativeText, std::function<void()> dismissed)
{
    QMessageBox* alert =
        box(style == Style::Warning ? QMessageBox::Warning : QMessageBox::Information, message,
            informativeText);
    alert->setStandardButtons(QMessageBox::Ok);
    if (dismissed)
        QObject::connect(alert, &QMessageBox::finished, context,
                         [dismissed = std::move(dismissed)](int) { dismissed(); });
    alert->open();
}

void MessageBoxAlerts::confirm(QObject* context, const QString& message,
                               const QString& informativeText, const QString& goOn,
                               std::function<void(bool goOn)> answered)
{
    QMessageBox* question = box(QMessageBox::Warning, message, informativeText);
    QPushButton* act = question->addButton(goOn, QMessageBox::DestructiveRole);
    question->setDefaultButton(question->addButton(QMessageBox::Cancel));
    QObject::connect(question, &QMessageBox::finished, context,
                     [question, act, answered = std::move(answered)](int) {
                         answered(question->clickedButton() == act);
                     });
    question->open();
}
