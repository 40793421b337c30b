#include "Low.h"
#include "mid/Mid.h"
