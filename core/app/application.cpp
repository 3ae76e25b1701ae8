#include "app/application.h"

#include "access/access_check.h"
#include "app/dm_filial.h"
#include "app/main_window.h"
#include "app/traced_operator.h"
#include "common/errors.h"
#include "coupon/coupon_journal.h"
#include "common/text.h"
#include "common/trace.h"
#include "printer/canned.h"
#include "printer/library/library_sources.h"
#include "printer/printer.h"
#include "utilities/formas_pagamento.h"
#include "utilities/rel_memoria_fiscal.h"
#include "utilities/util_ecf.h"

#include <exception>
#include <stdexcept>

namespace ecf::app {

struct Application::Impl {
    explicit Impl(Options& o)
    {
        if (!o.op)
            throw std::invalid_argument("Application needs an operator port");
        if (o.trace) {
            traced = std::make_unique<TracedOperator>(*o.op, o.trace);
            op = traced.get();
        } else {
            op = o.op;
        }
        clock = o.clock ? o.clock : &systemClock;
        trace = o.trace;
    }

    std::unique_ptr<TracedOperator> traced;
    common::OperatorPort* op = nullptr;
    common::StartupConfig config;
    common::Clock systemClock;
    const common::Clock* clock = nullptr;
    std::shared_ptr<common::Trace> trace;
    common::Outcome outcome;

    // In the order of the program's start (the printer connection is the main window's).
    std::unique_ptr<printer::Printer> printer;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<utilities::MostraFormasPagamento> formasPagamento;
    std::unique_ptr<utilities::RelMemoriaFiscal> relMemoriaFiscal;
    std::unique_ptr<DMFilial> dmFilial;
    std::unique_ptr<access::AccessCheck> access;
    std::unique_ptr<utilities::UtilEcf> utilEcf;
};

Application::Options Application::optionsFromEnvironment(common::OperatorPort& op)
{
    Options o;
    o.op = &op;
    o.trace = common::Trace::fromEnvironment();
    o.canned = printer::CannedResults::fromEnvironment();
    o.libraries = printer::library::LibrarySources::fromEnvironment();
    return o;
}

Application::Application(Options options) : impl_(std::make_unique<Impl>(options))
{
    Impl& i = *impl_;
    printer::Printer::Options po;
    po.trace = options.trace;
    po.canned = options.canned;
    po.workDir = options.workDir;
    po.libraries = options.libraries;
    po.outcome = &i.outcome;
    i.printer = std::make_unique<printer::Printer>(i.config, *i.op, *i.clock, std::move(po));
    i.main = std::make_unique<MainWindow>(*this);
    i.formasPagamento = std::make_unique<utilities::MostraFormasPagamento>(*i.op, *i.printer, &i.outcome);
    i.relMemoriaFiscal = std::make_unique<utilities::RelMemoriaFiscal>(*i.op, *i.printer, &i.outcome);
    // The data module comes before the access check, which reads its access table.
    i.dmFilial = std::make_unique<DMFilial>();
    i.access = std::make_unique<access::AccessCheck>(*i.op, *i.clock, i.dmFilial->TAcesso);
}

Application::~Application()
{
    // The utilities window goes first; the others in the reverse order of their creation.
    if (impl_) {
        impl_->utilEcf.reset();
        impl_->access.reset();
        impl_->dmFilial.reset();
        impl_->relMemoriaFiscal.reset();
        impl_->formasPagamento.reset();
        impl_->main.reset();
        impl_->printer.reset();
    }
}

void Application::handle(const std::function<void()>& event)
{
    try {
        event();
    } catch (const std::exception& e) {
        op().exception(common::errorText(e.what()));
    } catch (...) {
        op().exception("Unknown exception");
    }
}

common::OperatorPort& Application::op() { return *impl_->op; }
common::Outcome& Application::outcome() { return impl_->outcome; }
common::Trace* Application::trace() { return impl_->trace.get(); }
common::StartupConfig& Application::config() { return impl_->config; }
const common::Clock& Application::clock() const { return *impl_->clock; }
printer::Printer& Application::printer() { return *impl_->printer; }
MainWindow& Application::main() { return *impl_->main; }
DMFilial& Application::dmFilial() { return *impl_->dmFilial; }
access::AccessCheck& Application::access() { return *impl_->access; }
utilities::MostraFormasPagamento& Application::formasPagamento() { return *impl_->formasPagamento; }
utilities::RelMemoriaFiscal& Application::relMemoriaFiscal() { return *impl_->relMemoriaFiscal; }

utilities::UtilEcf* Application::utilEcf() { return impl_->utilEcf.get(); }

utilities::UtilEcf& Application::createUtilEcf()
{
    if (!impl_->utilEcf)
    {
        impl_->utilEcf = std::make_unique<utilities::UtilEcf>(*impl_->op, impl_->config, *impl_->printer, *impl_->access,
                                                              impl_->outcome);
        // A coupon the journal shows left open on the printer counts as settled once the
        // operator has run "Fecha Cupom Aberto".
        impl_->utilEcf->openCouponClosed = [this] {
            coupon::CouponJournal::inStateFolder().openCouponClosed(coupon::currentDatabase());
            impl_->main->openCouponClosed();
        };
        // A coupon the printer closed whose tables are still there is no longer printed once
        // it was cancelled: handed over again, it is a new sale.
        impl_->utilEcf->lastCouponCancelled = [] {
            coupon::CouponJournal::inStateFolder().lastCouponCancelled(coupon::currentDatabase());
        };
    }
    return *impl_->utilEcf;
}

void Application::destroyUtilEcf() { impl_->utilEcf.reset(); }

} // namespace ecf::app
