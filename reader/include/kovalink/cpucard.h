#ifndef KOVALINK_CPUCARD_H
#define KOVALINK_CPUCARD_H

#include "api.h"

#endif
