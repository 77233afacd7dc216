#pragma once

/// Reads the Caps Lock, Num Lock and Scroll Lock states from the display. False when the
/// display cannot tell (not an X11 display, or no keyboard extension); the flags then stay.
bool ReadLockKeys(bool& caps, bool& num, bool& scroll);
