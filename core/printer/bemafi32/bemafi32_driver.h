#pragma once
// What the program sends to a BemaFI32 printer ("BEMAFI32", "MP2100") for every operation: the
// calls it shares with the Daruma family (fi_driver.h), and its own port, start, closing and
// utilities.
#include "printer/bemafi32/bemafi32_lib.h"
#include "printer/fi/fi_driver.h"

namespace ecf::printer::bemafi32 {

ECF_FI_SHARED_CALLS(BemaFI32Calls, BemaFI32Lib, Bematech_FI_);

class BemaFI32Driver : private BemaFI32Calls, public fi::FiDriver {
public:
    BemaFI32Driver(FamilyContext& ctx, BemaFI32Lib& lib);

    void openPort(int velPortSer) override;
    bool start(int velPortSer) override;
    void close() override;
    void programPaymentForms(const std::vector<std::string>& descriptions) override;
    void fiscalMemory(const std::string& first, const std::string& last) override;
    // The printer reply check: true when Bematech_FI_RetornoImpressora answers 1.
    bool replyCheck();

private:
    void finishClosing(const RecordValues& header, const fi::Customer& customer) override;
    void pause(int milliseconds) const;
};

} // namespace ecf::printer::bemafi32
