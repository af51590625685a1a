// The reset of the layers a test program links (reset_layers.cpp, built once per top layer).
#pragma once

namespace qvtest {

// Resets each linked layer, from the top down: what an upper layer holds (a device, a window) is
// released while the layer below that made it is still as it was.
void ResetLayers();

}  // namespace qvtest
