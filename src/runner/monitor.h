#pragma once
// The second thread: watches the break key and the pause key for the whole run.

// Never returns: the break key ends the process.
void MonitorThread();
