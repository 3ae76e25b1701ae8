#include "TfoUtilEcf.h"

#include "TfoTolvar.h"
#include "app/application.h"
#include "utilities/util_ecf.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfoUtilEcf::TfoUtilEcf(ecf::app::Application& app, QWidget* parent)
    : QWidget(parent, Qt::Window), app_(app), logic_(app.utilEcf()), showHandler_(app)
{
    setObjectName("foUtilEcf");
    setWindowTitle("Cupom Fiscal");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);

    QFont larger = font();
    larger.setPixelSize(15);
    auto add = [&](const char* name, const char* caption, bool operation,
                   void (ecf::utilities::UtilEcf::*handler)()) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(name);
        if (operation) {
            b->setFont(larger);
            b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
        }
        layout->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, handler] { click(handler); });
        return b;
    };
    using U = ecf::utilities::UtilEcf;
    Button1 = add("Button1", "Leitura X", true, &U::xReading);
    Button2 = add("Button2", "Redução Z", true, &U::zReduction);
    Button3 = add("Button3", "Cancela Último Cupom", true, &U::cancelLastCoupon);
    Button4 = add("Button4", "Fecha Cupom Aberto", true, &U::closeOpenCoupon);
    Button5 = add("Button5", "Cadastra Formas Pgto.", true, &U::programPaymentForms);
    Button6 = add("Button6", "Leitura Memória Fiscal", true, &U::openFiscalMemory);
    layout->addSpacing(8);
    Button7 = add("Button7", "Fechar", false, &U::closeWindow);

    resize(222, 342);
    ecf::gui::centreOnScreen(*this);
}

TfoUtilEcf::~TfoUtilEcf() { releaseLogic(); }

// The window's logic goes with it, so that the next "Utilitários" starts afresh.
void TfoUtilEcf::releaseLogic()
{
    if (logic_ && app_.utilEcf() == logic_)
        app_.destroyUtilEcf();
    logic_ = nullptr;
}

void TfoUtilEcf::click(void (ecf::utilities::UtilEcf::*handler)())
{
    // The logic lives as long as this window; after a close it waits only for the window to go.
    if (closed_ || !logic_)
        return;
    ecf::utilities::UtilEcf& logic = *logic_;
    app_.handle([&] { (logic.*handler)(); });
    // "Fecha Cupom Aberto" may have freed the main window's "Imprimir".
    if (auto* main = qobject_cast<TfoTolvar*>(parentWidget()))
        main->refresh();
}

void TfoUtilEcf::showForHandler()
{
    showHandler_.show(*this, false, [this] {
        if (logic_)
            logic_->onShow();
    });
}

void TfoUtilEcf::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous() || !logic_)
        return;
    showHandler_.onShowEvent([this] { logic_->onShow(); });
}

void TfoUtilEcf::closeEvent(QCloseEvent* event)
{
    closed_ = true;
    event->accept(); // WA_DeleteOnClose: destroyed once the close event is over
}
