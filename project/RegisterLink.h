// Opening the register link of an action: the project's serial settings (or
// the online mode's), the port map and the command line's overrides. Every
// window, the command line and the online mode open their links here, so
// they open them the same way.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "ActionResult.h"
#include "LinkEngine.h"
#include "TextHelpers.h"

class TTARVO;
class TLinkTrace;
class TRegisterSlot;

// How actions reach the register, beyond the project's settings.
struct TLinkOptions {
  std::string Device;                 // opens this device instead of the configured port
  std::shared_ptr<TLinkTrace> Trace;  // every frame is written here
  int SilenceMs = 5000;               // the silence that ends an exchange
};

// Where and how fast: a COM number and a baud code (1..3; any other code
// leaves the link's 57600).
struct TLinkTarget {
  int Port = 1;
  int32_t BaudCode = 3;
};

// A project as a register action sees it.
struct TProjectContext {
  std::string Dir;  // the project's directory
  TLinkOptions Link;
  // The windows' one register action at a time, or null (the command line,
  // a service): the windows hold it around their actions and watch it; the
  // logic below them never takes it.
  TRegisterSlot *Slot = nullptr;
};

// Configures link for target (the port map gives the device, unless
// options name one) and connects. False with the reason line
// (FailureReason.h): "COM1 (/dev/ttyS0): portul nu exista [8045, errno 2]",
// or for a device server its address and why ("COM1: tcp://10.0.0.5:4001:
// conexiune refuzata, ... [8045, errno 111]").
bool ConnectLink(TTARVO &link, const TLinkTarget &target, const TLinkOptions &options,
                 std::string *reason);

// The project's link opener. Reads the project's "setari.cds"; without one,
// Notice is "Nu ai setat parametrii de comunicatie seriala !\r" and the link
// is not touched. Fills failure (Notice and Reason; Message is the caller's)
// and returns false when the link did not open.
bool OpenProjectLink(TTARVO &link, const std::string &projectDir, const TLinkOptions &options,
                     TActionResult &failure);

// One action's link: made in read or write mode, destroyed (closing the
// port) at the end, on every path.
class TRegisterSession {
 public:
  TRegisterSession(const TProjectContext &context, bool writeMode);
  ~TRegisterSession();
  TRegisterSession(const TRegisterSession &) = delete;
  TRegisterSession &operator=(const TRegisterSession &) = delete;

  // Opens with the project's settings; on failure fills `failure` with the
  // message every window shows then ("Nu pot deschide portul serial !\r").
  bool Open(TActionResult &failure);
  // Opens on an explicit port (the online mode's settings).
  bool OpenOn(const TLinkTarget &target, TActionResult &failure);

  TTARVO &Link() { return *FLink; }
  // Where the link leads, as a reason names it: "COM1 (/dev/ttyUSB0)".
  std::string Place() const;
  // The reason line of the link's last failed exchange, or of a port error
  // raised under one.
  std::string FailureReason() const;
  std::string FailureReason(const std::exception &e) const;

 private:
  const TProjectContext &FContext;
  std::unique_ptr<TTARVO> FLink;
};

// Opens a read-mode link (on target when given, else with the project's
// settings) and runs command into lines. On failure: the port message or
// "Operatie nereusita!\r", with the link's reason; the lines that arrived
// before the failure stay in lines.
// keep, when given, has each line before its acknowledgement (on the link's
// thread; see TTARVO::ReadLines).
// progress, when given, is shown once the port is open, with expected as its
// total (the project's row count; 0 when there is no estimate), follows the
// lines as they are taken and is hidden again before this returns.
TActionResult ReadAnswer(const TProjectContext &context, const std::string &command, TLineList &lines,
                         const TLinkTarget *target = nullptr, const TLineKeeper &keep = {},
                         TProgress *progress = nullptr, int expected = 0);

// The message of a port that did not open, as the windows show it.
inline constexpr const char *PortOpenMessage = "Nu pot deschide portul serial !\r";
// The message of a failed read or programming run.
inline constexpr const char *OperationFailedMessage = "Operatie nereusita!\r";
// What OpenProjectLink says when the project has no serial settings.
inline constexpr const char *NoSettingsMessage = "Nu ai setat parametrii de comunicatie seriala !\r";
