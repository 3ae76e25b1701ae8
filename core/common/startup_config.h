#pragma once
// The start-up configuration: process-wide values read from the branch record at start and
// read by the printer operations, the coupon issue and the utilities.
#include <cstdint>
#include <string>

namespace ecf::common {

struct StartupConfig {
    std::int32_t fatModNf = 0;     // document model number (FatModNf)
    std::string portaEcf;          // printer port text (PortaEcf), bytes
    std::string modeloEcf;         // printer model code (ModeloEcf), bytes
    std::string roundingMode;      // "" or "ABNT 5891" (set for SCHALTER30)
    std::int32_t couponNumber = 0; // printer coupon number, FS345 only
};

} // namespace ecf::common
