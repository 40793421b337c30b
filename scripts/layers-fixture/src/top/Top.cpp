#include "top/Top.h"
#include "mid/Mid.h"
#include "low/Low.h"
