#pragma once
// Where a dialog goes on the screen: over its owner, or in the middle of the
// work area, and always inside the work area as far as it fits.

#include <cstdint>

namespace tarn {

struct ScreenRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

struct ScreenPoint {
  int32_t x = 0;
  int32_t y = 0;
};

// The top left corner for a window of `window`'s size centred on `reference`
// (the owner's rectangle; null centres it in the work area), then moved back
// inside `workArea`: first so that its far edges do not pass the work area's,
// then so that its near edges do not lie before it. A window larger than the
// work area thus keeps its top left corner in view.
ScreenPoint centredPosition(const ScreenRect& window, const ScreenRect* reference, const ScreenRect& workArea);

}  // namespace tarn
