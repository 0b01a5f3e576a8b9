#include "RegisterLink.h"

#include "ComPortMap.h"
#include "FailureReason.h"
#include "LinkTrace.h"
#include "SerialSettings.h"
#include "TableFile.h"
#include "TarvoCore.h"

bool ConnectLink(TTARVO &link, const TLinkTarget &target, const TLinkOptions &options,
                 std::string *reason) {
  link.PortNumber = uint8_t(target.Port & 0xFF);
  link.PortBaud = BaudRateOfCode(target.BaudCode, link.PortBaud);
  link.DevicePath = options.Device.empty() ? PortDevice(link.PortNumber) : options.Device;
  if (options.Trace) link.SetTrace(options.Trace);
  if (link.Connect()) return true;
  // A network address is worded there too, from what its transport raised.
  if (reason) *reason = ReasonText(OpenFailureFacts(link, LinkPlace(link, !options.Device.empty())));
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

std::string TRegisterSession::Place() const { return LinkPlace(*FLink, !FContext.Link.Device.empty()); }

std::string TRegisterSession::FailureReason() const {
  return ReasonText(ExchangeFailureFacts(*FLink, Place(), FContext.Link.SilenceMs));
}

std::string TRegisterSession::FailureReason(const std::exception &e) const {
  return ReasonText(PortExceptionFacts(*FLink, e, Place(), FContext.Link.SilenceMs));
}

namespace {

// A read's progress while it waits: shown once the port is open, the lines
// as the link takes them (it calls back from inside its wait, which runs
// this thread's events, so nothing here needs to run them), hidden at the
// end on every path.
class TReadWatch {
 public:
  TReadWatch(TTARVO &link, TProgress *progress, int expected) : FLink(link), FProgress(progress) {
    if (!FProgress) return;
    FProgress->Begin(expected > 0 ? expected : 0);
    FLink.OnLines = [p = FProgress](int received) { p->Lines(received); };
  }
  ~TReadWatch() {
    if (!FProgress) return;
    FLink.OnLines = nullptr;
    FProgress->End();
  }
  TReadWatch(const TReadWatch &) = delete;
  TReadWatch &operator=(const TReadWatch &) = delete;

 private:
  TTARVO &FLink;
  TProgress *FProgress;
};

}  // namespace

TActionResult ReadAnswer(const TProjectContext &context, const std::string &command, TLineList &lines,
                         const TLinkTarget *target, const TLineKeeper &keep, TProgress *progress, int expected) {
  TRegisterSession session(context, false);
  TActionResult result;
  if (!(target ? session.OpenOn(*target, result) : session.Open(result))) return result;
  TReadWatch watch(session.Link(), progress, expected);
  try {
    if (session.Link().ReadLines(command, lines, keep)) return TActionResult::Success();
    return TActionResult::Failure(OperationFailedMessage, session.FailureReason());
  } catch (const std::exception &e) {
    // The port failed under the exchange; the link has recorded it too.
    return TActionResult::Failure(OperationFailedMessage, session.FailureReason(e));
  }
}
