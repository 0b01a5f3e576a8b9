#include "TcpTransport.h"

#include <algorithm>
#include <cerrno>

#include <QSocketNotifier>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "NetFault.h"
#include "TcpSocket.h"

namespace {

// How long a server may take nothing before the line counts as gone.
constexpr int SendTimeoutMs = 5000;
// How long a protocol on the fresh connection may take.
constexpr int NegotiateTimeoutMs = 3000;
// How long a raw connection is watched for a server that refuses it in words.
constexpr int ServerWordsMs = 100;

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
  return left <= 0 ? 0 : int(std::min<long long>(left, 1 << 30));
}

}  // namespace

TTcpTransport::TTcpTransport(std::string url, TNetAddress address)
    : FUrl(std::move(url)), FAddress(std::move(address)) {}

TTcpTransport::~TTcpTransport() { Close(); }

void TTcpTransport::Open(TBaudRate baud) {
  if (FFd >= 0) return;
  FLostError = 0;
  FLossSaid = false;
  FFd = ConnectTcp(FAddress, FUrl);
  try {
    Negotiate(baud, TClock::now() + std::chrono::milliseconds(NegotiateTimeoutMs));
  } catch (...) {
    Close();
    throw;
  }
  FNotifier = std::make_unique<QSocketNotifier>(FFd, QSocketNotifier::Read);
  QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this] { ReadReady(); });
}

void TTcpTransport::Close() {
  if (FNotifier) {
    // Closing may come from inside the notifier's own signal (a handler that
    // ends the exchange): it goes once that has returned.
    FNotifier->setEnabled(false);
    FNotifier.release()->deleteLater();
  }
  if (FFd >= 0) ::close(FFd);
  FFd = -1;
}

// A device server whose line another client holds answers with a line of
// text and closes (ser2net: "Port already in use"). Seen here, that is a
// refusal in the server's words, not a line lost at the first frame.
// Anything else that comes meanwhile was not asked for by this link and is
// dropped, as a serial port drops what it held before it was opened.
void TTcpTransport::Negotiate(TBaudRate, TClock::time_point) {
  const auto until = TClock::now() + std::chrono::milliseconds(ServerWordsMs);
  std::string said;
  uint8_t chunk[256];
  while (TClock::now() < until) {
    const size_t n = ReceiveRaw(chunk, sizeof chunk, until);
    if (Gone()) throw ETransport(ClosedAtOpening(said));
    if (n == 0) break;
    if (said.size() < 200) said.append(reinterpret_cast<const char *>(chunk), n);
  }
}

std::string TTcpTransport::ClosedAtOpening(const std::string &said) const {
  std::string words;
  for (char c : said)
    if (c >= 0x20 && c < 0x7F && words.size() < 100) words += c;
  return NetFaultText(TNetFault::Failed, FUrl, 0,
                      "serverul a inchis conexiunea la deschidere" +
                          (words.empty() ? std::string() : ", spunand \"" + words + "\""));
}

void TTcpTransport::Incoming(const uint8_t *data, size_t size) {
  if (OnReceived) OnReceived(data, size);
}

std::string TTcpTransport::Outgoing(const void *data, size_t size) {
  return std::string(static_cast<const char *>(data), size);
}

void TTcpTransport::Write(const void *data, size_t size) {
  if (FFd < 0) throw ETransport(NetFaultText(TNetFault::Failed, FUrl, ENOTCONN), FLostError > 0 ? FLostError : -1);
  SendRaw(Outgoing(data, size));
}

void TTcpTransport::SendRaw(const std::string &bytes) {
  const auto deadline = TClock::now() + std::chrono::milliseconds(SendTimeoutMs);
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(FFd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += size_t(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
      throw ETransport(NetFaultText(TNetFault::Failed, FUrl, errno), errno);
    pollfd p{FFd, POLLOUT, 0};
    const int r = ::poll(&p, 1, MillisecondsLeft(deadline));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0)
      throw ETransport(NetFaultText(TNetFault::Failed, FUrl, ETIMEDOUT, "serverul nu mai primeste date"), ETIMEDOUT);
  }
}

size_t TTcpTransport::ReceiveRaw(uint8_t *buffer, size_t size, TClock::time_point deadline) {
  for (;;) {
    const ssize_t n = ::recv(FFd, buffer, size, 0);
    if (n > 0) {
      RearmQuickAck(FFd);
      return size_t(n);
    }
    if (n == 0) {
      FLostError = ECONNRESET;
      return 0;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      FLostError = errno;
      return 0;
    }
    pollfd p{FFd, POLLIN, 0};
    const int r = ::poll(&p, 1, MillisecondsLeft(deadline));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return 0;
  }
}

void TTcpTransport::ReadReady() {
  uint8_t chunk[4096];
  while (FFd >= 0) {
    const ssize_t n = ::recv(FFd, chunk, sizeof chunk, 0);
    if (n > 0) {
      RearmQuickAck(FFd);
      Incoming(chunk, size_t(n));
      continue;  // the handler may have closed the connection
    }
    if (n == 0) return Lose(ECONNRESET);  // the server closed it
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return;
    return Lose(errno);  // reset, or the keep-alive gave the peer up (ETIMEDOUT)
  }
}

// Said once; the notifier stops, as a closed socket stays readable for ever.
void TTcpTransport::Lose(int osError) {
  FLostError = osError;
  if (FNotifier) FNotifier->setEnabled(false);
  if (FLossSaid) return;
  FLossSaid = true;
  if (OnLineLost) OnLineLost(osError);
}
