// Puts the base library back as a fresh process has it; each layer's test
// support does the same for its own layer, after the layers below.
#pragma once

// No thread pool, nobody listening on the bus, no setting reported yet, the
// camera as never initialised, no log file, user folder or assertion hook.
void fresh_core();
