#pragma once

// The two entry points of the directional statistics library that the program and the plot
// support library call: bearing reduction and the library's message hook.

#include "dirstats/QorpelvarExport.h"
#include "util/Messages.h"

/// `bearing` (degrees) brought into [0, 360] by whole turns: values above 360 lose turns
/// until they are at most 360, negative values gain turns until they are at least 0. So 725
/// gives 5, -30 gives 330, and 360 stays 360 while -360 gives 0. The reduction is exact for
/// every finite input, however large. NaN and infinities, which have no bearing, give NaN.
QORPELVAR_EXPORT long double SetSensibleBearing(float bearing);

/// Offers `msg` to the pre-translation of the statistics library's application thread.
/// Returns 1 when a window of the library consumed it, 0 when nobody did, when `msg` is null,
/// or when the pre-translation failed with an exception (which goes no further).
QORPELVAR_EXPORT int FilterPelvarMsg(MSG* msg);

/// The statistics library's own application thread, where its modeless windows register
/// their message filters.
QORPELVAR_EXPORT tessmor::LibraryThread& PelvarThread();
