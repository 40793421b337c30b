#include "low/Low.h"
#include "mid/Mid.h"
  #  include "../top/Top.h"
