#pragma once

#include <ostream>

#include "batch/BatchOptions.h"

/// Runs one batch job: opens the profile as the desktop program would, then applies the
/// interpolation, the background, the continuation, the derivative and the model through the
/// view's commands and dialogs, and saves when asked. Messages go to the installed prompts;
/// notes about ignored options go to `err`. Returns the exit status: 0 done, 1 refused or
/// failed.
int RunBatch(const BatchOptions& options, std::ostream& err);
