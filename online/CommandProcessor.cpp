#include "CommandProcessor.h"

#include <memory>

namespace {

// The poller and the runner ask the one source the caller gave, through
// copies of this: a source that keeps state (the last good settings) must
// not be split in two.
TCommandProcessor::TSettingsSource Shared(TCommandProcessor::TSettingsSource settings) {
  auto one = std::make_shared<TCommandProcessor::TSettingsSource>(std::move(settings));
  return [one] { return (*one)(); };
}

TQuietRead QuietOf(const TProcessorOptions &o) { return {o.RetryWindowMs, o.QuietMs, o.MaxFileBytes}; }

}  // namespace

TCommandProcessor::TCommandProcessor(TSettingsSource settings, TProcessorOptions options)
    : FSettings(Shared(std::move(settings))),
      FRunner(FSettings, options.Link, QuietOf(options), [this](const std::string &l) { Log(l); }),
      FPoller(
          FSettings, options.Slot, options.PauseMs,
          [this](const TOnlineCommand &cmd, const std::string &dir, const std::string &name) {
            return FRunner.Answer(cmd, dir, name);
          },
          [this](const std::string &l) { Log(l); },
          [this](const TWorkDirStatus &s) {
            if (OnStatus) OnStatus(s);
          }) {}

TCommandProcessor::~TCommandProcessor() = default;

void TCommandProcessor::Log(const std::string &line) {
  if (OnLog) OnLog(line);
}
