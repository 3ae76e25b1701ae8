// A 1,000-item coupon through the helper process beside the in-process emulator, for each of
// the five library families: the calls a coupon makes (opening, every item, payment, closing)
// made on the maker interface, once on the emulator and once on the stand-in library (which
// answers with the same emulator) loaded in ecf-maker-host. Prints the best of the rounds and
// what the helper adds to each call.
//   bench_maker_host [items] [rounds]     (run from the build folder: it finds stand_ins/ there)
// With the Windows stand-ins built and Wine installed, also through the Windows helper under
// Wine (in WINEPREFIX, or ECF's own prefix).
#include "printer/bemafi32/bemafi32_emulator.h"
#include "printer/daruma/daruma_emulator.h"
#include "printer/emulated_printer.h"
#include "printer/library/hosted_call.h"
#include "printer/library/library_sources.h"
#include "printer/mp20/mp20_emulator.h"
#include "printer/schalter/schalter_emulator.h"
#include "printer/sweda/sweda_emulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace ecf::printer;
using Clock = std::chrono::steady_clock;

namespace {

// The hosted libraries, as each family makes them from its list of functions.
ECF_HOSTED_CLASS(HostedSchalter, schalter::SchalterLib, ECF_SCHALTER_FUNCTIONS);
ECF_HOSTED_CLASS(HostedMp20, mp20::Mp20Lib, ECF_MP20_FUNCTIONS);
ECF_HOSTED_CLASS(HostedSweda, sweda::SwedaLib, ECF_SWEDA_FUNCTIONS);
ECF_HOSTED_CLASS(HostedDaruma, daruma::DarumaLib, ECF_DARUMA_FUNCTIONS);
ECF_HOSTED_CLASS(HostedBemaFI32, bemafi32::BemaFI32Lib, ECF_BEMAFI32_FUNCTIONS);

int items = 1000;
int rounds = 5;

// The calls of one coupon on a library; returns how many calls it made.
int schalterCoupon(schalter::SchalterLib& l)
{
    for (int i = 0; i < items; ++i)
        l.ecfVenda_Item("0000000000123", "ARROZ TIPO 1 5KG", "1", "000", "00001990", 1);
    l.ecfPagCancPag(0, "VALOR PAGO", "1990000", 1, 0);
    l.ecfFimTrans("");
    return items + 2;
}

int mp20Coupon(mp20::Mp20Lib& l)
{
    const std::string esc = "\033";
    l.FormataTX(esc + "|00|" + esc);
    for (int i = 0; i < items; ++i)
        l.FormataTX(esc + "|09|0000000000123|ARROZ TIPO 1 5KG           UN|01|0001000|00001990|0000|" + esc);
    l.FormataTX(esc + "|32|A|0000|" + esc);
    return items + 2;
}

int swedaCoupon(sweda::SwedaLib& l)
{
    char reply[513] = {};
    l.SwedaOpen(1, 0, 0, 0);
    l.SwedaSend("\033.17}");
    for (int i = 0; i < items; ++i) {
        l.SwedaSend("\033.01000000000012300010000000019900000000019900ARROZ TIPO 1 5KG     UN T01}");
        l.SwedaRead(reply, 512);
    }
    l.SwedaSend("\033.12}");
    return 2 * items + 3;
}

template <class Lib>
int fiCoupon(Lib& l, int (Lib::*open)(const std::string&),
             int (Lib::*sell)(const std::string&, const std::string&, const std::string&, const std::string&,
                              const std::string&, int, const std::string&, const std::string&, const std::string&),
             int (Lib::*close)(const std::string&))
{
    (l.*open)("0000000000");
    for (int i = 0; i < items; ++i)
        (l.*sell)("000123", "ARROZ TIPO 1 5KG", "T01", "F", "1,000", 3, "19,900", "%", "0,00");
    (l.*close)("OBRIGADO");
    return items + 2;
}

struct Result {
    double emulatorMs, hostMs;
    int calls;
    double wineColdMs = -1, wineStartMs = -1, wineMs = -1; // under Wine; -1: not measured
};

double bestMs(const std::function<int()>& run, int& calls)
{
    double best = 1e100;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = Clock::now();
        calls = run();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return best;
}

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

template <class Emu, class Hosted, class Coupon>
Result measure(const char* family, const char* windowsFile, const fs::path& standIns, Emu& emu, Coupon&& coupon)
{
    Result res{};
    res.emulatorMs = bestMs([&] { return coupon(emu); }, res.calls);
    library::HostSettings settings = library::hostSettingsFromEnvironment();
    library::MakerHost host(*library::findLibraryFamily(family),
                            standIns / ("libstandin_" + std::string(family) + ".so"), settings);
    if (auto problem = host.open()) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        std::exit(1);
    }
    Hosted hosted(host);
    res.hostMs = bestMs([&] { return coupon(hosted); }, res.calls);

    // The Windows stand-in in the Windows helper under Wine, when both are there: its start
    // with no Wine server running (cold) and with one running, then the same coupon.
    const fs::path dll = standIns / "windows" / windowsFile;
    if (!fs::exists(dll) || std::system("command -v wineserver >/dev/null 2>&1") != 0)
        return res;
    const auto open = [&](library::MakerHost& h) {
        if (auto problem = h.open()) {
            std::fprintf(stderr, "%s\n", problem->c_str());
            std::exit(1);
        }
    };
    {
        library::MakerHost first(*library::findLibraryFamily(family), dll, settings); // makes the prefix
        open(first);
    }
    if (std::system("wineserver -k >/dev/null 2>&1") != 0) {
        // no Wine server was running: the start below is cold all the same
    }
    library::MakerHost cold(*library::findLibraryFamily(family), dll, settings);
    auto t0 = Clock::now();
    open(cold);
    res.wineColdMs = msSince(t0);
    cold.close();
    library::MakerHost wine(*library::findLibraryFamily(family), dll, settings);
    t0 = Clock::now();
    open(wine);
    res.wineStartMs = msSince(t0);
    Hosted hostedWine(wine);
    res.wineMs = bestMs([&] { return coupon(hostedWine); }, res.calls);
    return res;
}

void report(const char* family, const Result& r)
{
    std::printf("%-9s %6d calls  emulator %8.2f ms  through the helper %8.2f ms  added %6.1f us a call\n", family,
                r.calls, r.emulatorMs, r.hostMs, (r.hostMs - r.emulatorMs) * 1000.0 / r.calls);
    if (r.wineMs >= 0)
        std::printf("%-9s under Wine: start %.0f ms cold, %.0f ms with the server running; %8.2f ms, added %6.1f us "
                    "a call\n",
                    "", r.wineColdMs, r.wineStartMs, r.wineMs, (r.wineMs - r.emulatorMs) * 1000.0 / r.calls);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        items = std::max(1, std::atoi(argv[1]));
    if (argc > 2)
        rounds = std::max(1, std::atoi(argv[2]));
    const library::HostSettings settings = library::hostSettingsFromEnvironment();
    const fs::path standIns = settings.helperDir / "stand_ins";
    // `wineserver -k` ends the server of the prefix the helper uses.
    ::setenv("WINEPREFIX", settings.winePrefix.c_str(), 1);
    // The MP-20 library writes its reply file in the current folder.
    const fs::path work = fs::temp_directory_path() / ("ecf-bench-host-" + std::to_string(::getpid()));
    fs::create_directories(work);
    fs::current_path(work);

    EmulatedPrinter printer;
    schalter::SchalterEmulator schalterEmu(printer);
    mp20::Mp20Emulator mp20Emu(printer, work);
    sweda::SwedaEmulator swedaEmu(printer);
    daruma::DarumaEmulator darumaEmu(printer);
    bemafi32::BemaFI32Emulator bemafi32Emu(printer);

    std::printf("a %d-item coupon, best of %d rounds\n", items, rounds);
    report("schalter", measure<schalter::SchalterEmulator, HostedSchalter>(
                           "schalter", "dll32phi.dll", standIns, schalterEmu, [](schalter::SchalterLib& l) { return schalterCoupon(l); }));
    report("mp20", measure<mp20::Mp20Emulator, HostedMp20>(
                       "mp20", "Mp20fi32.dll", standIns, mp20Emu, [](mp20::Mp20Lib& l) { return mp20Coupon(l); }));
    report("sweda", measure<sweda::SwedaEmulator, HostedSweda>(
                        "sweda", "SWECF.DLL", standIns, swedaEmu, [](sweda::SwedaLib& l) { return swedaCoupon(l); }));
    report("daruma", measure<daruma::DarumaEmulator, HostedDaruma>(
                         "daruma", "Daruma32.dll", standIns, darumaEmu, [](daruma::DarumaLib& l) {
                             return fiCoupon<daruma::DarumaLib>(l, &daruma::DarumaLib::Daruma_FI_AbreCupom,
                                                                &daruma::DarumaLib::Daruma_FI_VendeItem,
                                                                &daruma::DarumaLib::Daruma_FI_TerminaFechamentoCupom);
                         }));
    report("bemafi32", measure<bemafi32::BemaFI32Emulator, HostedBemaFI32>(
                           "bemafi32", "BEMAFI32.DLL", standIns, bemafi32Emu, [](bemafi32::BemaFI32Lib& l) {
                               return fiCoupon<bemafi32::BemaFI32Lib>(
                                   l, &bemafi32::BemaFI32Lib::Bematech_FI_AbreCupom,
                                   &bemafi32::BemaFI32Lib::Bematech_FI_VendeItem,
                                   &bemafi32::BemaFI32Lib::Bematech_FI_TerminaFechamentoCupom);
                           }));
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(work);
    return 0;
}
