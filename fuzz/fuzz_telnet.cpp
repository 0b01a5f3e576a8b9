// Arbitrary bytes from a Telnet server through the decoder: cut anywhere,
// they decode the same as whole; no subnegotiation grows past its bound;
// and data escaped on the way out decodes back to itself with no command.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "TelnetCodec.h"

using namespace Telnet;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool Same(const std::vector<TCommand> &a, const std::vector<TCommand> &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].Verb != b[i].Verb || a[i].Option != b[i].Option || a[i].Payload != b[i].Payload) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
  std::string whole;
  std::vector<TCommand> commands;
  TDecoder once;
  once.Feed(bytes, size, whole, commands);
  for (const TCommand &c : commands) Check(c.Payload.size() <= TDecoder::MaxPayload);

  const size_t cut = size == 0 ? 0 : bytes[0] % (size + 1);
  std::string parts;
  std::vector<TCommand> partCommands;
  TDecoder twice;
  twice.Feed(bytes, cut, parts, partCommands);
  twice.Feed(bytes + cut, size - cut, parts, partCommands);
  Check(parts == whole && Same(partCommands, commands));

  const std::string escaped = Escape(bytes, size);
  std::string back;
  std::vector<TCommand> none;
  TDecoder plain;
  plain.Feed(reinterpret_cast<const uint8_t *>(escaped.data()), escaped.size(), back, none);
  Check(back == std::string(reinterpret_cast<const char *>(bytes), size) && none.empty());
  return 0;
}
