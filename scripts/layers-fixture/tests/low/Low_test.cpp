#include "LowHelper.h"
#include "mid/MidHelper.h"
#include "support/Support.h"
#include "top/Top.h"
