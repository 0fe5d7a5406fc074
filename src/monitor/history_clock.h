#pragma once

#include <QtGlobal>

// Time stamps of the link history: milliseconds since the epoch that never go
// back. They start at the wall clock when first asked and move on with a
// monotonic clock, so that a wall clock set back (or forward) in the middle of
// a recording leaves its records in order and their distances true.
qint64 history_now_ms();
