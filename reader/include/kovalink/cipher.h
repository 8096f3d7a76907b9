#ifndef KOVALINK_CIPHER_H
#define KOVALINK_CIPHER_H

#include "api.h"

#endif
