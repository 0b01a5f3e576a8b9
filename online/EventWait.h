// Waiting inside a command file without stopping the program: the window
// repaints, the link's port is served, and a timer tick that arrives finds
// the busy mark and returns.
#pragma once

class QEventLoop;

// Waits ms milliseconds running events, or sleeps when there is no Qt
// application (nothing else to serve). While it waits, *current (when given)
// points at the loop, so that quitting it cuts the wait short.
void WaitWithEvents(int ms, QEventLoop **current = nullptr);
