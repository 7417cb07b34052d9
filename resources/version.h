#pragma once
#define TARN_VERSION_NUMBERS 0,1,0,0
#define TARN_VERSION_TEXT "0.1.0"
