#include "hardware/modBluetooth.h"
