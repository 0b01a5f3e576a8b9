// Running the event loop while a test waits for the port's signals.
#pragma once

#include <chrono>
#include <thread>

#include <QCoreApplication>
#include <QElapsedTimer>

// Runs the event loop until pred() holds or the time runs out.
template <typename Pred>
bool PumpUntil(Pred pred, int milliseconds = 2000) {
  QElapsedTimer timer;
  timer.start();
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (pred()) return true;
    if (timer.elapsed() > milliseconds) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// Runs the event loop for a while without a condition.
inline void PumpFor(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}
