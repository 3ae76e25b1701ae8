#include "utilities/formas_pagamento.h"

#include "common/operator_port.h"
#include "common/text.h"
#include "printer/printer.h"
#include "utilities/printer_watch.h"

namespace ecf::utilities {

MostraFormasPagamento::MostraFormasPagamento(common::OperatorPort& op, printer::Printer& printer,
                                             common::Outcome* outcome)
    : op_(op), printer_(printer), outcome_(outcome)
{
}

void MostraFormasPagamento::onShow()
{
    // The window shows its list as it stands when the handler ends, also when an error
    // ends it (the list then keeps what it held).
    const auto report = [this] {
        items_.clear();
        items_.reserve(raw_.size());
        for (const auto& entry : raw_)
            items_.push_back(common::toUtf8(entry, 1252));
        op_.listShown(items_);
    };
    try {
        runWatched(printer_, outcome_, [this] { printer_.driver().listPaymentForms(raw_); });
    } catch (...) {
        report();
        throw;
    }
    report();
}

} // namespace ecf::utilities
