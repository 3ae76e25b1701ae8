// A 1,000-item coupon printed end to end on each printer family (start-up, every item, the
// closing, the hand-off tables emptied), beside a bare read of the same tables.
//   bench_coupon [items] [rounds] [model...]
// Each round makes a fresh demo database per model (its item table grown to `items` items),
// runs `ecf-cli print` on it in this process and reads CPU time around it; the bare read is the
// header and the linked items opened through the program's table layer, every field the coupon
// reads read in its kind. Prints the best and median round of each and their ratios to the
// bare read's.
#include "commands.h"
#include "data/paradox/px.h"
#include "data/table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
namespace px = ecf::data::px;

namespace {

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

int cli(const std::vector<std::string>& args, const std::string& input = "")
{
    std::istringstream in(input);
    std::ostringstream out, err;
    ecf::cli::Streams io{in, out, err};
    const int rc = ecf::cli::runCli(args, io);
    if (rc != 0)
        std::fprintf(stderr, "ecf-cli %s: exit %d\n%s", args.front().c_str(), rc, err.str().c_str());
    return rc;
}

// The demo database of `model`, its item table replaced by `items` items cycling the demo's.
void makeDatabase(const fs::path& dir, const std::string& model, int items)
{
    if (cli({"make-demo", dir.string(), "--model", model}) != 0)
        std::exit(1);
    const fs::path file = dir / "CFITENS.DB";
    const px::PxTable demo = px::PxTable::read(file);
    const std::size_t numItem = *demo.fieldIndex("Num_Item");
    fs::remove(file);
    px::createTable(file, demo.fields(), demo.info().codePage);
    for (int n = 1; n <= items; ++n) {
        px::Record r = demo.records()[static_cast<std::size_t>(n - 1) % demo.records().size()];
        r[numItem] = px::Value::integerValue(n);
        px::appendRecord(file, r);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int items = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    std::vector<std::string> models = {"SCHALTER30", "FS345", "BEMATECH", "SWEDA", "DARUMA345", "BEMAFI32"};
    if (argc > 3)
        models.assign(argv + 3, argv + argc); // only these models, e.g. to profile one family
    char tmpl[] = "/tmp/ecf-bench-coupon.XXXXXX";
    if (!mkdtemp(tmpl))
        return 1;
    const fs::path root = tmpl;
    const fs::path home = fs::current_path();
    setenv("ECF_STATE_DIR", (root / "state").c_str(), 1);
    unsetenv("ECF_TRACE");
    unsetenv("ECF_EMULATOR");

    // One database made whole, copied for every run.
    const fs::path master = root / "master";
    makeDatabase(master, models.front(), items);

    std::vector<double> bareRuns;
    std::vector<std::vector<double>> runs(models.size());
    std::vector<double> bestWall(models.size(), std::numeric_limits<double>::max());
    for (int round = 0; round < rounds; ++round) {
        // The bare read: what any program must do to print this coupon from these tables. The
        // header opened, the items opened through the same master link as the coupon's, and
        // every field the coupon reads (of any family) read by name in the kind it is read in.
        setenv("VANTIS_DIR", master.c_str(), 1);
        const double t0 = cpuSeconds();
        double sum = 0;
        {
            ecf::data::Table cabec("CFCABEC.DB");
            ecf::data::Table itens("CFITENS.DB");
            itens.setMaster(&cabec, {"Filial", "Num_Nota", "Tipo_Nota", "Cod_Clifor", "DT_ENTRADA"});
            cabec.open();
            itens.open();
            for (const char* f : {"Num_Nota", "Cod_Clifor", "Cod_Vend1", "TipoPagNum", "NumValeTroco"})
                sum += cabec.fieldByName(f).asInteger();
            for (const char* f : {"Vlr_Nota", "VlrDinheiro", "VlrTicket", "VlrValeAberto"})
                sum += cabec.fieldByName(f).asMoney().toDouble();
            for (const char* f : {"Icms", "CGC", "Cliente", "CNPJ", "Endereco", "LinhaVenc", "FormaPag"})
                sum += static_cast<double>(cabec.fieldByName(f).asString().size());
            for (itens.first(); !itens.eof(); itens.next()) {
                for (const char* f : {"Num_Item", "Cod_Reduz"})
                    sum += itens.fieldByName(f).asInteger();
                for (const char* f : {"Quantidade", "Preco_Unit", "AliqCupom", "AliqIcms", "BT_ICMS", "BI_ICMS", "BO_ICMS"})
                    sum += itens.fieldByName(f).asMoney().toDouble();
                for (const char* f : {"Vlr_Descit", "BaseIcms"})
                    sum += itens.fieldByName(f).asFloat();
                for (const char* f : {"Descr_Prod", "Unid_Pad", "Subst_Trib", "Nivel1"})
                    sum += static_cast<double>(itens.fieldByName(f).asString().size());
            }
            itens.close();
            cabec.close();
        }
        bareRuns.push_back(cpuSeconds() - t0);
        if (sum == 0)
            return 1;

        for (std::size_t m = 0; m < models.size(); ++m) {
            const fs::path dir = root / (models[m] + "-" + std::to_string(round));
            if (cli({"make-demo", dir.string(), "--model", models[m]}) != 0)
                return 1;
            fs::copy_file(master / "CFITENS.DB", dir / "CFITENS.DB", fs::copy_options::overwrite_existing);
            setenv("VANTIS_DIR", dir.c_str(), 1);
            fs::current_path(dir); // where the MP-20 library writes its reply file
            const double t1 = cpuSeconds();
            const auto w1 = std::chrono::steady_clock::now();
            const int rc = cli({"print"}, "sim\nsim\nsim\n");
            runs[m].push_back(cpuSeconds() - t1);
            bestWall[m] = std::min(bestWall[m],
                                   std::chrono::duration<double>(std::chrono::steady_clock::now() - w1).count());
            fs::current_path(home);
            if (rc != 0 || !px::PxTable::read(dir / "CFITENS.DB").records().empty()) {
                std::fprintf(stderr, "%s: the coupon did not print whole\n", models[m].c_str());
                return 1;
            }
            fs::remove_all(dir);
        }
    }
    const auto best = [](std::vector<double> v) { return *std::min_element(v.begin(), v.end()); };
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    std::printf("%d items, %d rounds: CPU time best and median, ratio of each to the bare read's, best elapsed time\n",
                items, rounds);
    std::printf("  %-12s %8.4f s %8.4f s\n", "bare read", best(bareRuns), median(bareRuns));
    for (std::size_t m = 0; m < models.size(); ++m)
        std::printf("  %-12s %8.4f s %8.4f s  %5.2fx %5.2fx  %8.4f s\n", models[m].c_str(), best(runs[m]),
                    median(runs[m]), best(runs[m]) / best(bareRuns), median(runs[m]) / median(bareRuns), bestWall[m]);
    fs::remove_all(root);
    return 0;
}
