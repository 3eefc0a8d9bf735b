// The device database: families, models and scripts.
#include "WorkSpace.h"

void CWorkSpace::OpenDeviceDatabase() {}
