// Reading a 100,000-record table: our engine against pxlib.
//   bench_paradox_read_pxlib [records] [rounds]
// The table (an items table of the host's shape) is written once by pxlib into a temporary
// folder; each round then reads it whole, decoding every field, with each reader. Prints the
// best and the median time of each, and checks that both read the same sums.
#include "data/paradox/px.h"

extern "C" {
#include <paradox.h>
}

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace px = ecf::data::px;

namespace {

void quiet(pxdoc_t*, int, const char*, void*) {}

struct Def {
    const char* name;
    char type;
    int len;
};

const std::vector<Def> defs = {
    {"Filial", pxfAlpha, 4},      {"Num_Nota", pxfLong, 4},     {"Tipo_Nota", pxfAlpha, 2},  {"Cod_Clifor", pxfLong, 4},
    {"DT_ENTRADA", pxfDate, 4},   {"Num_Item", pxfShort, 2},    {"Cod_Reduz", pxfLong, 4},   {"Descr_Prod", pxfAlpha, 40},
    {"Unid_Pad", pxfAlpha, 3},    {"Quantidade", pxfNumber, 8}, {"Preco_Unit", pxfNumber, 8}, {"Vlr_Descit", pxfNumber, 8},
    {"BT_ICMS", pxfNumber, 8},    {"BI_ICMS", pxfNumber, 8},    {"BO_ICMS", pxfNumber, 8},   {"Subst_Trib", pxfAlpha, 1},
    {"BaseIcms", pxfNumber, 8},   {"AliqCupom", pxfNumber, 8},  {"AliqIcms", pxfCurrency, 8}, {"Nivel1", pxfAlpha, 2},
};

void writeTable(const fs::path& db, int records)
{
    pxdoc_t* d = PX_new3(quiet, nullptr, nullptr, nullptr, nullptr);
    auto* pf = static_cast<pxfield_t*>(d->malloc(d, sizeof(pxfield_t) * defs.size(), "fields"));
    for (std::size_t i = 0; i < defs.size(); ++i) {
        pf[i].px_fname = PX_strdup(d, defs[i].name);
        pf[i].px_ftype = defs[i].type;
        pf[i].px_flen = defs[i].len;
        pf[i].px_fdc = 0;
    }
    if (PX_create_file(d, pf, static_cast<int>(defs.size()), db.c_str(), pxfFileTypNonIndexDB) != 0) {
        std::fprintf(stderr, "pxlib cannot create %s\n", db.c_str());
        std::exit(1);
    }
    std::vector<char> buf(static_cast<std::size_t>(PX_get_recordsize(d)));
    for (int r = 0; r < records; ++r) {
        std::memset(buf.data(), 0, buf.size());
        char* p = buf.data();
        for (const auto& f : defs) {
            switch (f.type) {
            case pxfAlpha: {
                std::string s = std::string(f.name).substr(0, static_cast<std::size_t>(f.len - 1)) + std::to_string(r % 7);
                s.resize(std::min<std::size_t>(s.size(), static_cast<std::size_t>(f.len)));
                PX_put_data_alpha(d, p, f.len, s.data());
                break;
            }
            case pxfLong: PX_put_data_long(d, p, 4, r + 1); break;
            case pxfDate: PX_put_data_long(d, p, 4, 738000 + r % 365); break;
            case pxfShort: PX_put_data_short(d, p, 2, static_cast<short>(r % 1000 + 1)); break;
            default: PX_put_data_double(d, p, 8, r * 0.25 + 1); break;
            }
            p += f.len;
        }
        PX_put_record(d, buf.data());
    }
    PX_close(d);
    PX_delete(d);
}

double ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Our engine: the whole table decoded into values.
double readOurs(const fs::path& db, double& sum, std::size_t& count)
{
    const auto t0 = std::chrono::steady_clock::now();
    const auto t = px::PxTable::read(db);
    const auto t1 = std::chrono::steady_clock::now();
    sum = 0;
    for (const auto& r : t.records())
        for (const auto& v : r)
            sum += v.kind == px::Value::Kind::Float ? v.real : static_cast<double>(v.integer);
    count = t.records().size();
    return ms(t1 - t0);
}

// pxlib: every record retrieved as values (and freed, as a reader must).
double readPxlib(const fs::path& db, double& sum, std::size_t& count)
{
    const auto t0 = std::chrono::steady_clock::now();
    pxdoc_t* d = PX_new3(quiet, nullptr, nullptr, nullptr, nullptr);
    if (PX_open_file(d, db.c_str()) != 0) {
        std::fprintf(stderr, "pxlib cannot open %s\n", db.c_str());
        std::exit(1);
    }
    const int n = PX_get_num_records(d);
    const int nf = PX_get_num_fields(d);
    double s = 0;
    for (int r = 0; r < n; ++r) {
        pxval_t** v = PX_retrieve_record(d, r);
        if (!v)
            continue;
        for (int i = 0; i < nf; ++i) {
            if (!v[i]->isnull) {
                if (v[i]->type == pxfNumber || v[i]->type == pxfCurrency)
                    s += v[i]->value.dval;
                else if (v[i]->type != pxfAlpha)
                    s += static_cast<double>(v[i]->value.lval);
            }
            if (v[i]->type == pxfAlpha && v[i]->value.str.val)
                d->free(d, v[i]->value.str.val);
            d->free(d, v[i]);
        }
        d->free(d, v);
    }
    PX_close(d);
    PX_delete(d);
    const auto t1 = std::chrono::steady_clock::now();
    sum = s;
    count = static_cast<std::size_t>(n);
    return ms(t1 - t0);
}

void report(const char* who, std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    std::printf("%-8s best %8.1f ms   median %8.1f ms\n", who, t.front(), t[t.size() / 2]);
}

} // namespace

int main(int argc, char** argv)
{
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    char tmpl[] = "/tmp/ecf-bench-XXXXXX";
    if (!mkdtemp(tmpl))
        return 1;
    const fs::path dir = tmpl;
    const fs::path db = dir / "CFITENS.DB";
    PX_boot();
    writeTable(db, records);
    std::printf("table: %d records, %ju bytes\n", records, static_cast<std::uintmax_t>(fs::file_size(db)));

    std::vector<double> ours, theirs;
    double sumOurs = 0, sumTheirs = 0;
    std::size_t nOurs = 0, nTheirs = 0;
    for (int i = 0; i < rounds; ++i) {
        ours.push_back(readOurs(db, sumOurs, nOurs));
        theirs.push_back(readPxlib(db, sumTheirs, nTheirs));
    }
    report("ours", ours);
    report("pxlib", theirs);
    const bool same = nOurs == nTheirs && sumOurs == sumTheirs;
    std::printf("records read: ours %zu, pxlib %zu; sums %s\n", nOurs, nTheirs, same ? "equal" : "DIFFER");
    PX_shutdown();
    fs::remove_all(dir);
    return same ? 0 : 1;
}
