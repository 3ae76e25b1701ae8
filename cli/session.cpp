#include "session.h"

#include "app/application.h"
#include "app/main_window.h"
#include "common/outcome.h"
#include "printer/emulated_printer.h"
#include "printer/printer.h"

#include <algorithm>
#include <exception>
#include <ostream>

namespace ecf::cli {

Session::Session(Streams& io, bool showPaper) : io_(io), showPaper_(showPaper), op_(io.in, io.out) {}

Session::~Session()
{
    op_.attach(nullptr);
}

bool Session::start()
{
    try {
        app_ = std::make_unique<app::Application>(app::Application::optionsFromEnvironment(op_));
    } catch (const std::exception& e) {
        io_.err << "ecf-cli: " << e.what() << '\n';
        return false;
    }
    op_.attach(app_.get());
    return true;
}

app::Application& Session::app()
{
    return *app_;
}

void Session::run(const std::function<void()>& event)
{
    app_->handle(event);
    if (op_.takeUtilEcfClose())
        app_->destroyUtilEcf();
}

void Session::showMain()
{
    run([this] { app_->main().onShow(); });
}

void Session::openUtilities()
{
    run([this] { app_->main().openUtilities(); });
}

void Session::closeUtilities()
{
    if (app_->utilEcf())
        app_->destroyUtilEcf();
}

int Session::finish()
{
    run([this] { app_->main().onClose(); });
    if (showPaper_) {
        const auto& tape = app_->printer().emulated().tape;
        io_.out << "== paper tape (" << tape.size() << " lines)\n";
        for (const std::string& line : tape)
            io_.out << "| " << line << '\n';
    }
    io_.out << std::flush;
    const common::Outcome& outcome = app_->outcome();
    for (const std::string& line : outcome.notes())
        io_.err << "ecf-cli: " << line << '\n';
    if (op_.exceptionCount() > 0) {
        io_.err << "ecf-cli: an error ended a handler: " << op_.lastException() << '\n';
        return kExitError;
    }
    if (outcome.isNotDone()) {
        io_.err << "ecf-cli: not done: " << outcome.why() << '\n';
        return kExitNotDone;
    }
    return kExitOk;
}

bool takeShowPaper(std::vector<std::string>& args)
{
    const auto it = std::remove(args.begin(), args.end(), std::string("--show-paper"));
    const bool found = it != args.end();
    args.erase(it, args.end());
    return found;
}

} // namespace ecf::cli
