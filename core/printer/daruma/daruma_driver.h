#pragma once
// What the program sends to a Daruma printer ("DARUMA345", "FS600") for every operation: the
// calls it shares with the BemaFI32 family (fi_driver.h), and its own start, closing and
// utilities.
#include "printer/daruma/daruma_lib.h"
#include "printer/fi/fi_driver.h"

namespace ecf::printer::daruma {

ECF_FI_SHARED_CALLS(DarumaCalls, DarumaLib, Daruma_FI_);

class DarumaDriver : private DarumaCalls, public fi::FiDriver {
public:
    DarumaDriver(FamilyContext& ctx, DarumaLib& lib);

    void openPort(int velPortSer) override;
    bool start(int velPortSer) override;
    void close() override;
    void programPaymentForms(const std::vector<std::string>& descriptions) override;
    void fiscalMemory(const std::string& first, const std::string& last) override;

private:
    void finishClosing(const RecordValues& header, const fi::Customer& customer) override;
};

} // namespace ecf::printer::daruma
