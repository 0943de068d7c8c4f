// The runtime's part of the application's shutdown.
#pragma once

// Closes every window, then every file channel, then destroys the node heap.
void runtime_shutdown();
