#include "dialup/RasRecords.h"
