#include "TfoTolvar.h"

#include "WindowSupport.h"
#include "app/application.h"
#include "app/main_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfoTolvar::TfoTolvar(ecf::app::Application& app, QWidget* parent) : QWidget(parent), app_(app)
{
    setObjectName("foTolvar");
    setWindowTitle("ECF");

    GroupBox1 = new QGroupBox("  Cupom  ", this);
    GroupBox1->setObjectName("GroupBox1");
    Label1 = new QLabel("000000", GroupBox1);
    Label1->setObjectName("Label1");
    QFont big = Label1->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() > 0 ? big.pointSize() * 3 : 27);
    Label1->setFont(big);
    Label1->setAlignment(Qt::AlignCenter);
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    groupLayout->addWidget(Label1);

    Button1 = new QPushButton("Imprimir", this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("Fechar", this);
    Button2->setObjectName("Button2");
    Button3 = new QPushButton("Utilitários", this);
    Button3->setObjectName("Button3");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, [this] { click(&ecf::app::MainWindow::finishSale); });
    connect(Button2, &QPushButton::clicked, this, [this] { click(&ecf::app::MainWindow::requestClose); });
    connect(Button3, &QPushButton::clicked, this, [this] { click(&ecf::app::MainWindow::openUtilities); });

    resize(385, 265);
    ecf::gui::centreOnScreen(*this);
}

void TfoTolvar::refresh()
{
    const ecf::app::MainWindow& logic = app_.main();
    Label1->setText(QString::fromStdString(logic.label1()));
    Button1->setText(QString::fromStdString(logic.button1Caption()));
    Button1->setEnabled(logic.button1Enabled());
}

void TfoTolvar::click(void (ecf::app::MainWindow::*handler)())
{
    ecf::app::MainWindow& logic = app_.main();
    app_.handle([&] { (logic.*handler)(); });
    refresh();
    if (logic.closeRequested())
        close();
}

void TfoTolvar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The start-up sequence runs once, when the program first shows its main window.
    if (started_ || event->spontaneous())
        return;
    started_ = true;
    app_.handle([this] { app_.main().onShow(); });
    refresh();
}

void TfoTolvar::closeEvent(QCloseEvent* event)
{
    if (!closeHandled_) {
        closeHandled_ = true;
        emit closing();
        app_.handle([this] { app_.main().onClose(); });
    }
    event->accept();
    emit closed();
}
