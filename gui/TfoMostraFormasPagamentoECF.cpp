#include "TfoMostraFormasPagamentoECF.h"

#include "app/application.h"
#include "utilities/formas_pagamento.h"

#include <QComboBox>
#include <QShowEvent>
#include <QVBoxLayout>

TfoMostraFormasPagamentoECF::TfoMostraFormasPagamentoECF(ecf::app::Application& app, QWidget* parent)
    : QWidget(parent, Qt::Window), app_(app), showHandler_(app)
{
    setObjectName("foMostraFormasPagamentoECF");
    setWindowTitle("Formas de pagamento ECF");

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(false); // choose only
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(ComboBox1);
    layout->addStretch();

    resize(527, 148);
    ecf::gui::centreOnScreen(*this);
}

void TfoMostraFormasPagamentoECF::fill(const std::vector<std::string>& items)
{
    ComboBox1->clear();
    for (const std::string& item : items)
        ComboBox1->addItem(QString::fromStdString(item));
}

void TfoMostraFormasPagamentoECF::runShowHandler()
{
    auto& logic = app_.formasPagamento();
    try {
        logic.onShow();
    } catch (...) {
        fill(logic.items()); // the list as the handler left it
        throw;
    }
    fill(logic.items());
}

void TfoMostraFormasPagamentoECF::showForHandler()
{
    showHandler_.show(*this, true, [this] { runShowHandler(); });
}

void TfoMostraFormasPagamentoECF::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    showHandler_.onShowEvent([this] { runShowHandler(); });
}
