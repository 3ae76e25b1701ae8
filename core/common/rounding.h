#pragma once
// Decimal rounding to 1..6 places, half-up or by the rule of ABNT NBR 5891 (round half to
// even on the first two dropped digits), chosen by the rounding mode text.
#include <string_view>

namespace ecf::common {

inline constexpr std::string_view abnt5891 = "ABNT 5891";

// places 1..6; any other value rounds to a whole number. roundingMode "ABNT 5891" selects
// ABNT NBR 5891, anything else half-up. A negative value rounds its magnitude and keeps
// its sign. A value whose scaled form does not fit 64 bits throws ConversionError.
double decimalRound(int places, double value, std::string_view roundingMode);

} // namespace ecf::common
