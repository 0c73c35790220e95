#pragma once
// Everything an end-to-end test needs: see each header.

#include "support/host.h"        // commands of the Linux host
#include "support/keys.h"        // keys pressed at the X server
#include "support/message_box.h" // boxes of the program under test
#include "support/paths.h"       // the programs under test
#include "support/process.h"     // starting them, waiting for their end
#include "support/test_window.h" // a window that records what it receives
#include "support/windows_api.h"
