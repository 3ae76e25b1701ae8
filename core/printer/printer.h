#pragma once
// The printer connection as the rest of the program sees it: the maker interfaces of the six
// families (each traced, over its emulator), the tax table, and for the configured model code
// the family's driver, which knows everything that family sends for every operation.
// Nothing outside printer/ branches on a model code.
#include "common/operator_port.h"
#include "common/startup_config.h"
#include "common/clock.h"
#include "common/money.h"
#include "printer/models.h"
#include "printer/tax_table.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ecf::common {
class Trace;
}
namespace ecf::data {
class Table;
}
namespace ecf::printer::schalter { class SchalterLib; }
namespace ecf::printer::sigtron { class SigtronControl; }
namespace ecf::printer::mp20 { class Mp20Lib; }
namespace ecf::printer::sweda { class SwedaLib; class SwedaChannel; }
namespace ecf::printer::daruma { class DarumaLib; }
namespace ecf::printer::bemafi32 { class BemaFI32Lib; }

namespace ecf::printer {

class CannedResults;
class CallPipeline;
class EmulatedPrinter;

// An item's tax code: a text for five families, a tax index for the Schalter family.
struct TaxCode {
    std::string text;
    int index = 0;
};

// The records the coupon issue reads: the header (in edit mode from the closing stage on),
// the current item, the branch record.
struct CouponRecords {
    data::Table& cabec;
    data::Table& itens;
    data::Table& filial;
};

enum class CancelKind { LastCoupon, OpenCoupon }; // "Cancela Último Cupom", "Fecha Cupom Aberto"

// The traced maker interfaces of the process (all six are set in the program; a test may set
// only those its family uses).
struct MakerInterfaces {
    schalter::SchalterLib* schalter = nullptr;
    sigtron::SigtronControl* sigtron = nullptr;
    mp20::Mp20Lib* mp20 = nullptr;
    sweda::SwedaLib* sweda = nullptr;
    daruma::DarumaLib* daruma = nullptr;
    bemafi32::BemaFI32Lib* bemafi32 = nullptr;
};

// What a family's operations work with.
struct FamilyContext {
    app::StartupConfig& config;
    TaxTable& taxTable;
    app::OperatorPort& op;
    const common::Clock& clock;
    MakerInterfaces& makers;
    std::string& mp20ReplyText;          // first line of "MP20FI.RET" as last read by the reply check
    sweda::SwedaChannel* swedaChannel;   // the process-wide Sweda command and reply buffers (Sweda only)
    std::filesystem::path workDir;       // the current folder, where "MP20FI.RET" is
    CallPipeline* pipeline = nullptr;    // for trace lines other than calls (may be null)
};

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
    // True for the model whose start reads the printer coupon number (shown in Label1).
    virtual bool showsCouponNumber() const { return false; }

    // --- coupon issue
    // The item's tax code; shows the not-found message when none is found.
    virtual TaxCode resolveTaxCode(CouponRecords& rec) = 0;
    // Opens the coupon first for Num_Item 1, sells the item, sends its discount. false: the
    // message was shown and the coupon issue stops (error stop).
    virtual bool registerItem(CouponRecords& rec, const TaxCode& taxCode, common::Money itemTotal) = 0;
    // Totals, payment, closing message and closing; the header is already in edit mode.
    virtual void closeCoupon(CouponRecords& rec) = 0;
    // Delivery receipt, additional coupon and paper feed, with the operator's questions.
    virtual void receipts(CouponRecords& rec) = 0;

    // --- utilities (after the window's confirmation and configuration checks)
    virtual void xReading() = 0;
    virtual void zReduction() = 0;
    virtual void cancelCoupon(CancelKind kind) = 0;
    // Programs the payment forms of the open FormaPtg table into the printer.
    virtual void programPaymentForms(data::Table& formaPtg) = 0;
    // Refills `items` (bytes) from the printer's payment forms; may leave it untouched.
    virtual void listPaymentForms(std::vector<std::string>& items) = 0;
    // The fiscal-memory reading for the two masked-edit texts. A date that does not convert
    // throws a conversion error (nothing is sent; the window stays open).
    virtual void fiscalMemory(const std::string& first, const std::string& last) = 0;
};

// The printer connection of the process.
class Printer {
public:
    struct Options {
        std::shared_ptr<common::Trace> trace;          // may be null
        std::shared_ptr<CannedResults> canned;          // may be null
        std::filesystem::path workDir;                  // defaults to the current folder
    };
    Printer(app::StartupConfig& config, app::OperatorPort& op, const common::Clock& clock, Options options);
    ~Printer();

    TaxTable& taxTable() { return taxTable_; }
    // The driver for the configuration's current model code.
    FamilyDriver& driver();
    MakerInterfaces& makers();
    EmulatedPrinter& emulated();  // the emulated printer behind the six interfaces
    std::string& mp20ReplyText() { return mp20ReplyText_; }
    CallPipeline& pipeline();     // every maker call passes it

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    app::StartupConfig& config_;
    app::OperatorPort& op_;
    const common::Clock& clock_;
    TaxTable taxTable_;
    std::string mp20ReplyText_;
};

} // namespace ecf::printer
