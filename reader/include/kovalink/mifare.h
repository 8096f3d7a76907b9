#ifndef KOVALINK_MIFARE_H
#define KOVALINK_MIFARE_H

#include "api.h"

#endif
