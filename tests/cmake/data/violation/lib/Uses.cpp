#include "lib/Private.h"
