#include "TransparentWindow.h"

#include <QGuiApplication>
#include <QScreen>

TransparentWindow::TransparentWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
}

void TransparentWindow::centerOnScreen(QWidget* window)
{
    // A Wayland compositor places windows itself, a transient one over its parent, and
    // ignores a position asked for.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    const QScreen* on = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!on)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(on->availableGeometry().center());
    window->move(frame.topLeft());
}

void TransparentWindow::showEvent(QShowEvent* event)
{
    center();
    QWidget::showEvent(event);
}
