// A 1,000-item coupon printed end to end on each printer family (start-up, every item, the
// closing, the hand-off tables emptied), beside a bare read of the same tables.
//   bench_coupon [items] [rounds] [model...]
// Each round makes a fresh demo database per model (its item table grown to `items` items),
// runs `ecf-cli print` on it in this process and reads CPU time around it; the bare read is the
// header and item tables opened as the program opens them, every field of every record read. Prints the best round of each and
// the ratio to the bare read.
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
#include <map>
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
    std::map<std::string, std::vector<px::FieldDef>> layouts;
    for (const char* name : {"CFCABEC.DB", "CFITENS.DB"})
        layouts[name] = px::PxTable::read(master / name).fields();

    double bare = std::numeric_limits<double>::max();
    std::vector<double> best(models.size(), std::numeric_limits<double>::max());
    std::vector<double> bestWall(models.size(), std::numeric_limits<double>::max());
    for (int round = 0; round < rounds; ++round) {
        // The bare read: both tables opened as the program opens them, every field of every
        // record read by name in its own kind (text, integer, floating, money).
        setenv("VANTIS_DIR", master.c_str(), 1);
        const double t0 = cpuSeconds();
        double sum = 0;
        for (const char* name : {"CFCABEC.DB", "CFITENS.DB"}) {
            ecf::data::Table table(name);
            table.open();
            for (table.first(); !table.eof(); table.next())
                for (const px::FieldDef& f : layouts.at(name)) {
                    const auto field = table.fieldByName(f.name);
                    switch (f.type) {
                    case px::FieldType::Long: sum += field.asInteger(); break;
                    case px::FieldType::Number: sum += field.asFloat(); break;
                    case px::FieldType::Currency: sum += field.asMoney().toDouble(); break;
                    default: sum += static_cast<double>(field.asString().size()); break;
                    }
                }
            table.close();
        }
        bare = std::min(bare, cpuSeconds() - t0);
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
            best[m] = std::min(best[m], cpuSeconds() - t1);
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
    std::printf("%d items, best of %d rounds: CPU time, ratio to the bare read, elapsed time\n", items, rounds);
    std::printf("  %-12s %8.4f s\n", "bare read", bare);
    for (std::size_t m = 0; m < models.size(); ++m)
        std::printf("  %-12s %8.4f s  %5.2fx  %8.4f s\n", models[m].c_str(), best[m], best[m] / bare, bestWall[m]);
    fs::remove_all(root);
    return 0;
}
