#pragma once

#include <QWidget>

// A borderless window that floats above ordinary windows, has no background of its own (so a
// RoundedView inside it shows as a dark rounded panel), and can still take the keyboard focus.
// It is centred on its screen whenever it is shown, where the platform lets a window place
// itself; under Wayland it opens transient for its parent, where the compositor puts it.
class TransparentWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TransparentWindow(QWidget* parent = nullptr);

    void center() { centerOnScreen(this); }

    // Moves a window to the middle of the screen it is on (not under Wayland).
    static void centerOnScreen(QWidget* window);

protected:
    void showEvent(QShowEvent* event) override;
};
