// The tiny family's folder: its emulator, its driver and its entry.
#include "seventh_family/tiny_lib.h"

#include "common/format.h"
#include "printer/emulated_printer.h"
#include "printer/family.h"
#include "printer/family_parts.h"
#include "printer/no_family_driver.h"

namespace ecf::test::tiny {

namespace {

class TinyEmulator : public TinyLib {
public:
    explicit TinyEmulator(EmulatedPrinter& printer) : printer_(printer) {}
    TINY_FUNCTIONS(ECF_MAKER_OVERRIDE)

private:
    EmulatedPrinter& printer_;
    int count_ = 0;
};

int TinyEmulator::TinyOpen(Text header)
{
    count_ = 0;
    printer_.print(header);
    return 0;
}

int TinyEmulator::TinySell(Text description, int cents, IntOut count)
{
    printer_.print(description + " " + std::to_string(cents));
    count = ++count_;
    return 0;
}

int TinyEmulator::TinyClose(TextBuffer reply)
{
    CallPipeline::writeReply(reply.data(), reply.size(), "OK " + std::to_string(count_));
    return 0;
}

// Sells each item by its description and total; nothing else.
class TinyDriver : public NoFamilyDriver {
public:
    TinyDriver(FamilyContext&, TinyLib& lib) : lib_(lib) {}

    SaleFields saleFields() const override
    {
        return {{}, {{SaleTable::Item, "Num_Item", ReadAs::Integer}, {SaleTable::Item, "Descr_Prod", ReadAs::Text}}, {}};
    }
    bool registerItem(const SaleItem& sale, const TaxCode&, common::Money itemTotal) override
    {
        if (sale.item.integer("Num_Item") == 1 && lib_.TinyOpen("TINY") != 0)
            return false;
        int count = 0;
        return lib_.TinySell(sale.item.text("Descr_Prod"), static_cast<int>(itemTotal.tenThousandths() / 100),
                             count) == 0;
    }
    void closeCoupon(const SaleRecord&) override
    {
        std::string reply(16, ' ');
        lib_.TinyClose(reply);
    }

private:
    TinyLib& lib_;
};

ECF_FAMILY_PARTS(Parts, TinyLib, TINY_FUNCTIONS, TinyEmulator, TinyDriver);

constexpr Model models[] = {{"TINY7"}};

} // namespace

const FamilyEntry family{"tiny", models, &TinyLib::library, &Parts::make};

} // namespace ecf::test::tiny
