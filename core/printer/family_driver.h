#pragma once
// One family's operations, as the coupon issue, the utilities and start-up call them.
#include "common/money.h"
#include "printer/family_context.h"
#include "printer/records.h"
#include "printer/sale_record.h"

#include <string>
#include <vector>

namespace ecf::printer {

// One family's operations. A model code of no family gets a driver that does nothing.
// Operations show their own messages through the operator port; an error that ends the
// running handler (a conversion error, a database or file error) is thrown.
class FamilyDriver {
public:
    virtual ~FamilyDriver() = default;

    // --- start-up and exit
    // The ports opened before the configuration check (MP-20, Sweda, BemaFI32). Errors are
    // shown and start-up goes on. velPortSer: pause in milliseconds (BemaFI32).
    virtual void openPort(int velPortSer) = 0;
    // The printer start and the tax-table load (the table is reset by the caller before);
    // FS345 also reads the printer coupon number into the configuration. false: start-up ends.
    virtual bool start(int velPortSer) = 0;
    virtual void close() = 0;
    // True for the family that programs the host's payment forms right after its start
    // (start-up then calls programPaymentForms).
    virtual bool programsPaymentFormsAtStart() const { return false; }
    // True for the model whose start reads the printer coupon number (shown in Label1).
    virtual bool showsCouponNumber() const { return false; }

    // --- coupon issue
    // The fields the coupon issue reads for this family, in its order (sale_record.h). The
    // operations below receive their values; asking for a value not listed is a fault of the
    // list (std::logic_error).
    virtual SaleFields saleFields() const { return {}; }
    // The item's tax code; shows the not-found message when none is found.
    virtual TaxCode resolveTaxCode(const SaleItem& item) = 0;
    // Opens the coupon first for Num_Item 1, sells the item, sends its discount. false: the
    // message was shown and the coupon issue stops (error stop).
    virtual bool registerItem(const SaleItem& item, const TaxCode& taxCode, common::Money itemTotal) = 0;
    // Totals, payment, closing message and closing.
    virtual void closeCoupon(const SaleRecord& sale) = 0;
    // Delivery receipt, additional coupon and paper feed, with the operator's questions.
    virtual void receipts(const SaleRecord& sale) = 0;
    // Before the coupon's first call: every number the coupon issue will send, in the issue's
    // order, checked against its field (value_check.h). "" when every value fits, else one
    // line naming the item (or the closing), the field and the value. Sends nothing, shows
    // nothing.
    virtual std::string checkCoupon(const SaleRecord&) { return {}; }

    // --- utilities (after the window's confirmation and configuration checks)
    virtual void xReading() = 0;
    virtual void zReduction() = 0;
    virtual void cancelCoupon(CancelKind kind) = 0;
    // Programs the payment forms (FormaPtg's Descricao of each record, bytes) into the printer.
    virtual void programPaymentForms(const std::vector<std::string>& descriptions) = 0;
    // Refills `items` (bytes) from the printer's payment forms; may leave it untouched.
    virtual void listPaymentForms(std::vector<std::string>& items) = 0;
    // The fiscal-memory reading for the two masked-edit texts. A date that does not convert
    // throws a conversion error (nothing is sent; the window stays open).
    virtual void fiscalMemory(const std::string& first, const std::string& last) = 0;
};

// A family's driver over its traced maker interface `Lib`.
template <class Lib>
class FamilyDriverOf : public FamilyDriver {
public:
    FamilyDriverOf(FamilyContext& ctx, Lib& lib) : ctx_(ctx), lib_(lib) {}

protected:
    Lib& lib() { return lib_; }

    FamilyContext& ctx_;
    Lib& lib_;
};

} // namespace ecf::printer

// A family driver's declarations of every operation above (each family defines them all in its
// driver's .cpp).
#define ECF_FAMILY_DRIVER_OPERATIONS                                                                    \
    void openPort(int velPortSer) override;                                                              \
    bool start(int velPortSer) override;                                                                 \
    void close() override;                                                                               \
    SaleFields saleFields() const override;                                                              \
    TaxCode resolveTaxCode(const SaleItem& item) override;                                               \
    bool registerItem(const SaleItem& item, const TaxCode& taxCode, common::Money itemTotal) override;   \
    void closeCoupon(const SaleRecord& sale) override;                                                   \
    void receipts(const SaleRecord& sale) override;                                                       \
    std::string checkCoupon(const SaleRecord& sale) override;                                            \
    void xReading() override;                                                                            \
    void zReduction() override;                                                                          \
    void cancelCoupon(CancelKind kind) override;                                                         \
    void programPaymentForms(const std::vector<std::string>& descriptions) override;                     \
    void listPaymentForms(std::vector<std::string>& items) override;                                     \
    void fiscalMemory(const std::string& first, const std::string& last) override;
