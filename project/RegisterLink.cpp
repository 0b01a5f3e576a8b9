#include "RegisterLink.h"

#include <cerrno>
#include <cstring>

#include "AtomicFile.h"
#include "LinkTrace.h"
#include "ComPortMap.h"
#include "NetAddress.h"
#include "SerialDevices.h"
#include "SerialSettings.h"
#include "TableFile.h"
#include "TarvoCore.h"

namespace {

// Why a port did not open, as the reason line says it. A network port's
// message already names its address and says why in the user's words
// (NetFaultText); a device's gets the OS's words, or who holds the line.
std::string PortReason(const TTARVO &link, const std::string &port, bool named) {
  if (IsPortUrl(link.DevicePath)) return (named ? "" : port + ": ") + link.LastPortMessage();
  const int err = link.LastOsError();
  std::string why;
  if (err == EBUSY || err == EWOULDBLOCK) {
    // Another program has the line: who, rather than the OS's words.
    why = PortInUseReason(link.DevicePath);
  } else {
    why = link.LastPortMessage();
    if (err > 0) why += ": " + ErrnoReason(err);
  }
  return (named ? link.DevicePath : port + " (" + link.DevicePath + ")") + ": " + why;
}

}  // namespace

bool ConnectLink(TTARVO &link, const TLinkTarget &target, const TLinkOptions &options,
                 std::string *reason) {
  link.PortNumber = uint8_t(target.Port & 0xFF);
  link.PortBaud = BaudRateOfCode(target.BaudCode, link.PortBaud);
  const std::string port = "COM" + std::to_string(unsigned(link.PortNumber));
  link.DevicePath = options.Device.empty() ? PortDevice(link.PortNumber) : options.Device;
  if (options.Trace) link.SetTrace(options.Trace);
  if (link.Connect()) return true;
  if (reason) *reason = PortReason(link, port, !options.Device.empty());
  return false;
}

bool OpenProjectLink(TTARVO &link, const std::string &projectDir, const TLinkOptions &options,
                     TActionResult &failure) {
  std::optional<TSerialSettings> s;
  try {
    s = LoadSerialSettings(projectDir);
  } catch (const ETableFile &e) {
    failure.Ok = false;
    failure.Reason = e.what();
    return false;
  }
  if (!s) {
    failure.Ok = false;
    failure.Notice = NoSettingsMessage;
    return false;
  }
  std::string reason;
  if (ConnectLink(link, {s->Port, s->Baud}, options, &reason)) return true;
  failure.Ok = false;
  failure.Reason = reason;
  return false;
}

TRegisterSession::TRegisterSession(const TProjectContext &context, bool writeMode)
    : FContext(context), FLink(std::make_unique<TTARVO>(writeMode, context.Link.SilenceMs)) {}

TRegisterSession::~TRegisterSession() = default;

bool TRegisterSession::Open(TActionResult &failure) {
  if (OpenProjectLink(*FLink, FContext.Dir, FContext.Link, failure)) return true;
  failure.Message = PortOpenMessage;
  return false;
}

bool TRegisterSession::OpenOn(const TLinkTarget &target, TActionResult &failure) {
  std::string reason;
  if (ConnectLink(*FLink, target, FContext.Link, &reason)) return true;
  failure.Ok = false;
  failure.Message = PortOpenMessage;
  failure.Reason = reason;
  return false;
}

TActionResult ReadAnswer(const TProjectContext &context, const std::string &command, TLineList &lines,
                         const TLinkTarget *target, const TLineKeeper &keep) {
  TRegisterSession session(context, false);
  TActionResult result;
  if (!(target ? session.OpenOn(*target, result) : session.Open(result))) return result;
  try {
    if (session.Link().ReadLines(command, lines, keep)) return TActionResult::Success();
    return TActionResult::Failure(OperationFailedMessage, session.Link().LastError());
  } catch (const std::exception &e) {
    // The port failed under the exchange; the link has recorded it too.
    return TActionResult::Failure(OperationFailedMessage, e.what());
  }
}
