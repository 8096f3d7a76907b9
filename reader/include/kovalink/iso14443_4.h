#ifndef KOVALINK_ISO14443_4_H
#define KOVALINK_ISO14443_4_H

#include "api.h"

#endif
