#pragma once
// TfoMostraFormasPagamentoECF: lists the payment forms the printer holds, read back from the
// printer each time the window is shown.
#include <string>
#include <vector>

namespace ecf::common {
class OperatorPort;
class Outcome;
}
namespace ecf::printer {
class Printer;
}

namespace ecf::utilities {

class MostraFormasPagamento {
public:
    // `outcome` (may be null) hears of a listing the printer refused.
    MostraFormasPagamento(common::OperatorPort& op, printer::Printer& printer, common::Outcome* outcome = nullptr);
    void onShow();                                          // refills ComboBox1; reports "list"
    const std::vector<std::string>& items() const { return items_; } // ComboBox1's entries, UTF-8

private:
    common::OperatorPort& op_;
    printer::Printer& printer_;
    common::Outcome* outcome_;
    std::vector<std::string> raw_;    // the entries as the printer gave them (bytes)
    std::vector<std::string> items_;
};

} // namespace ecf::utilities
