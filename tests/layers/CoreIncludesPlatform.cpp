// Control: the core may include its own headers and the platform interfaces.
#include "core/modAppMain.h"
#include "platform/Clock.h"
