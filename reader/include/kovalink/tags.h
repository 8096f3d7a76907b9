#ifndef KOVALINK_TAGS_H
#define KOVALINK_TAGS_H

#include "api.h"

#endif
