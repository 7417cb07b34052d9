#include "ui/dialog_placement.h"

namespace tarn {
namespace {

// One axis: the window's extent `size`, the centring span [near, far) and
// the work area's [areaNear, areaFar). 64-bit sums: the coordinates of a
// far monitor plus those of another must not overflow.
int32_t placeOnAxis(int64_t size, int64_t nearEdge, int64_t farEdge, int64_t areaNear, int64_t areaFar) {
  int64_t position = (nearEdge + farEdge) / 2 - size / 2;
  if (position + size > areaFar) position = areaFar - size;
  if (position < areaNear) position = areaNear;
  return static_cast<int32_t>(position);
}

}  // namespace

ScreenPoint centredPosition(const ScreenRect& window, const ScreenRect* reference, const ScreenRect& workArea) {
  const ScreenRect& centre = reference != nullptr ? *reference : workArea;
  const int64_t width = static_cast<int64_t>(window.right) - window.left;
  const int64_t height = static_cast<int64_t>(window.bottom) - window.top;
  ScreenPoint point;
  point.x = placeOnAxis(width, centre.left, centre.right, workArea.left, workArea.right);
  point.y = placeOnAxis(height, centre.top, centre.bottom, workArea.top, workArea.bottom);
  return point;
}

}  // namespace tarn
