// The report dialogs driven through their widgets, with a stub in place of the system's print
// dialog and a fixed printer list.
#include "TfoQtdCopias.h"
#include "TfoTipoImpr.h"
#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <stdexcept>

using namespace ecf;

namespace {

struct FixedPrinters : report::PrinterSource {
    std::vector<std::string> printerEntries() override { return {"Laser on LPT1:", "Jato on usb://HP/DJ"}; }
};

struct StubPrintDialog : report::PrintDialogOpener {
    int opened = 0;
    void openPrintDialog() override { ++opened; }
};

// Stands for the application's default error handler: notes the error and goes on.
struct Errors {
    std::vector<std::string> shown;
    TfoTipoImpr::ErrorHandler handler()
    {
        return [this](const std::function<void()>& event) {
            try {
                event();
            } catch (const std::exception& e) {
                shown.emplace_back(e.what());
            }
        };
    }
};

class ReportGui : public ::testing::Test {
protected:
    ReportGui() { test::qtApp(); }

    test::TempDir drive;
    test::ScopedEnv env{"ECF_DRIVE_C", drive.path().string()};
    report::ReportSettings settings;
    FixedPrinters printers;
    StubPrintDialog printDialog;
    Errors errors;
};

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// A radio button takes clicks on its mark and caption, not on the rest of its width.
void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

} // namespace

TEST_F(ReportGui, TipoImprShowsAndStoresTheSettings)
{
    TfoTipoImpr dlg(settings, errors.handler(), &printers, &printDialog);
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Tipo de Impressão"));
    EXPECT_EQ(dlg.size(), QSize(375, 266));
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowSystemMenuHint);

    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_EQ(items(dlg.ComboBox1), (QStringList{"Laser on LPT1:", "Jato on usb://HP/DJ", "VISUALIZAR"}));
    EXPECT_EQ(items(dlg.ComboBox2), (QStringList{"LPT1", "usb//HP/DJ"}));
    EXPECT_EQ(dlg.ComboBox1->currentText(), "VISUALIZAR");
    EXPECT_FALSE(dlg.ComboBox2->isVisible());
    EXPECT_FALSE(dlg.GroupBox3->isVisible());
    EXPECT_EQ(dlg.MaskEdit1->text(), "66");

    click(dlg.rbGrafico);
    EXPECT_EQ(printDialog.opened, 1);
    EXPECT_TRUE(dlg.GroupBox3->isVisible());
    EXPECT_TRUE(dlg.rbRetrato->isChecked());
    EXPECT_FALSE(dlg.ComboBox1->isEnabled());
    EXPECT_EQ(dlg.MaskEdit1->text(), "066");

    click(dlg.rbPaisagem);
    EXPECT_EQ(dlg.MaskEdit1->text(), "058");
    EXPECT_FALSE(dlg.rbRetrato->isChecked());
    click(dlg.rbPaisagem); // a second click leaves it checked
    EXPECT_TRUE(dlg.rbPaisagem->isChecked());

    click(dlg.rbTexto);
    EXPECT_FALSE(dlg.rbGrafico->isChecked());
    EXPECT_FALSE(dlg.GroupBox3->isVisible());
    EXPECT_TRUE(dlg.ComboBox1->isEnabled());
    click(dlg.rbNormal);

    // The operator picks the first printer with the keyboard and types the lines.
    dlg.ComboBox1->setFocus();
    QTest::keyClick(dlg.ComboBox1, Qt::Key_Home);
    EXPECT_EQ(dlg.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(printDialog.opened, 1); // entering the list in text mode opens nothing
    dlg.MaskEdit1->clear();
    QTest::keyClicks(dlg.MaskEdit1, "45x6");
    EXPECT_EQ(dlg.MaskEdit1->text(), "456");

    QTest::mouseClick(dlg.btnOk, Qt::LeftButton);
    EXPECT_TRUE(errors.shown.empty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(settings.pitch, "\x12");
    EXPECT_EQ(settings.printMode, 'T');
    EXPECT_EQ(settings.orientation, 'P');
    EXPECT_EQ(settings.linesPerPage, 456);
    EXPECT_EQ(settings.printer, "Laser on LPT1:");
    EXPECT_EQ(settings.printerPort, "LPT1");
    EXPECT_EQ(settings.destination, 'I');

    // Shown again: the stored printer is selected and the lines come from the settings.
    dlg.show();
    EXPECT_EQ(dlg.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(dlg.ComboBox2->currentIndex(), 0);
    EXPECT_EQ(dlg.MaskEdit1->text(), "456");
    dlg.hide();

    // The printing system down (no printers listed): the stored printer is shown as not found,
    // stays chosen, and "OK" keeps it.
    struct NoPrinters : report::PrinterSource {
        std::vector<std::string> printerEntries() override { return {}; }
    } none;
    TfoTipoImpr later(settings, errors.handler(), &none, &printDialog);
    later.show();
    EXPECT_EQ(items(later.ComboBox1), (QStringList{QString::fromUtf8("Laser on LPT1: (não encontrada)"), "VISUALIZAR"}));
    EXPECT_EQ(later.ComboBox1->currentIndex(), 0);
    QTest::mouseClick(later.btnOk, Qt::LeftButton);
    EXPECT_EQ(settings.printer, "Laser on LPT1:");
    EXPECT_EQ(settings.printerPort, "LPT1");
    EXPECT_EQ(settings.destination, 'I');
}

TEST_F(ReportGui, TipoImprEmptyLinesKeepTheDialogOpen)
{
    TfoTipoImpr dlg(settings, errors.handler(), &printers, &printDialog);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    click(dlg.rbCompacta);
    dlg.MaskEdit1->clear();
    QTest::mouseClick(dlg.btnOk, Qt::LeftButton);
    ASSERT_EQ(errors.shown, std::vector<std::string>{"'   ' is not a valid integer value"});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(settings.pitch, "\x0F");
    EXPECT_EQ(settings.printMode, 'T');
    EXPECT_EQ(settings.orientation, 'R');
    EXPECT_EQ(settings.destination, '\0');
    EXPECT_EQ(dlg.MaskEdit1->text(), ""); // what the operator left is still there

    // Choosing the preview in graphic mode goes back to text mode.
    click(dlg.rbGrafico);
    emit dlg.ComboBox1->activated(2);
    EXPECT_TRUE(dlg.rbTexto->isChecked());
    EXPECT_EQ(dlg.MaskEdit1->text(), "066");
    dlg.MaskEdit1->clear();
    QTest::keyClicks(dlg.MaskEdit1, "7");
    QTest::mouseClick(dlg.btnOk, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(settings.destination, 'V');
    EXPECT_EQ(settings.linesPerPage, 7);
}

TEST_F(ReportGui, TipoImprGraphicModeOpensThePrintDialogOnShowing)
{
    settings.printMode = 'G';
    settings.orientation = 'P';
    settings.linesPerPage = 58;
    test::writeFile(drive.path() / "Printers.txt", "Matricial\r\nCaixa\xE7\r\n");
    TfoTipoImpr dlg(settings, errors.handler(), &printers, &printDialog);
    dlg.show();
    EXPECT_EQ(printDialog.opened, 1);
    EXPECT_TRUE(dlg.rbGrafico->isChecked());
    EXPECT_TRUE(dlg.rbPaisagem->isChecked());
    EXPECT_TRUE(dlg.GroupBox3->isVisible());
    EXPECT_EQ(dlg.MaskEdit1->text(), "58");
    // Lines of the file in the host's code page are shown readable.
    EXPECT_EQ(items(dlg.ComboBox1), (QStringList{"Matricial", QString::fromUtf8("Caixaç"), "VISUALIZAR"}));
}

TEST_F(ReportGui, QtdCopiasStoresTheSpinValue)
{
    TfoQtdCopias dlg(settings, errors.handler());
    EXPECT_EQ(dlg.windowTitle(), "Quantidade de Copias");
    EXPECT_EQ(dlg.spnQtdCopias->minimum(), 1);
    EXPECT_EQ(dlg.spnQtdCopias->maximum(), 99);
    EXPECT_EQ(dlg.spnQtdCopias->value(), 1);
    EXPECT_TRUE(dlg.spnQtdCopias->font().bold());

    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    dlg.spnQtdCopias->selectAll();
    QTest::keyClicks(dlg.spnQtdCopias, "150");
    EXPECT_LE(dlg.spnQtdCopias->value(), 99);
    dlg.spnQtdCopias->selectAll();
    QTest::keyClicks(dlg.spnQtdCopias, "12");
    QTest::mouseClick(dlg.btnOk, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(settings.copies, 12);
}
