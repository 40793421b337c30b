#include "low/Low.h"
#include "top/Top.h"
