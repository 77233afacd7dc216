#include "chart/items/DashCase.h"
