#pragma once

// Ends the application's event loop on SIGTERM and SIGINT, so the simulator closes its sockets
// and exits with status 0 instead of being killed mid-write. Call once, after the
// QCoreApplication exists.
void quitOnTerminationSignals();
