#include "TfoQtdCopias.h"

#include "WindowSupport.h"
#include "app/application.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

TfoQtdCopias::TfoQtdCopias(ecf::app::Application& app, QWidget* parent)
    : TfoQtdCopias(ecf::report::reportSettings(),
                   [a = &app](const std::function<void()>& event) { a->handle(event); }, parent)
{
}

TfoQtdCopias::TfoQtdCopias(ecf::report::ReportSettings& settings, ErrorHandler handler, QWidget* parent)
    : QDialog(parent), handler_(std::move(handler)), logic_(settings)
{
    setObjectName("foQtdCopias");
    setWindowTitle("Quantidade de Copias");
    setModal(true);

    Label1 = new QLabel("Quantidade de Copias", this);
    Label1->setObjectName("Label1");
    spnQtdCopias = new QSpinBox(this);
    spnQtdCopias->setObjectName("spnQtdCopias");
    spnQtdCopias->setRange(ecf::report::QtdCopias::kMinCopies, ecf::report::QtdCopias::kMaxCopies);
    spnQtdCopias->setValue(logic_.spnQtdCopias());
    QFont bold = spnQtdCopias->font();
    bold.setBold(true);
    spnQtdCopias->setFont(bold);
    spnQtdCopias->setFixedWidth(spnQtdCopias->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 40);
    Label1->setBuddy(spnQtdCopias);

    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, [this] {
        bool done = false;
        handler_([this, &done] {
            logic_.setSpnQtdCopias(spnQtdCopias->value());
            logic_.ok();
            done = true;
        });
        if (done)
            accept();
    });

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(Label1);
    row->addWidget(spnQtdCopias);
    row->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    layout->addLayout(buttons);

    setFixedSize(qMax(260, sizeHint().width()), 130);
    ecf::gui::centreOnScreen(*this);
}

void TfoQtdCopias::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The dialog is centred each time it is shown.
    if (!event->spontaneous())
        ecf::gui::centreOnScreen(*this);
}
