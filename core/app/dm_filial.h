#pragma once
// TDMFilial, the branch data module: this program uses only its access table TAcesso.
#include "data/table.h"

namespace ecf::app {

class DMFilial {
public:
    data::Table TAcesso{"Acesso.db"};
};

} // namespace ecf::app
