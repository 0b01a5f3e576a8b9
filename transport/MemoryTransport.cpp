#include "MemoryTransport.h"

#include <map>

#include <QMetaObject>
#include <QObject>

#include "NetFault.h"

// What the two ends share. Deliveries to the link are posted to its context
// object under the lock, and the context goes under the lock too, so a
// delivery is either queued to a living context or not made at all.
struct TMemoryLine::TState {
  mutable std::mutex Lock;
  std::function<void(const std::string &)> *Written = nullptr;  // the line's OnWritten
  TMemoryTransport *Link = nullptr;                             // the open near end
  QObject *Context = nullptr;
  int HungUp = 0;  // the errno of a hang-up, 0 while the line is there
};

namespace {

std::mutex RegistryLock;
std::map<std::string, std::weak_ptr<TMemoryLine::TState>> &Registry() {
  static std::map<std::string, std::weak_ptr<TMemoryLine::TState>> lines;
  return lines;
}

constexpr const char *Scheme = "memory://";

// A delivery runs on the link's thread, where the link is opened, closed
// and destroyed: once it is seen open here, it stays so for the call.
bool StillOpen(const std::weak_ptr<TMemoryLine::TState> &weak, const TMemoryTransport *link) {
  const auto state = weak.lock();
  if (!state) return false;
  std::lock_guard<std::mutex> guard(state->Lock);
  return state->Link == link;
}

}  // namespace

TMemoryLine::TMemoryLine() : FState(std::make_shared<TState>()) { FState->Written = &OnWritten; }

std::shared_ptr<TMemoryLine> TMemoryLine::Make(const std::string &name) {
  std::shared_ptr<TMemoryLine> line(new TMemoryLine);
  std::lock_guard<std::mutex> guard(RegistryLock);
  Registry()[name] = line->FState;
  return line;
}

TMemoryLine::~TMemoryLine() {
  HangUp();
  std::lock_guard<std::mutex> guard(FState->Lock);
  FState->Written = nullptr;
}

void TMemoryLine::Send(const std::string &bytes) {
  std::lock_guard<std::mutex> guard(FState->Lock);
  if (!FState->Context || FState->HungUp) return;
  QMetaObject::invokeMethod(
      FState->Context,
      [state = std::weak_ptr<TState>(FState), link = FState->Link, bytes] {
        if (StillOpen(state, link) && link->OnReceived)
          link->OnReceived(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
      },
      Qt::QueuedConnection);
}

void TMemoryLine::HangUp(int osError) {
  std::lock_guard<std::mutex> guard(FState->Lock);
  if (FState->HungUp) return;
  FState->HungUp = osError > 0 ? osError : 5;
  if (!FState->Context) return;
  QMetaObject::invokeMethod(
      FState->Context,
      [state = std::weak_ptr<TState>(FState), link = FState->Link, err = FState->HungUp] {
        if (StillOpen(state, link) && link->OnLineLost) link->OnLineLost(err);
      },
      Qt::QueuedConnection);
}

void TMemoryLine::Restore() {
  std::lock_guard<std::mutex> guard(FState->Lock);
  FState->HungUp = 0;
}

bool TMemoryLine::LinkOpen() const {
  std::lock_guard<std::mutex> guard(FState->Lock);
  return FState->Link != nullptr;
}

TMemoryTransport::TMemoryTransport(std::string url) : FUrl(std::move(url)) {}

TMemoryTransport::~TMemoryTransport() { Close(); }

void TMemoryTransport::Open(TBaudRate) {
  if (FState) return;
  std::shared_ptr<TMemoryLine::TState> state;
  {
    std::lock_guard<std::mutex> guard(RegistryLock);
    auto it = Registry().find(FUrl.substr(std::string(Scheme).size()));
    if (it != Registry().end()) state = it->second.lock();
  }
  if (!state) throw ETransport(NetFaultText(TNetFault::Refused, FUrl, 0));
  std::lock_guard<std::mutex> guard(state->Lock);
  if (state->HungUp) throw ETransport(NetFaultText(TNetFault::Refused, FUrl, 0));
  if (state->Link) throw ETransport(NetFaultText(TNetFault::Failed, FUrl, 0, "linia este deja deschisa"));
  FContext = new QObject;
  state->Link = this;
  state->Context = FContext;
  FState = state;
}

void TMemoryTransport::Close() {
  if (!FState) return;
  {
    std::lock_guard<std::mutex> guard(FState->Lock);
    FState->Link = nullptr;
    FState->Context = nullptr;
  }
  // Closing may run inside a delivery to the context: it goes afterwards,
  // and what is still queued for it finds the line closed.
  FContext->deleteLater();
  FContext = nullptr;
  FState.reset();
}

bool TMemoryTransport::Connected() const { return FState != nullptr; }

void TMemoryTransport::Write(const void *data, size_t size) {
  if (!FState) throw ETransport(NetFaultText(TNetFault::Failed, FUrl, 0, "linia nu este deschisa"));
  std::function<void(const std::string &)> written;
  {
    std::lock_guard<std::mutex> guard(FState->Lock);
    if (FState->HungUp) throw ETransport(NetFaultText(TNetFault::Failed, FUrl, FState->HungUp), FState->HungUp);
    if (FState->Written) written = *FState->Written;
  }
  if (written) written(std::string(static_cast<const char *>(data), size));
}
