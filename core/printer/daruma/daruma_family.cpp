#include "printer/daruma/daruma_family.h"

#include "printer/family_parts.h"
#include "printer/daruma/daruma_driver.h"
#include "printer/daruma/daruma_emulator.h"

namespace ecf::printer::daruma {

namespace {

ECF_FAMILY_PARTS(Parts, DarumaLib, ECF_DARUMA_FUNCTIONS, DarumaEmulator, DarumaDriver);

constexpr Model models[] = {{"DARUMA345"}, {"FS600"}};

// The BemaFI32 family lists its payment forms through this library too.
int describePaymentForms(FamilyUnit& unit, std::string& buffer)
{
    return static_cast<Parts&>(unit).traced().Daruma_FI_VerificaDescricaoFormasPagamento(buffer);
}

} // namespace

const FamilyEntry family{"daruma", models, &DarumaLib::library, &Parts::make, &describePaymentForms};

} // namespace ecf::printer::daruma
