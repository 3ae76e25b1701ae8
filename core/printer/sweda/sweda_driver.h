#pragma once
// What the program sends to a Sweda printer ("SWEDA") for every operation, through the Sweda
// command channel.
#include "printer/family_driver.h"
#include "printer/sweda/sweda_lib.h"
#include "printer/value_check.h"
#include "printer/sweda/sweda_channel.h"

#include <memory>
#include <string>
#include <string_view>

namespace ecf::printer::sweda {

class SwedaDriver : public FamilyDriverOf<SwedaLib> {
public:
    using FamilyDriverOf::FamilyDriverOf;

    ECF_FAMILY_DRIVER_OPERATIONS
    // A text from a table made safe inside a command: control bytes and the closing brace,
    // which ends a command, become blanks; the length is kept.
    static std::string commandText(std::string_view bytes);

    // The command and reply buffers of the process, made on first use.
    SwedaChannel& channel();

private:
    // The commands' parts that carry numbers, each number through `check`.
    std::string saleCommand(const RecordValues& item, const TaxCode& taxCode, common::Money itemTotal, FieldCheck& check);
    std::string discountValue(const SaleItem& item, common::Money itemTotal, FieldCheck& check);
    std::string payment(const RecordValues& cabec, FieldCheck& check);
    std::string closingMessage(const RecordValues& cabec, FieldCheck& check);

    std::unique_ptr<SwedaChannel> channel_; // the process-wide command and reply buffers
};

} // namespace ecf::printer::sweda
