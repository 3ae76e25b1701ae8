// The helper process and the maker libraries it loads: the stand-in libraries answer like the
// emulators through it; faulty libraries fail the call, not the program.
#include "printer/bemafi32/bemafi32_emulator.h"
#include "printer/daruma/daruma_emulator.h"
#include "printer/emulated_printer.h"
#include "printer/family.h"
#include "printer/library/hosted_call.h"
#include "printer/library/library_sources.h"
#include "printer/library/maker_protocol.h"
#include "printer/schalter/schalter_emulator.h"
#include "printer/sweda/sweda_emulator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <tuple>

namespace ecf::printer::library {
namespace {

// The hosted libraries, as each family makes them from its list of functions.
ECF_HOSTED_CLASS(HostedSchalter, schalter::SchalterLib, ECF_SCHALTER_FUNCTIONS);
ECF_HOSTED_CLASS(HostedDaruma, daruma::DarumaLib, ECF_DARUMA_FUNCTIONS);
ECF_HOSTED_CLASS(HostedBemaFI32, bemafi32::BemaFI32Lib, ECF_BEMAFI32_FUNCTIONS);
ECF_HOSTED_CLASS(HostedSweda, sweda::SwedaLib, ECF_SWEDA_FUNCTIONS);

using namespace std::chrono_literals;

std::filesystem::path standIn(const std::string& name)
{
    return std::filesystem::path(ECF_STAND_INS_DIR) / ("libstandin_" + name + ".so");
}

HostSettings settings(std::chrono::milliseconds timeout = 10s)
{
    return HostSettings{ECF_HELPER_DIR, timeout, "wine", {}};
}

MakerHost host(const char* family, const std::string& lib, std::chrono::milliseconds timeout = 10s)
{
    return MakerHost(*findLibraryFamily(family), standIn(lib), settings(timeout));
}

TEST(MakerHost, EveryFamilyTableLoadsFromItsStandIn)
{
    for (const FamilyEntry* entry : families()) {
        if (!entry->library || entry->library().control)
            continue;
        const LibraryFamily& f = entry->library();
        MakerHost h(f, standIn(f.family), settings());
        EXPECT_EQ(h.open(), std::nullopt) << f.family;
        EXPECT_TRUE(h.running());
        h.close();
        EXPECT_FALSE(h.running());
    }
}

TEST(MakerHost, CallsOfEveryKindAnswerAsTheEmulator)
{
    EmulatedPrinter printer;
    {
        MakerHost h = host("schalter", "schalter");
        HostedSchalter lib(h);
        schalter::SchalterEmulator emu(printer);
        EXPECT_EQ(lib.ChangePort(1), emu.ChangePort(1));
        EXPECT_EQ(lib.ecfLeituraXSerial(), emu.ecfLeituraXSerial());            // text result
        EXPECT_EQ(lib.ecfStatusAliquotas(2), emu.ecfStatusAliquotas(2));
    }
    {
        MakerHost h = host("daruma", "daruma");
        HostedDaruma lib(h);
        daruma::DarumaEmulator emu(printer);
        std::string viaHost(300, ' '), direct(300, ' ');
        EXPECT_EQ(lib.Daruma_FI_LerAliquotasComIndice(viaHost), emu.Daruma_FI_LerAliquotasComIndice(direct));
        EXPECT_EQ(viaHost, direct);                                              // buffer, length kept
        EXPECT_EQ(lib.Daruma_FI_LeituraMemoriaFiscalData(46000.0, 46010.0), 1); // doubles
    }
    {
        MakerHost h = host("bemafi32", "bemafi32");
        HostedBemaFI32 lib(h);
        bemafi32::BemaFI32Emulator emu(printer);
        int a1 = -7, s1 = -7, t1 = -7, a2 = -7, s2 = -7, t2 = -7;
        EXPECT_EQ(lib.Bematech_FI_RetornoImpressora(a1, s1, t1), emu.Bematech_FI_RetornoImpressora(a2, s2, t2));
        EXPECT_EQ(std::tie(a1, s1, t1), std::tie(a2, s2, t2));                   // by-reference integers
    }
    {
        MakerHost h = host("sweda", "sweda");
        HostedSweda lib(h);
        sweda::SwedaEmulator emu(printer);
        EXPECT_EQ(lib.SwedaOpen(1, 0, 0, 0), 0);
        emu.SwedaOpen(1, 0, 0, 0);
        EXPECT_EQ(lib.SwedaSend("\033.27}"), emu.SwedaSend("\033.27}"));
        char viaHost[513], direct[513];
        std::memset(viaHost, 'q', sizeof viaHost);
        std::memset(direct, 'q', sizeof direct);
        EXPECT_EQ(lib.SwedaRead(viaHost, 512), emu.SwedaRead(direct, 512));
        EXPECT_EQ(0, std::memcmp(viaHost, direct, sizeof viaHost));             // byte 513 untouched
    }
}

TEST(MakerHost, LibraryProblemsAreNamedAtOpening)
{
    test::TempDir dir;
    EXPECT_EQ(MakerHost(*findLibraryFamily("mp20"), dir.path() / "nada.so", settings()).open(),
              "Biblioteca da impressora fiscal não encontrada: \"" + (dir.path() / "nada.so").string() + "\"");

    const auto missing = host("mp20", "partial").open();
    ASSERT_TRUE(missing);
    EXPECT_NE(missing->find("não tem a função FormataTX"), std::string::npos) << *missing;

    test::writeFile(dir.path() / "texto.so", "not a library");
    const auto junk = MakerHost(*findLibraryFamily("mp20"), dir.path() / "texto.so", settings()).open();
    ASSERT_TRUE(junk);
    EXPECT_NE(junk->find("Não foi possível carregar a biblioteca da impressora fiscal"), std::string::npos);

    // A 32-bit library and no 32-bit helper beside the program.
    std::string elf32(64, '\0');
    std::memcpy(elf32.data(), "\x7f" "ELF\x01", 5);
    test::writeFile(dir.path() / "lib32.so", elf32);
    EXPECT_EQ(elfClass(dir.path() / "lib32.so"), 32);
    EXPECT_EQ(elfClass(standIn("mp20")), 64);
    const auto no32 = MakerHost(*findLibraryFamily("mp20"), dir.path() / "lib32.so", HostSettings{dir.path(), 10s, "wine", {}}).open();
    ASSERT_TRUE(no32);
    EXPECT_NE(no32->find("é de 32 bits"), std::string::npos) << *no32;
}

TEST(MakerHost, ThirtyTwoBitLibraryGoesToTheThirtyTwoBitHelper)
{
    if (!std::filesystem::exists(standIn("daruma32")))
        GTEST_SKIP() << "no 32-bit helper in this build";
    MakerHost h = host("daruma", "daruma32");
    ASSERT_EQ(h.open(), std::nullopt);
    HostedDaruma lib(h);
    std::string rates(300, ' ');
    EXPECT_EQ(lib.Daruma_FI_LerAliquotasComIndice(rates), 1);
    EXPECT_EQ(rates, "T11800T21200" + std::string(288, ' '));
    EXPECT_EQ(lib.Daruma_FI_VendeItem("123", "x", "T1", "F", "1", 3, "1", "$", "0,50"), 334);
    EXPECT_EQ(lib.Daruma_FI_LeituraMemoriaFiscalData(46000.25, 46012.75), 12);
}

struct Fault {
    const char* setting; // STANDIN_FAULT
    const char* expected; // in the message
};

TEST(MakerHost, CrashHangAndOverflowFailTheCallNotTheProgram)
{
    const Fault faults[] = {
        {"crash:Bematech_FI_VendeItem:2", "não respondeu à chamada Bematech_FI_VendeItem (o programa auxiliar terminou)"},
        {"hang:Bematech_FI_VendeItem:2", "não respondeu à chamada Bematech_FI_VendeItem (sem resposta em 0,3 s)"},
        {"overflow:Bematech_FI_RetornoAliquotas", "falhou na chamada Bematech_FI_RetornoAliquotas (escreveu além do buffer"},
    };
    for (const Fault& f : faults) {
        test::ScopedEnv env("STANDIN_FAULT", f.setting);
        MakerHost h = host("bemafi32", "bemafi32", 300ms);
        std::vector<std::string> told;
        h.onFailure = [&](const std::string& m) { told.push_back(m); };
        HostedBemaFI32 lib(h);
        ASSERT_EQ(h.open(), std::nullopt);
        std::string rates(79, ' ');
        const int first = std::string(f.setting).starts_with("overflow") ? lib.Bematech_FI_RetornoAliquotas(rates)
                                                                       : lib.Bematech_FI_VendeItem("1", "A", "01", "F", "1", 3, "1", "%", "0");
        const int second = lib.Bematech_FI_VendeItem("1", "A", "01", "F", "1", 3, "1", "%", "0");
        if (std::string(f.setting).starts_with("overflow")) {
            EXPECT_EQ(first, 0);
            EXPECT_EQ(rates, std::string(79, ' ')) << "a failed call leaves the buffer as prepared";
            EXPECT_EQ(second, 0) << "later calls fail at once";
        } else {
            EXPECT_EQ(first, 1);
            EXPECT_EQ(second, 0);
            EXPECT_EQ(lib.Bematech_FI_LeituraX(), 0) << "later calls fail at once";
        }
        ASSERT_EQ(told.size(), 1u) << f.setting;
        EXPECT_NE(told[0].find(f.expected), std::string::npos) << told[0];
        EXPECT_NE(told[0].find(standIn("bemafi32").string()), std::string::npos) << "names the library";
        EXPECT_TRUE(h.failed());
        EXPECT_FALSE(h.running());

        // The next opening starts a fresh helper.
        ASSERT_EQ(h.open(), std::nullopt);
        EXPECT_FALSE(h.failed());
        EXPECT_EQ(lib.Bematech_FI_LeituraX(), 1);
    }
}

} // namespace
} // namespace ecf::printer::library

namespace ecf::printer::library {
namespace {

TEST(MakerProtocol, EveryFamilyTableReachesTheHelperWholeAndATruncatedOneIsRefused)
{
    for (const FamilyEntry* entry : families()) {
        if (!entry->library)
            continue;
        const LibraryFamily& f = entry->library();
        const std::string frame = wire::encodeTable(f);
        const std::string_view payload = std::string_view(frame).substr(4);
        wire::ReceivedFamily got;
        ASSERT_TRUE(wire::decodeTable(payload, got)) << f.family;
        EXPECT_EQ(got.name, f.family);
        EXPECT_EQ(got.control, f.control);
        ASSERT_EQ(got.functions.size(), f.functions.size());
        for (std::size_t i = 0; i < f.functions.size(); ++i) {
            const Signature &a = f.functions[i], &b = got.functions[i];
            EXPECT_EQ(std::string(a.fn) + a.symbol + a.args, std::string(b.fn) + b.symbol + b.args);
            EXPECT_EQ(std::tuple(a.ret, a.bufferSize, a.failure, a.ordinal),
                      std::tuple(b.ret, b.bufferSize, b.failure, b.ordinal));
        }
        for (std::size_t n = 0; n < payload.size(); ++n) {
            wire::ReceivedFamily cut;
            EXPECT_FALSE(wire::decodeTable(payload.substr(0, n), cut)) << f.family << " cut at " << n;
        }
    }
    // An argument kind the helper cannot lay out is refused, not guessed.
    constexpr Signature odd[] = {{"F", "F", "ix", 'i', 0, -1, 0, {}}};
    wire::ReceivedFamily got;
    EXPECT_FALSE(wire::decodeTable(std::string_view(wire::encodeTable({"odd", "", odd})).substr(4), got));
}

} // namespace
} // namespace ecf::printer::library
