// A seventh printer family, registered by a test from its own folder (seventh_family/), prints a
// coupon: its calls are traced under its name, canned and checked against its own success
// values, and its buffer and by-reference integers come back as the list of its functions says.
#include "printer_rig.h"
#include "printer/family.h"
#include "seventh_family/tiny_lib.h"

#include <gtest/gtest.h>

using namespace ecf;
using namespace ecf::test;

namespace {

void registerTiny()
{
    static const bool once = (printer::addFamily(tiny::family), true);
    (void)once;
}

} // namespace

TEST(SeventhFamily, IsOneEntryAndPrintsACoupon)
{
    registerTiny();
    ASSERT_EQ(printer::familyOf("TINY7"), &tiny::family);
    PrinterRig rig("TINY7");
    rig.makeCoupon({}, {{{"Num_Item", I(1)}, {"Descr_Prod", T("CANETA")}},
                        {{"Num_Item", I(2)}, {"Descr_Prod", T("LAPIS")}, {"BT_ICMS", N(2.5)}}});
    ASSERT_TRUE(rig.issue(rig.driver()));

    EXPECT_EQ(rig.calls(), (std::vector<std::string>{R"(TinyOpen("TINY"))", R"(TinySell("CANETA", 1999))",
                                                     R"(TinySell("LAPIS", 250))", R"(TinyClose("                "))"}));
    const auto lines = rig.callLines();
    EXPECT_EQ(lines[0]["family"], "tiny");
    EXPECT_EQ(lines[2]["out"], nlohmann::json::parse("[2]"));
    EXPECT_EQ(lines[3]["out"], "OK 2");
    EXPECT_EQ(rig.emu.tape.back(), "LAPIS 250");
    EXPECT_EQ(rig.printer.pipeline().watch().refusal, "");
}

TEST(SeventhFamily, ItsOwnSuccessValuesStopTheCoupon)
{
    registerTiny();
    PrinterRig rig("TINY7", R"({"calls": {"TinySell": [{"ret": 3}]}})");
    rig.makeCoupon({}, {{{"Num_Item", I(1)}}, {{"Num_Item", I(2)}}});
    EXPECT_FALSE(rig.issue(rig.driver()));
    EXPECT_EQ(rig.calls().size(), 2u);
    EXPECT_EQ(rig.printer.pipeline().watch().refusal, "TinySell returned 3");
}
