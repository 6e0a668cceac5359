// Keeps the dialogs alive during long copies: the copy and decode loops call
// pumpMessages at checkpoints and stop when it says so.
#pragma once

// The queue is drained once per this many output bytes: often enough for the
// Cancel button to feel responsive, rarely enough to cost nothing.
#define PUMP_INTERVAL 102400

// Dispatches every queued message (the progress dialog gets the first look);
// then 1 to stop (an abort that may be honoured), 0 to go on.
int pumpMessages();
