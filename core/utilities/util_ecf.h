#pragma once
// TfoUtilEcf, the utilities window: the fiscal day operations on the printer that start-up
// opened. Created by "Utilitários", destroyed when closed.
#include "data/table.h"

namespace ecf::app {
class Application;
}

namespace ecf::utilities {

class UtilEcf {
public:
    explicit UtilEcf(app::Application& app);

    void onShow();        // re-reads FatModNf, PortaEcf, ModeloEcf into the start-up configuration
    void button1Click();  // "Leitura X"
    void button2Click();  // "Redução Z"
    void button3Click();  // "Cancela Último Cupom"
    void button4Click();  // "Fecha Cupom Aberto"
    void button5Click();  // "Cadastra Formas Pgto."
    void button6Click();  // "Leitura Memória Fiscal"
    void button7Click();  // "Fechar"

    data::Table TFormaPagto{"FormaPtg.db"};
    data::Table TFilial{"Filial.DB"};

private:
    bool checks();        // port text and model code configured

    app::Application& app_;
};

} // namespace ecf::utilities
