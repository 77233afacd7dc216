#pragma once

// The character style record and the justification codes live with the plot support library,
// whose axis records hold two of them; this header keeps the chart's own include path working.

#include "plotsupport/TextStyle.h"
