#ifndef KOVALINK_ULTRALIGHT_H
#define KOVALINK_ULTRALIGHT_H

#include "api.h"

#endif
