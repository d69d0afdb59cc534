#include "dialup/modAppRAS.h"
