#pragma once
// What the program sends to the Bematech MP-20 ("BEMATECH") through Mp20fi32.dll for every
// operation, and the printer reply check that reads "MP20FI.RET".
#include "printer/family_driver.h"
#include "printer/mp20/mp20_lib.h"

#include <string>
#include <string_view>

namespace ecf::printer::mp20 {

// A table text made safe to stand inside a command framed by ESC and "|": every control
// byte (below 0x20, and 0x7F) and every "|" becomes a blank; the length is kept.
std::string commandField(std::string_view text);

class Mp20Driver : public FamilyDriverOf<Mp20Lib> {
public:
    using FamilyDriverOf::FamilyDriverOf;

    ECF_FAMILY_DRIVER_OPERATIONS
    bool programsPaymentFormsAtStart() const override { return true; }

    // Reads the first line of "MP20FI.RET" into the MP-20 reply text. A missing file shows
    // its message and then throws common::FileError. True when the file was there.
    bool replyCheck();
    const std::string& replyText() const { return replyText_; }

private:
    std::string replyText_; // first line of "MP20FI.RET" as last read by the reply check
    int closingResult_ = 0; // result of the closing command, reported by the receipt under FatModNf 136
};

} // namespace ecf::printer::mp20
