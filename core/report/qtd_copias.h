#pragma once
// The logic of the copies dialog TfoQtdCopias ("Quantidade de Copias"): a spin field of 1 to
// 99 copies whose value "OK" stores in the report settings.
#include "report/report_settings.h"

namespace ecf::report {

class QtdCopias {
public:
    static constexpr int kMinCopies = 1;
    static constexpr int kMaxCopies = 99;

    explicit QtdCopias(ReportSettings& settings) : settings_(settings) {}

    // spnQtdCopias: a value outside 1..99 is brought to the nearest limit, as the spin does.
    int spnQtdCopias() const { return spin_; }
    void setSpnQtdCopias(int value);

    // "OK": stores the spin value as the copies count; the dialog then ends with OK.
    void ok();

private:
    ReportSettings& settings_;
    int spin_ = kMinCopies;
};

} // namespace ecf::report
