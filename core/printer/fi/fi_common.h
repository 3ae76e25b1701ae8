#pragma once
// What the Daruma and BemaFI32 families share: their libraries take the same item sale and
// closing arguments, fill prepared text buffers, and the payment-form listing of both reads
// the Daruma library's layout.
#include "common/money.h"
#include "printer/pipeline.h"
#include "printer/family_context.h"
#include "printer/records.h"
#include "printer/sale_record.h"
#include "printer/value_check.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ecf::printer::fi {

// A library writes its reply over the start of a prepared buffer and ends it with a NUL when
// there is room; the buffer keeps its length and never grows.
inline void writeReply(std::string& buffer, std::string_view reply)
{
    CallPipeline::writeReply(buffer.data(), buffer.size(), reply);
}
// The text a buffer holds, up to its first NUL.
inline std::string replyText(const std::string& buffer) { return CallPipeline::replyText(buffer.data(), buffer.size()); }

// The nine arguments of Daruma_FI_VendeItem / Bematech_FI_VendeItem.
struct ItemSale {
    std::string code, description, taxCode, qtyType, quantity;
    int decimals = 3;
    std::string unitPrice, discountType, discountValue;
};
// FamilyDriver::saleFields of the Daruma and BemaFI32 families (taxCode: the family's).
SaleFields saleFields(std::vector<FieldRead> taxCode);

// The item's sale, its values in the order the sale needs them; the numbers go through
// `check` (texts of no fixed width: only a sign is a misfit).
ItemSale buildItemSale(const SaleItem& item, const TaxCode& taxCode, FieldCheck& check);
// "%14.2f" of the coupon total, as the payment carries it.
std::string paymentAmount(const RecordValues& header, FieldCheck& check);
// FamilyDriver::checkCoupon of the Daruma and BemaFI32 families: the items' values, then the
// closing's. taxCode: the family's tax-code lookup, its box on the port given.
std::string checkCoupon(const SaleRecord& sale,
                        const std::function<void(const SaleItem&, common::OperatorPort&)>& taxCode);

// The customer of the header: each text trimmed, or its stand-in when empty.
struct Customer {
    std::string cliente, endereco, cnpj;
};
Customer customer(const RecordValues& header);

// "Dinheiro", or FormaPag when TipoPagNum is not -1.
std::string paymentFormName(const RecordValues& header);

// The payment-form list: every description as "%-16.16s" followed by ";".
std::string paymentFormList(const std::vector<std::string>& descriptions);

// Entries of a Daruma payment-form description reply: at most 16 of 16 characters, each
// followed by one separator, up to a "Pagamento Tipo" placeholder.
std::vector<std::string> parsePaymentForms(std::string text);

// The payment-form listing through the Daruma library's description call (the BemaFI32
// family lists its forms the same way, through the same library).
void listPaymentForms(FamilyContext& ctx, std::vector<std::string>& items);

// A value in plain decimal, as messages carry result codes.
inline std::string dec(long long v) { return std::to_string(v); }

} // namespace ecf::printer::fi
