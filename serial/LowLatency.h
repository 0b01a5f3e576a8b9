// Low latency on USB-serial adapters.
//
// A USB adapter holds the bytes it received until its buffer fills or its
// latency timer runs out (16 ms on FTDI chips unless told otherwise), and
// every acknowledgement of the register waits that long: minutes over a
// long table read. Linux drivers that have such a timer take the serial-info
// low-latency flag as a request to set it to 1 ms. The setting stays with
// the adapter until it is unplugged, which is what a programming tool wants.
#pragma once

// Asks the driver behind fd for low-latency mode: 0 when it is on (or was
// already), else the errno. A device without the setting (a pseudo-terminal)
// answers ENOTTY or EINVAL; other platforms always answer ENOTTY.
int RequestLowLatency(int fd);

// What opening a port calls; tests put their own in to see the attempt.
// Returns the previous one; nullptr puts RequestLowLatency back.
using TLowLatencyRequest = int (*)(int fd);
TLowLatencyRequest SetLowLatencyRequest(TLowLatencyRequest request);

// The call on open: the answer is a speed-up or nothing, never a failure.
int AskForLowLatency(int fd);
