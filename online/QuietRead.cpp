#include "QuietRead.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "EventWait.h"

namespace {

// How long ago the file's own time says it was written; 0 for a time in the
// future (another machine's clock on a shared directory).
std::chrono::milliseconds AgeOf(const timespec &mtime) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const long long ms = (now.tv_sec - mtime.tv_sec) * 1000LL + (now.tv_nsec - mtime.tv_nsec) / 1000000;
  return std::chrono::milliseconds(ms > 0 ? ms : 0);
}

}  // namespace

TDropRead ReadWhenQuiet(const std::string &path, const TQuietRead &how) {
  using TClock = std::chrono::steady_clock;
  using std::chrono::milliseconds;
  const auto deadline = TClock::now() + milliseconds(how.RetryWindowMs);
  const milliseconds quiet(how.QuietMs);
  TFileStamp seen;
  bool haveSeen = false;
  TClock::time_point changedAt{};
  for (;;) {
    TClock::time_point now = TClock::now();
    TDropRead r = StatDropped(path, how.MaxFileBytes);
    milliseconds next(50);  // a lock or an open that failed: look again soon
    if (r.State == TDropState::NotRegular || r.State == TDropState::TooLarge) return r;
    if (r.State == TDropState::Ready) {
      if (!haveSeen || r.Stamp != seen) {
        // The file's own time says how long it has been quiet already, so a
        // file that was finished before it was found is read at once.
        seen = r.Stamp;
        haveSeen = true;
        changedAt = now - std::min<milliseconds>(quiet, AgeOf(r.Stamp.Mtime));
      }
      const auto quietFor = std::chrono::duration_cast<milliseconds>(now - changedAt);
      if (quietFor >= quiet) {
        r = ReadDropped(path, how.MaxFileBytes);
        if (r.State == TDropState::Ready || r.State == TDropState::NotRegular ||
            r.State == TDropState::TooLarge)
          return r;
        if (r.State == TDropState::Changing) {
          haveSeen = false;
          next = quiet;
        }
      } else {
        r.State = TDropState::Changing;
        r.Reason = "still being written";
        next = std::max<milliseconds>(milliseconds(5), quiet - quietFor);
      }
    }
    now = TClock::now();
    if (now >= deadline) {
      if (r.Reason.empty()) r.Reason = DropStateText(r.State);
      r.Reason += " (tried for " + std::to_string(how.RetryWindowMs) + " ms)";
      if (r.State == TDropState::Ready) r.State = TDropState::Changing;
      return r;
    }
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - now) + milliseconds(1);
    WaitWithEvents(int(std::min(next, left).count()));
  }
}
