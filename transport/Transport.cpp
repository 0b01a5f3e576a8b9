#include "Transport.h"

#include "ComPort.h"

int TransportOsError(const std::exception &e) {
  if (auto *p = dynamic_cast<const EComPort *>(&e)) return p->SystemError;
  if (auto *t = dynamic_cast<const ETransport *>(&e)) return t->OsError;
  return -1;
}

bool IsTransportGone(const std::exception &e) {
  if (auto *p = dynamic_cast<const EComPort *>(&e)) return IsLineGoneError(p->SystemError);
  if (auto *t = dynamic_cast<const ETransport *>(&e)) return t->OsError > 0;
  return false;
}
