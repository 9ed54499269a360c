#pragma once

// Registers the window's compiled-in images. A static library's resources are kept out of the
// program by the linker unless something refers to them.
void initConingRateResources();
