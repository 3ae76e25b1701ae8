#pragma once
// TfoRelMemoriaFiscal: the fiscal-memory reading for a range of dates. It has no show
// handler, so the two dates keep what was typed last time.
#include <string>

namespace ecf::app {
class Application;
}

namespace ecf::utilities {

class RelMemoriaFiscal {
public:
    static constexpr const char* emptyDate = "  /  /    "; // the untouched masked edit
    explicit RelMemoriaFiscal(app::Application& app);

    std::string maskEdit1 = emptyDate; // first date, "dd/mm/yyyy"
    std::string maskEdit2 = emptyDate; // last date
    void button1Click();               // "OK": the reading, then the window closes
    void button2Click();               // "Fechar"

private:
    app::Application& app_;
};

} // namespace ecf::utilities
