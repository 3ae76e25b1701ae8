#include "TfoRelMemoriaFiscal.h"

#include "DateMaskEdit.h"
#include "WindowSupport.h"
#include "app/application.h"
#include "utilities/rel_memoria_fiscal.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfoRelMemoriaFiscal::TfoRelMemoriaFiscal(ecf::app::Application& app, QWidget* parent)
    : QWidget(parent, Qt::Window), app_(app)
{
    setObjectName("foRelMemoriaFiscal");
    setWindowTitle(QString::fromUtf8("Emissão da leitura da memória fiscal"));

    auto& logic = app_.relMemoriaFiscal();
    Label1 = new QLabel("Data inicial", this);
    Label1->setObjectName("Label1");
    MaskEdit1 = new DateMaskEdit(this);
    MaskEdit1->setObjectName("MaskEdit1");
    MaskEdit1->setMaskedText(QString::fromStdString(logic.maskEdit1));
    Label2 = new QLabel("Data final", this);
    Label2->setObjectName("Label2");
    MaskEdit2 = new DateMaskEdit(this);
    MaskEdit2->setObjectName("MaskEdit2");
    MaskEdit2->setMaskedText(QString::fromStdString(logic.maskEdit2));
    for (DateMaskEdit* e : {MaskEdit1, MaskEdit2})
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16);

    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("Fechar", this);
    Button2->setObjectName("Button2");

    auto* dates = new QGridLayout;
    dates->addWidget(Label1, 0, 0);
    dates->addWidget(MaskEdit1, 1, 0);
    dates->addWidget(Label2, 0, 1);
    dates->addWidget(MaskEdit2, 1, 1);
    dates->setHorizontalSpacing(32);
    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(dates);
    centred->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addStretch();
    layout->addLayout(centred);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] {
        takeDates();
        app_.handle([this] { app_.relMemoriaFiscal().printReading(); });
    });
    connect(Button2, &QPushButton::clicked, this, [this] {
        takeDates();
        app_.handle([this] { app_.relMemoriaFiscal().closeWindow(); });
    });

    resize(383, 218);
    ecf::gui::centreOnScreen(*this);
}

// The logic reads the dates as the edits show them, ten characters each.
void TfoRelMemoriaFiscal::takeDates()
{
    auto& logic = app_.relMemoriaFiscal();
    logic.maskEdit1 = MaskEdit1->maskedText().toStdString();
    logic.maskEdit2 = MaskEdit2->maskedText().toStdString();
}
