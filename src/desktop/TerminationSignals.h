#pragma once

// A logout, a shutdown or `kill` ends the client with SIGTERM (or SIGHUP, SIGINT from a
// terminal): taken as a quit, so that the window goes as at any quit and every write under way
// (the journal of messages, the draft) ends before the process does.
namespace TerminationSignals {
// From here on those signals end the event loop; call once the application object exists.
void quitOnThem();
} // namespace TerminationSignals
