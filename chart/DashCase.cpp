#include "chart/DashCase.h"
