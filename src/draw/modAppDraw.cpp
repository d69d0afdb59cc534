#include "draw/modAppDraw.h"
