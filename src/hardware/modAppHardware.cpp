#include "hardware/modAppHardware.h"
