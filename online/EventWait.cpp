#include "EventWait.h"

#include <chrono>
#include <thread>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void WaitWithEvents(int ms, QEventLoop **current) {
  if (ms <= 0) return;
  if (!QCoreApplication::instance()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  if (current) *current = &loop;
  loop.exec();
  if (current) *current = nullptr;
}
