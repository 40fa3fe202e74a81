#pragma once

#include <QString>

class QWindow;

// Brings a window forward with a launcher's activation token under Wayland, through the
// compositor's xdg-activation protocol: a window may take the focus from the one the user is in
// only with such a token. Qt 6.4 takes a token only from the process's environment, and the
// environment must not change while other threads may read it (libcurl's resolver, GLib); so
// the token goes to the compositor directly.
//
// Nothing here waits for the compositor: the protocol is looked up on a queue of its own at the
// first call (prepare() makes that call when the window is first shown), and its answer is read
// whenever it has arrived.
namespace XdgActivation {
// Starts looking up the protocol, so that the first token finds it. Nothing off Wayland.
void prepare();
// False off Wayland, where the compositor lacks the protocol, or where the window has no surface
// (not shown yet).
bool activate(QWindow& window, const QString& token);
} // namespace XdgActivation
