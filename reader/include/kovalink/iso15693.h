#ifndef KOVALINK_ISO15693_H
#define KOVALINK_ISO15693_H

#include "api.h"

#endif
