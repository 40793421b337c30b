#include "Mid.h"
#include "low/Low.h"
#include "Mid.moc"
