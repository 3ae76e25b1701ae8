#include "report/qtd_copias.h"

#include <algorithm>

namespace ecf::report {

void QtdCopias::setSpnQtdCopias(int value)
{
    spin_ = std::clamp(value, kMinCopies, kMaxCopies);
}

void QtdCopias::ok()
{
    settings_.copies = spin_;
}

} // namespace ecf::report
