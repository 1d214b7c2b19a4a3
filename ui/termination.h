#pragma once

// Makes SIGTERM, SIGINT and SIGHUP (a logout, a kill, Ctrl+C in a terminal)
// end the program through its event loop, as closing the window would: every
// window is closed (a print in progress is ended, its job withdrawn) and the
// event loop left, even from inside a message box. A second signal of the
// same kind ends the program at once. Call once, after the application
// object exists.
void endOnTerminationSignals();
