#include "dialup/modAppNew.h"
