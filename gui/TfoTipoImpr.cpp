#include "TfoTipoImpr.h"

#include "WindowSupport.h"
#include "app/application.h"
#include "common/text.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStringList>
#include <QUtf8StringView>
#include <QVBoxLayout>

#include <algorithm>

using ecf::report::TipoImprButton;

namespace {

// The system's printers by the names Qt's print support lists (the CUPS destinations), each
// once. A name stands for its own port: Qt gives no device URI, and the printer's location
// ("PDF" for CUPS's PDF printer) is no port.
class SystemPrinters : public ecf::report::PrinterSource {
public:
    std::vector<std::string> printerEntries() override
    {
        std::vector<std::string> entries;
        for (const QString& name : QPrinterInfo::availablePrinterNames()) {
            std::string entry = name.toStdString();
            if (std::find(entries.begin(), entries.end(), entry) == entries.end())
                entries.push_back(std::move(entry));
        }
        return entries;
    }
};

class SystemPrintDialog : public ecf::report::PrintDialogOpener {
public:
    SystemPrintDialog(QPrinter& printer, QWidget* parent) : printer_(printer), parent_(parent) {}
    void openPrintDialog() override
    {
        QPrintDialog dialog(&printer_, parent_);
        dialog.exec();
    }

private:
    QPrinter& printer_;
    QWidget* parent_;
};

// Entries from the system are UTF-8; lines of "Printers.txt" may be in the host's code page.
QString shown(const std::string& text)
{
    if (QUtf8StringView(text).isValidUtf8())
        return QString::fromStdString(text);
    return QString::fromStdString(ecf::common::toUtf8(text, 1252));
}

// `missing`: the entry of a stored printer that today's list does not have, named as such.
void fill(QComboBox* box, const std::vector<std::string>& items, int index, int missing = -1)
{
    QStringList texts;
    for (const auto& item : items)
        texts << shown(item);
    if (missing >= 0 && missing < texts.size())
        texts[missing] += QString::fromUtf8(" (não encontrada)");
    QStringList current;
    for (int i = 0; i < box->count(); ++i)
        current << box->itemText(i);
    const QSignalBlocker block(box);
    if (current != texts) {
        box->clear();
        box->addItems(texts);
    }
    box->setCurrentIndex(index);
}

} // namespace

TfoTipoImpr::TfoTipoImpr(ecf::app::Application& app, QWidget* parent)
    : TfoTipoImpr(ecf::report::reportSettings(),
                  [a = &app](const std::function<void()>& event) { a->handle(event); }, nullptr, nullptr, parent)
{
}

TfoTipoImpr::TfoTipoImpr(ecf::report::ReportSettings& settings, ErrorHandler handler,
                         ecf::report::PrinterSource* printers, ecf::report::PrintDialogOpener* printDialog,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), handler_(std::move(handler))
{
    if (!printers) {
        ownPrinters_ = std::make_unique<SystemPrinters>();
        printers = ownPrinters_.get();
    }
    if (!printDialog) {
        ownPrintDialog_ = std::make_unique<SystemPrintDialog>(printer_, this);
        printDialog = ownPrintDialog_.get();
    }
    logic_ = std::make_unique<ecf::report::TipoImpr>(settings, *printers, *printDialog);
    build();
    showState();
}

TfoTipoImpr::~TfoTipoImpr() = default;

void TfoTipoImpr::build()
{
    setObjectName("foTipoImpr");
    setWindowTitle(QString::fromUtf8("Tipo de Impressão"));
    setModal(true);

    auto radio = [this](QRadioButton*& button, const char* name, const char* caption, TipoImprButton which) {
        button = new QRadioButton(QString::fromUtf8(caption), this);
        button->setObjectName(name);
        // The logic keeps the pairs exclusive and may leave both of a pair unchecked.
        button->setAutoExclusive(false);
        connect(button, &QRadioButton::clicked, this, [this, which] { run([this, which] { logic_->click(which); }); });
    };
    radio(rbGrafico, "rbGrafico", "Grafico", TipoImprButton::Grafico);
    radio(rbTexto, "rbTexto", "Texto", TipoImprButton::Texto);
    radio(rbCompacta, "rbCompacta", "Compactada", TipoImprButton::Compacta);
    radio(rbNormal, "rbNormal", "Normal", TipoImprButton::Normal);
    radio(rbRetrato, "rbRetrato", "Retrato", TipoImprButton::Retrato);
    radio(rbPaisagem, "rbPaisagem", "Paisagem", TipoImprButton::Paisagem);

    Label1 = new QLabel("Linhas por pagina", this);
    Label1->setObjectName("Label1");
    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setObjectName("MaskEdit1");
    MaskEdit1->setMaxLength(static_cast<int>(ecf::report::TipoImpr::kMaskLength));
    MaskEdit1->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), MaskEdit1));
    MaskEdit1->setAlignment(Qt::AlignRight);
    MaskEdit1->setFixedWidth(MaskEdit1->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    Label1->setBuddy(MaskEdit1);

    Label2 = new QLabel("Impressora", this);
    Label2->setObjectName("Label2");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBox1->setMinimumContentsLength(20);
    ComboBox1->installEventFilter(this);
    Label2->setBuddy(ComboBox1);
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName("ComboBox2");
    ComboBox2->hide();
    connect(ComboBox1, &QComboBox::activated, this,
            [this](int index) { run([this, index] { logic_->comboBox1Changed(index); }); });

    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, [this] {
        bool closed = false;
        run([this, &closed] { closed = logic_->ok(); });
        if (closed)
            accept();
    });

    auto group = [this](QGroupBox*& box, const char* name, const char* title, QRadioButton* a, QRadioButton* b) {
        box = new QGroupBox(QString::fromUtf8(title), this);
        box->setObjectName(name);
        auto* l = new QVBoxLayout(box);
        l->addWidget(a);
        l->addWidget(b);
        return l;
    };
    auto* mode = group(GroupBox1, "GroupBox1", "Modo", rbGrafico, rbTexto);
    auto* lines = new QHBoxLayout;
    lines->addWidget(Label1);
    lines->addWidget(MaskEdit1);
    lines->addStretch();
    mode->addStretch();
    mode->addLayout(lines);
    group(GroupBox2, "GroupBox2", "Caracteres", rbCompacta, rbNormal)->addStretch();
    group(GroupBox3, "GroupBox3", "Orientação", rbRetrato, rbPaisagem)->addStretch();
    QSizePolicy keep = GroupBox3->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    GroupBox3->setSizePolicy(keep);

    auto* groups = new QGridLayout;
    groups->addWidget(GroupBox1, 0, 0, 2, 1);
    groups->addWidget(GroupBox2, 0, 1);
    groups->addWidget(GroupBox3, 1, 1);

    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(Label2);
    printerRow->addWidget(ComboBox1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(printerRow);
    layout->addStretch();
    layout->addLayout(buttons);

    setFixedSize(375, 266);
    ecf::gui::centreOnScreen(*this);
}

void TfoTipoImpr::run(const std::function<void()>& event)
{
    logic_->setMaskEdit1(MaskEdit1->text().toStdString());
    handler_(event);
    showState();
}

void TfoTipoImpr::showState()
{
    const auto& l = *logic_;
    const std::pair<QRadioButton*, TipoImprButton> buttons[] = {
        {rbGrafico, TipoImprButton::Grafico}, {rbTexto, TipoImprButton::Texto},
        {rbCompacta, TipoImprButton::Compacta}, {rbNormal, TipoImprButton::Normal},
        {rbRetrato, TipoImprButton::Retrato}, {rbPaisagem, TipoImprButton::Paisagem},
    };
    for (const auto& [button, which] : buttons)
        button->setChecked(l.checked(which));
    GroupBox3->setVisible(l.groupBox3Visible());
    ComboBox1->setEnabled(l.comboBox1Enabled());
    MaskEdit1->setText(QString::fromStdString(ecf::common::trimBlanks(l.maskEdit1())));
    fill(ComboBox1, l.comboBox1(), l.comboBox1Index(), l.missingPrinterIndex());
    fill(ComboBox2, l.comboBox2(), l.comboBox2Index());
}

void TfoTipoImpr::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        run([this] { logic_->onShow(); });
}

bool TfoTipoImpr::eventFilter(QObject* watched, QEvent* event)
{
    // The operator moving into the printer list; not the window coming back to the front.
    if (watched == ComboBox1 && event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            run([this] { logic_->comboBox1Entered(); });
    }
    return QDialog::eventFilter(watched, event);
}
