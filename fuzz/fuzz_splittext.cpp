// Line splitting and the decimal texts on arbitrary input.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Decimal.h"
#include "TextHelpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  const char separator = char(data[0]);
  const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);

  TLineList fields{"before"};
  SplitText(text, separator, fields);
  // Nothing is lost or invented: the fields joined again give the text back.
  if (text.empty()) {
    if (fields.size() != 1) std::abort();
  } else {
    std::string joined;
    for (size_t i = 1; i < fields.size(); ++i) joined += (i > 1 ? std::string(1, separator) : "") + fields[i];
    if (joined != text) std::abort();
  }

  if (PadLeft(text, int(size % 64), '0').size() < std::min<size_t>(size % 64, 64)) std::abort();

  double v = 0;
  if (ParseDecimal(text, v)) {
    if (!std::isfinite(v) && !std::isinf(v)) std::abort();
    // What we write, we read back.
    double back = 0;
    const std::string formatted = FormatDecimal(v, int(data[0] % 7));
    if (std::isfinite(v) && !ParseDecimal(formatted, back)) std::abort();
  }
  return 0;
}
