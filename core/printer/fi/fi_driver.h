#pragma once
// The driver the Daruma and BemaFI32 families share: both libraries sell, close, read and
// cancel with the same calls under their own prefix (fi_functions.h), reached here by their
// names without it. Each family adds its start and exit, the closing's last calls, its
// payment-form programming and its fiscal-memory reading.
#include "printer/family_driver.h"
#include "printer/fi/fi_common.h"
#include "printer/fi/fi_functions.h"
#include "printer/tax_codes.h"

namespace ecf::printer::fi {

// The shared functions of a family's library, by their names without the maker's prefix.
class SharedCalls {
public:
    virtual ~SharedCalls() = default;
    ECF_FI_SHARED(ECF_FI_UNPREFIXED_PURE, _, _)
};

class FiDriver : public FamilyDriver {
public:
    // spelling: the family's tax codes; saleError: the message a refused sale's result follows.
    FiDriver(FamilyContext& ctx, SharedCalls& calls, const TaxSpelling& spelling, const char* saleError)
        : ctx_(ctx), calls_(calls), spelling_(spelling), saleError_(saleError)
    {
    }

    SaleFields saleFields() const override;
    TaxCode resolveTaxCode(const SaleItem& item) override;
    bool registerItem(const SaleItem& item, const TaxCode& taxCode, common::Money itemTotal) override;
    void closeCoupon(const SaleRecord& sale) override;
    void receipts(const SaleRecord&) override {}
    std::string checkCoupon(const SaleRecord& sale) override;

    void xReading() override;
    void zReduction() override;
    void cancelCoupon(CancelKind kind) override;
    // The listing asks the Daruma library, for both families.
    void listPaymentForms(std::vector<std::string>& items) override;

protected:
    // The closing's last calls, after the payment: the customer and the closing message.
    virtual void finishClosing(const RecordValues& header, const Customer& customer) = 0;

    FamilyContext& ctx_;

private:
    SharedCalls& calls_;
    const TaxSpelling& spelling_;
    const char* saleError_;
};

} // namespace ecf::printer::fi

// `Name`, the shared functions over the family's library `Lib`, whose functions carry PREFIX;
// the driver derives from it (before FiDriver) and reaches its library's own functions
// through lib().
#define ECF_FI_SHARED_CALLS(Name, Lib, PREFIX)                                                          \
    class Name : public ::ecf::printer::fi::SharedCalls {                                               \
    public:                                                                                              \
        explicit Name(Lib& lib) : lib_(lib) {}                                                           \
        ECF_FI_SHARED(ECF_FI_FORWARD, _, PREFIX)                                                         \
                                                                                                         \
    protected:                                                                                           \
        Lib& lib() { return lib_; }                                                                      \
                                                                                                         \
    private:                                                                                             \
        Lib& lib_;                                                                                       \
    }
