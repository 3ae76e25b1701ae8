// Round trips against pxlib, an independent Paradox reader and writer: what we write it reads
// back the same, and what it writes we read the same. Only what pxlib handles correctly is
// compared (it reads nulls of most numeric types as values and writes BCD wrongly).
#include "common/errors.h"
#include "data/paradox/px_format.h"
#include "px_index_files.h"
#include "px_test_util.h"

#include <gtest/gtest.h>
extern "C" {
#include <paradox.h>
}

#include <cstring>

using namespace ecf::test;
using namespace ecf::test::pxt;
using Kind = px::Value::Kind;
using px::FieldType;
using px::Value;

namespace {

void quiet(pxdoc_t*, int, const char*, void*) {}

class PxDoc {
public:
    PxDoc() : doc_(PX_new3(quiet, nullptr, nullptr, nullptr, nullptr)) {}
    ~PxDoc()
    {
        if (open_)
            PX_close(doc_);
        PX_delete(doc_);
    }
    PxDoc(const PxDoc&) = delete;
    PxDoc& operator=(const PxDoc&) = delete;
    bool open(const std::filesystem::path& p)
    {
        open_ = PX_open_file(doc_, p.c_str()) == 0;
        return open_;
    }
    pxdoc_t* get() { return doc_; }
    void setOpen() { open_ = true; }

private:
    pxdoc_t* doc_;
    bool open_ = false;
};

struct PxRecord {
    explicit PxRecord(pxdoc_t* d, int recno) : doc(d), n(PX_get_num_fields(d)), v(PX_retrieve_record(d, recno)) {}
    ~PxRecord()
    {
        if (!v)
            return;
        for (int i = 0; i < n; ++i) {
            if (v[i]->type == pxfAlpha || v[i]->type == pxfBCD || v[i]->type == pxfBytes)
                if (v[i]->value.str.val)
                    doc->free(doc, v[i]->value.str.val);
            doc->free(doc, v[i]);
        }
        doc->free(doc, v);
    }
    PxRecord(const PxRecord&) = delete;
    PxRecord& operator=(const PxRecord&) = delete;
    pxdoc_t* doc;
    int n;
    pxval_t** v;
};

std::vector<px::FieldDef> commonFields()
{
    return {field("Nome", FieldType::Alpha, 20), field("Qtd", FieldType::Short),     field("Codigo", FieldType::Long),
            field("Valor", FieldType::Number),   field("Preco", FieldType::Currency), field("Data", FieldType::Date),
            field("Hora", FieldType::Time),      field("Quando", FieldType::Timestamp), field("Ativo", FieldType::Logical),
            field("Seq", FieldType::AutoInc)};
}

// Record i of the round trips: negatives, zeros and positives of every type.
px::Record sampleRecord(int i)
{
    const int s = (i % 3) - 1; // -1, 0, 1
    return {Value::text("Item " + std::to_string(i) + " \xe7\xe3"),
            Value::integerValue(s * (i * 300 % 32767)),
            Value::integerValue(s * (i * 71234567LL % 2147483647)),
            Value::floatValue(s * (i * 1.25 + 0.001)),
            Value::floatValue(s * (i * 100.01)),
            Value::date(700000 + i * 37),
            Value::time((i * 1234567) % 86400000),
            Value::timestamp(63000000000000.0 + i * 86400000.5),
            Value::logicalValue(i % 2 == 0),
            Value::integerValue(i + 1)};
}

constexpr int recordCount = 60; // several 2k blocks

} // namespace

TEST(ParadoxPxlib, PxlibReadsWhatWeWrite)
{
    TempDir dir;
    const auto db = dir.path() / "OURS.DB";
    auto fields = commonFields();
    fields.push_back(field("Aliq", FieldType::Bcd, 17, 4));
    px::createTable(db, fields, 1252);
    for (int i = 0; i < recordCount; ++i) {
        px::Record r = sampleRecord(i);
        Value bcd;
        bcd.kind = Kind::Bcd;
        bcd.bytes = std::to_string((i % 3 - 1) * i) + ".0625";
        r.push_back(bcd);
        if (i == 5) {
            r[0] = Value::null();
            r[1] = Value::null();
        }
        px::appendRecord(db, r);
    }

    PxDoc doc;
    ASSERT_TRUE(doc.open(db));
    ASSERT_EQ(PX_get_num_records(doc.get()), recordCount);
    ASSERT_EQ(PX_get_num_fields(doc.get()), 11);
    for (int i = 0; i < recordCount; ++i) {
        PxRecord rec(doc.get(), i);
        ASSERT_NE(rec.v, nullptr) << i;
        const px::Record want = sampleRecord(i);
        pxval_t** v = rec.v;
        if (i == 5) {
            EXPECT_TRUE(v[0]->isnull);
            EXPECT_TRUE(v[1]->isnull);
        } else {
            ASSERT_FALSE(v[0]->isnull) << i;
            EXPECT_EQ(std::string(v[0]->value.str.val), want[0].bytes);
            EXPECT_EQ(v[1]->value.lval, want[1].integer) << i;
        }
        EXPECT_EQ(v[2]->value.lval, want[2].integer) << i;
        EXPECT_EQ(v[3]->value.dval, want[3].real) << i;
        EXPECT_EQ(v[4]->value.dval, want[4].real) << i;
        EXPECT_EQ(v[5]->value.lval, want[5].integer) << i;
        EXPECT_EQ(v[6]->value.lval, want[6].integer) << i;
        EXPECT_EQ(v[7]->value.dval, want[7].real) << i;
        EXPECT_EQ(v[8]->value.lval, want[8].logical ? 1 : 0) << i;
        EXPECT_EQ(v[9]->value.lval, want[9].integer) << i;
        const int whole = (i % 3 - 1) * i;
        EXPECT_EQ(std::string(v[10]->value.str.val), std::to_string(whole) + ".0625") << i;
    }
}

TEST(ParadoxPxlib, WeReadWhatPxlibWrites)
{
    TempDir dir;
    const auto db = dir.path() / "THEIRS.DB";
    const auto defs = commonFields();
    {
        PxDoc doc;
        pxdoc_t* d = doc.get();
        auto* pf = static_cast<pxfield_t*>(d->malloc(d, sizeof(pxfield_t) * defs.size(), "fields"));
        for (std::size_t i = 0; i < defs.size(); ++i) {
            pf[i].px_fname = PX_strdup(d, defs[i].name.c_str());
            pf[i].px_ftype = static_cast<char>(defs[i].type);
            pf[i].px_flen = defs[i].size ? defs[i].size : px::format::fixedSize(defs[i].type);
            pf[i].px_fdc = 0;
        }
        ASSERT_EQ(PX_create_file(d, pf, static_cast<int>(defs.size()), db.c_str(), pxfFileTypNonIndexDB), 0);
        doc.setOpen();
        const int size = PX_get_recordsize(d);
        std::vector<char> buf(static_cast<std::size_t>(size));
        for (int i = 0; i < recordCount; ++i) {
            const px::Record r = sampleRecord(i);
            std::memset(buf.data(), 0, buf.size());
            char* p = buf.data();
            std::string name = r[0].bytes;
            PX_put_data_alpha(d, p, 20, name.data());
            p += 20;
            PX_put_data_short(d, p, 2, static_cast<short>(r[1].integer));
            p += 2;
            PX_put_data_long(d, p, 4, static_cast<int>(r[2].integer));
            p += 4;
            PX_put_data_double(d, p, 8, r[3].real);
            p += 8;
            PX_put_data_double(d, p, 8, r[4].real);
            p += 8;
            PX_put_data_long(d, p, 4, static_cast<int>(r[5].integer));
            p += 4;
            PX_put_data_long(d, p, 4, static_cast<int>(r[6].integer));
            p += 4;
            PX_put_data_double(d, p, 8, r[7].real);
            p += 8;
            PX_put_data_byte(d, p, 1, r[8].logical ? 1 : 0);
            p += 1;
            PX_put_data_long(d, p, 4, static_cast<int>(r[9].integer));
            ASSERT_GE(PX_put_record(d, buf.data()), 0) << i;
        }
    }
    const auto t = px::PxTable::read(db);
    ASSERT_EQ(t.records().size(), static_cast<std::size_t>(recordCount));
    for (int i = 0; i < recordCount; ++i) {
        const px::Record want = sampleRecord(i);
        const px::Record& got = t.records()[static_cast<std::size_t>(i)];
        EXPECT_EQ(got[0].bytes, want[0].bytes) << i;
        // pxlib writes a zero as the null pattern; that reads back as null.
        if (want[1].integer != 0) {
            EXPECT_EQ(got[1].integer, want[1].integer) << i;
        }
        EXPECT_EQ(got[2].integer, want[2].integer) << i;
        EXPECT_EQ(got[3].real, want[3].real) << i;
        EXPECT_EQ(got[4].real, want[4].real) << i;
        EXPECT_EQ(got[5].kind, Kind::Date);
        EXPECT_EQ(got[5].integer, want[5].integer) << i;
        EXPECT_EQ(got[6].integer, want[6].integer) << i;
        EXPECT_EQ(got[7].real, want[7].real) << i;
        EXPECT_EQ(got[8].logical, want[8].logical) << i;
        EXPECT_EQ(got[9].integer, want[9].integer) << i;
    }
    // And we can append to pxlib's table: pxlib then reads both.
    px::appendRecord(db, sampleRecord(100));
    PxDoc doc;
    ASSERT_TRUE(doc.open(db));
    EXPECT_EQ(PX_get_num_records(doc.get()), recordCount + 1);
    PxRecord last(doc.get(), recordCount);
    ASSERT_NE(last.v, nullptr);
    EXPECT_EQ(std::string(last.v[0]->value.str.val), sampleRecord(100)[0].bytes);
}

TEST(ParadoxPxlib, EmptiedTablesOpenEmptyInPxlib)
{
    ECF_NEED_SAMPLES();
    TempDir dir;
    const auto keyed = copySample(dir, "country.db");
    writeFile(dir.path() / "country.PX", indexFile(1, 30));
    px::emptyTable(keyed);
    {
        PxDoc doc;
        ASSERT_TRUE(doc.open(keyed));
        EXPECT_EQ(PX_get_num_records(doc.get()), 0);
        EXPECT_EQ(PX_get_num_fields(doc.get()), 5);
    }
    const auto unkeyed = copySample(dir, "of_cp866.db");
    px::emptyTable(unkeyed);
    px::Record r(19, Value::null());
    for (int i = 0; i < 3; ++i) {
        r[0] = Value::text("N" + std::to_string(i));
        r[5] = Value::floatValue(i + 0.5);
        px::appendRecord(unkeyed, r);
    }
    PxDoc doc;
    ASSERT_TRUE(doc.open(unkeyed));
    ASSERT_EQ(PX_get_num_records(doc.get()), 3);
    for (int i = 0; i < 3; ++i) {
        PxRecord rec(doc.get(), i);
        ASSERT_NE(rec.v, nullptr);
        EXPECT_EQ(std::string(rec.v[0]->value.str.val), "N" + std::to_string(i));
        EXPECT_EQ(rec.v[5]->value.dval, i + 0.5);
    }
}
