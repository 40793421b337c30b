#include "low/LowHelper.h"
#include "mid/Mid.h"
#include "side/Side.h"
