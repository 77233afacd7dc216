#pragma once

#include <string>

#include "batch/BatchOptions.h"

class CTessmorDoc;
class CTessmorView;

/// The report of a finished run as JSON: the input file, the options as given, the samples
/// and their spacing, a summary (count, least, greatest, mean) of every series the run
/// computed, read back from the result tables it wrote, and the inversion's misfit and
/// largest thickness change per sweep. Every number carries its unit in its name or beside
/// it.
std::string BatchReportJson(const BatchOptions& options, const CTessmorDoc& doc,
                            const CTessmorView& view);
