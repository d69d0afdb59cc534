// Against the layering: the core must not see the detection layer above it.
#include "detection/PCJob.h"
