// The PLU list is read only once its writer has let it be: a file that
// changed more recently than the quiet period, that its writer still holds
// or that changes while it is read is tried again, within a retry window.
#pragma once

#include <cstddef>
#include <string>

#include "DroppedFile.h"

struct TQuietRead {
  int RetryWindowMs = 5000;  // how long a file that cannot be had is tried
  int QuietMs = 300;         // a file changed more recently is still being written
  size_t MaxFileBytes = size_t(64) << 20;
};

// Ready with the contents once path has been quiet for the quiet period and
// was read whole; NotRegular or TooLarge at once; otherwise, when the window
// runs out, the last state seen (Changing rather than Ready), its reason
// saying how long it was tried. Events keep running while it waits.
TDropRead ReadWhenQuiet(const std::string &path, const TQuietRead &how);
