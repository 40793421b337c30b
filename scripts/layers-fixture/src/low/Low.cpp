#include "low/Low.h"
#include <vector>
