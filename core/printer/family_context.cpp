#include "printer/family_context.h"

#include "printer/daruma/daruma_lib.h"

#include <stdexcept>

namespace ecf::printer {

int MakerInterfaces::describePaymentForms(std::string& buffer)
{
    if (!daruma)
        throw std::logic_error("payment-form listing without the Daruma library");
    return daruma->Daruma_FI_VerificaDescricaoFormasPagamento(buffer);
}

} // namespace ecf::printer
