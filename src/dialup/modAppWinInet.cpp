#include "dialup/modAppWinInet.h"
