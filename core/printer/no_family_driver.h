#pragma once
// The driver of a model code that belongs to no family: every printer step does nothing, and
// every item passes without a tax code and without registration. A small family's driver may
// start from it.
#include "printer/family_driver.h"

namespace ecf::printer {

class NoFamilyDriver : public FamilyDriver {
public:
    void openPort(int) override {}
    bool start(int) override { return true; }
    void close() override {}
    TaxCode resolveTaxCode(const SaleItem&) override { return {}; }
    bool registerItem(const SaleItem&, const TaxCode&, common::Money) override { return true; }
    void closeCoupon(const SaleRecord&) override {}
    void receipts(const SaleRecord&) override {}
    void xReading() override {}
    void zReduction() override {}
    void cancelCoupon(CancelKind) override {}
    void programPaymentForms(const std::vector<std::string>&) override {}
    void listPaymentForms(std::vector<std::string>&) override {}
    void fiscalMemory(const std::string&, const std::string&) override {}
};

} // namespace ecf::printer
