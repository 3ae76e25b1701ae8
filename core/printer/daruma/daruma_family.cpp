#include "printer/daruma/daruma_family.h"

#include "printer/daruma/daruma_driver.h"
#include "printer/daruma/daruma_emulator.h"
#include "printer/library/hosted_call.h"
#include "printer/traced_call.h"

namespace ecf::printer::daruma {

namespace {

ECF_TRACED_CLASS(DarumaTraced, DarumaLib, ECF_DARUMA_FUNCTIONS);
ECF_HOSTED_CLASS(HostedDaruma, DarumaLib, ECF_DARUMA_FUNCTIONS);
using Parts = FamilyParts<DarumaLib, DarumaEmulator, DarumaTraced, HostedDaruma, DarumaDriver>;

constexpr Model models[] = {{"DARUMA345"}, {"FS600"}};

// The BemaFI32 family lists its payment forms through this library too.
int describePaymentForms(FamilyUnit& unit, std::string& buffer)
{
    return static_cast<Parts&>(unit).traced().Daruma_FI_VerificaDescricaoFormasPagamento(buffer);
}

} // namespace

const FamilyEntry family{"daruma", models, &DarumaLib::library, &Parts::make, &describePaymentForms};

} // namespace ecf::printer::daruma
