// Strict field parsing for the record texts the computer writes, and the
// number formats the register answers with. A record is refused rather than
// half-understood, so every parser here says whether the whole field was read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Sim {

// Splits at sep the way the computer's readers do: "a;b;" gives a, b and "".
// An empty text gives no field.
std::vector<std::string_view> SplitFields(std::string_view text, char sep = ';');

// Optional '-' then decimal digits only, within the target's range.
std::optional<int32_t> ParseInt32(std::string_view field);
std::optional<int64_t> ParseInt64(std::string_view field);

// A price written with ',' or '.' and at most two decimals ("12,50", "3",
// "0.5") in hundredths. Negative prices are not a register value.
std::optional<int64_t> ParseCents(std::string_view field);

// The name between the double quotes the computer puts around it; a field
// without the pair is taken as it stands.
std::string_view Unquote(std::string_view field);

// 1250 -> "12.50"; the register writes prices with a point.
std::string FormatCents(int64_t cents);
// 2500 thousandths -> "2.500".
std::string FormatMilli(int64_t milli);

}  // namespace Sim
