// Linux: the pictures keep the English names, whatever the C locale says, so
// a stamped file name does not depend on the environment's LANG.
#include "jvm/time_pictures.h"

namespace tarn {

TimePictureNames userTimePictureNames() { return englishTimePictureNames(); }

}  // namespace tarn
