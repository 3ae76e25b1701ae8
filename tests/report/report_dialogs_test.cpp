// The report dialogs' logic: the print-type dialog (showing, "OK", click behaviours, printer
// lists) and the copies dialog.
#include "report/qtd_copias.h"
#include "report/tipo_impr.h"
#include "common/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ecf;
using report::TipoImpr;
using B = report::TipoImprButton;

namespace {

struct FakePrinters : report::PrinterSource {
    std::vector<std::string> entries{"Laser on LPT1:", "Jato on usb://HP/DJ?serial=9"};
    int reads = 0;
    std::vector<std::string> printerEntries() override
    {
        ++reads;
        return entries;
    }
};

struct CountingDialog : report::PrintDialogOpener {
    int opened = 0;
    void openPrintDialog() override { ++opened; }
};

class TipoImprTest : public ::testing::Test {
protected:
    test::TempDir drive;
    test::ScopedEnv env{"ECF_DRIVE_C", drive.path().string()};
    report::ReportSettings settings;
    FakePrinters printers;
    CountingDialog dialog;
    TipoImpr dlg{settings, printers, dialog};

    void writePrinters(const std::string& content) { test::writeFile(drive.path() / "Printers.txt", content); }
};

} // namespace

TEST(ReportPort, EntryParsing)
{
    const std::string longPort(60, 'p');
    struct Case {
        std::string entry, port;
    } cases[] = {
        {"Epson LX on LPT1:", "LPT1"},
        {"HP on usb://HP/LaserJet:1", "usb//HP/LaserJet1"},
        {"A on B on C", "B on C"},             // the first " on " splits
        {"Trailing on ", ""},
        {"NoSeparator", "NoSeparator"},         // no port part: the entry stands for its port
        {"P on " + longPort, std::string(50, 'p')},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TipoImpr::portOfEntry(c.entry), c.port) << c.entry;

    // The 50-byte cut never leaves half a UTF-8 character.
    const std::string accented = "X on " + std::string(49, 'a') + "\xC3\xA7" + "b";
    EXPECT_EQ(TipoImpr::portOfEntry(accented), std::string(49, 'a'));
}

TEST(ReportMask, TextAsTheMaskHoldsIt)
{
    EXPECT_EQ(TipoImpr::maskText("66"), " 66");
    EXPECT_EQ(TipoImpr::maskText("066"), "066");
    EXPECT_EQ(TipoImpr::maskText(""), "   ");
    EXPECT_EQ(TipoImpr::maskText("1234"), "123");
    EXPECT_EQ(TipoImpr::maskText("-5"), "  5");
}

TEST(ReportDriveC, EnvironmentThenHome)
{
    {
        test::ScopedEnv c("ECF_DRIVE_C", "/srv/c");
        EXPECT_EQ(TipoImpr::printersFile(), std::filesystem::path("/srv/c/Printers.txt"));
    }
    test::ScopedEnv c("ECF_DRIVE_C", "");
    test::ScopedEnv h("HOME", "/home/op");
    EXPECT_EQ(report::driveC(), std::filesystem::path("/home/op/.ecf/C"));
}

TEST_F(TipoImprTest, FirstShowingWithEmptySettings)
{
    dlg.onShow();
    EXPECT_EQ(dlg.comboBox1(), (std::vector<std::string>{"Laser on LPT1:", "Jato on usb://HP/DJ?serial=9", "VISUALIZAR"}));
    EXPECT_EQ(dlg.comboBox2(), (std::vector<std::string>{"LPT1", "usb//HP/DJ?serial=9"}));
    EXPECT_EQ(dlg.comboBox1Index(), 2); // the last entry of each list
    EXPECT_EQ(dlg.comboBox2Index(), 1);
    EXPECT_EQ(settings.linesPerPage, 66);
    EXPECT_EQ(dlg.maskEdit1(), " 66");
    for (B b : {B::Grafico, B::Texto, B::Compacta, B::Normal, B::Retrato, B::Paisagem})
        EXPECT_FALSE(dlg.checked(b));
    EXPECT_FALSE(dlg.groupBox3Visible());
    EXPECT_EQ(dialog.opened, 0);

    ASSERT_TRUE(dlg.ok());
    EXPECT_EQ(settings.pitch, "\x0F");
    EXPECT_EQ(settings.printMode, 'T');
    EXPECT_EQ(settings.orientation, 'R');
    EXPECT_EQ(settings.linesPerPage, 66);
    EXPECT_EQ(settings.printer, "VISUALIZAR");
    EXPECT_EQ(settings.printerPort, ""); // the port list has no entry at the preview's position
    EXPECT_EQ(settings.destination, 'V');
}

TEST_F(TipoImprTest, ShowingAppliesTheStoredSettings)
{
    settings.pitch = "\x12";
    settings.printMode = 'T';
    settings.linesPerPage = 40;
    dlg.onShow();
    EXPECT_TRUE(dlg.checked(B::Normal));
    EXPECT_FALSE(dlg.checked(B::Compacta));
    EXPECT_TRUE(dlg.checked(B::Texto));
    EXPECT_FALSE(dlg.groupBox3Visible());
    EXPECT_TRUE(dlg.comboBox1Enabled());
    EXPECT_EQ(dlg.maskEdit1(), " 40"); // step 5 overwrites the "066" of the Texto click

    dlg.comboBox1Changed(1);
    ASSERT_TRUE(dlg.ok());
    EXPECT_EQ(settings.pitch, "\x12");
    EXPECT_EQ(settings.printer, "Jato on usb://HP/DJ?serial=9");
    EXPECT_EQ(settings.printerPort, "usb//HP/DJ?serial=9");
    EXPECT_EQ(settings.destination, 'I');
    EXPECT_EQ(settings.linesPerPage, 40);
}

TEST_F(TipoImprTest, GraphicModeOpensThePrintDialogWhileShowing)
{
    struct Case {
        char orientation;
        B expected;
    } cases[] = {{'\0', B::Retrato}, {'R', B::Retrato}, {'P', B::Paisagem}};
    for (const auto& c : cases) {
        report::ReportSettings s;
        s.printMode = 'G';
        s.orientation = c.orientation;
        s.linesPerPage = 58;
        CountingDialog d;
        TipoImpr t(s, printers, d);
        t.onShow();
        EXPECT_EQ(d.opened, 1);
        EXPECT_TRUE(t.checked(B::Grafico));
        EXPECT_TRUE(t.groupBox3Visible());
        EXPECT_FALSE(t.comboBox1Enabled());
        EXPECT_TRUE(t.checked(c.expected));
        EXPECT_EQ(t.maskEdit1(), " 58");

        // Showing again: Grafico is already checked, so no click and no dialog.
        t.onShow();
        EXPECT_EQ(d.opened, 1);
        ASSERT_TRUE(t.ok());
        EXPECT_EQ(s.printMode, 'G');
        EXPECT_EQ(s.orientation, c.expected == B::Paisagem ? 'P' : 'R');
    }
}

TEST_F(TipoImprTest, ClickBehaviours)
{
    dlg.onShow();
    dlg.click(B::Grafico);
    EXPECT_EQ(dialog.opened, 1);
    EXPECT_TRUE(dlg.groupBox3Visible());
    EXPECT_TRUE(dlg.checked(B::Retrato));
    EXPECT_FALSE(dlg.comboBox1Enabled());
    EXPECT_EQ(dlg.maskEdit1(), "066");

    dlg.click(B::Paisagem);
    EXPECT_EQ(dlg.maskEdit1(), "058");
    EXPECT_FALSE(dlg.checked(B::Retrato));
    dlg.setMaskEdit1("12");
    dlg.click(B::Paisagem); // already checked: nothing runs
    EXPECT_EQ(dlg.maskEdit1(), " 12");
    dlg.click(B::Retrato);
    EXPECT_EQ(dlg.maskEdit1(), "066");

    dlg.comboBox1Entered();
    EXPECT_EQ(dialog.opened, 2);

    dlg.click(B::Texto);
    EXPECT_FALSE(dlg.checked(B::Grafico));
    EXPECT_FALSE(dlg.groupBox3Visible());
    EXPECT_TRUE(dlg.comboBox1Enabled());
    dlg.comboBox1Entered();
    EXPECT_EQ(dialog.opened, 2);

    // Grafico again keeps the orientation already chosen when the stored one is P.
    settings.orientation = 'P';
    dlg.click(B::Grafico);
    EXPECT_TRUE(dlg.checked(B::Paisagem));

    dlg.click(B::Normal);
    dlg.click(B::Compacta);
    EXPECT_FALSE(dlg.checked(B::Normal));
}

TEST_F(TipoImprTest, ChoosingThePreviewChecksTexto)
{
    dlg.onShow();
    dlg.click(B::Grafico);
    dlg.comboBox1Changed(0);
    EXPECT_TRUE(dlg.checked(B::Grafico));
    dlg.comboBox1Changed(2);
    EXPECT_TRUE(dlg.checked(B::Texto));
    EXPECT_FALSE(dlg.groupBox3Visible());
    EXPECT_TRUE(dlg.comboBox1Enabled());
    dlg.comboBox1Changed(7); // no such entry: the selection stays
    EXPECT_EQ(dlg.comboBox1Index(), 2);
}

TEST_F(TipoImprTest, MaskWithoutDigitsFailsAfterStoringThreeSettings)
{
    dlg.onShow();
    dlg.click(B::Normal);
    dlg.click(B::Grafico);
    dlg.click(B::Paisagem);
    dlg.comboBox1Changed(0);
    dlg.setMaskEdit1("");
    try {
        dlg.ok();
        FAIL() << "no conversion error";
    } catch (const common::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'   ' is not a valid integer value");
    }
    EXPECT_EQ(settings.pitch, "\x12");
    EXPECT_EQ(settings.printMode, 'G');
    EXPECT_EQ(settings.orientation, 'P');
    EXPECT_EQ(settings.linesPerPage, 66); // as the showing left it
    EXPECT_EQ(settings.printer, "");
    EXPECT_EQ(settings.destination, '\0');

    dlg.setMaskEdit1("7");
    ASSERT_TRUE(dlg.ok());
    EXPECT_EQ(settings.linesPerPage, 7);
    EXPECT_EQ(settings.printerPort, "LPT1");
}

TEST_F(TipoImprTest, PrintersFileReplacesTheSystemList)
{
    writePrinters("Matricial\r\n\\\\srv\\laser on NE01:\r\n");
    dlg.onShow();
    EXPECT_EQ(printers.reads, 0);
    EXPECT_EQ(dlg.comboBox1(), (std::vector<std::string>{"Matricial", "\\\\srv\\laser on NE01:", "VISUALIZAR"}));
    EXPECT_EQ(dlg.comboBox2(), (std::vector<std::string>{"Matricial", "\\\\srv\\laser on NE01:"}));
    dlg.comboBox1Changed(1);
    dlg.ok();
    EXPECT_EQ(settings.printerPort, "\\\\srv\\laser on NE01:");

    // An empty file: the preview, and the stored printer that the list no longer has.
    writePrinters("");
    dlg.onShow();
    EXPECT_EQ(dlg.comboBox1(), (std::vector<std::string>{"\\\\srv\\laser on NE01:", "VISUALIZAR"}));
    EXPECT_EQ(dlg.missingPrinterIndex(), 0);
    settings.printer.clear();
    dlg.onShow();
    EXPECT_EQ(dlg.comboBox1(), std::vector<std::string>{"VISUALIZAR"});
    EXPECT_TRUE(dlg.comboBox2().empty());
    EXPECT_EQ(dlg.comboBox2Index(), -1);

    // A folder of that name is no file: the system's list is read.
    std::filesystem::remove(drive.path() / "Printers.txt");
    std::filesystem::create_directory(drive.path() / "Printers.txt");
    dlg.onShow();
    EXPECT_EQ(printers.reads, 1);
    EXPECT_EQ(dlg.comboBox1().size(), 3u);
}

TEST_F(TipoImprTest, ReshowingSelectsTheStoredPrinter)
{
    dlg.onShow();
    dlg.comboBox1Changed(1);
    dlg.ok();

    dlg.onShow(); // remembered position
    EXPECT_EQ(dlg.comboBox1Index(), 1);
    EXPECT_EQ(dlg.comboBox2Index(), 1);

    // A printer added ahead of the stored one: the stored printer is found where it now stands.
    printers.entries.insert(printers.entries.begin(), "Nova on LPT2:");
    dlg.onShow();
    EXPECT_EQ(dlg.comboBox1Text(), "Jato on usb://HP/DJ?serial=9");
    EXPECT_EQ(dlg.comboBox2Text(), "usb//HP/DJ?serial=9");

    // The stored printer is not in today's list (removed, or the printing system down): it
    // stays chosen, with its port, before "VISUALIZAR", and "OK" keeps it.
    EXPECT_EQ(dlg.missingPrinterIndex(), -1);
    for (const auto& today : {std::vector<std::string>{"Unica on COM1:"}, std::vector<std::string>{}}) {
        printers.entries = today;
        dlg.onShow();
        EXPECT_EQ(dlg.comboBox1Text(), "Jato on usb://HP/DJ?serial=9");
        EXPECT_EQ(dlg.comboBox1().back(), "VISUALIZAR");
        EXPECT_EQ(dlg.missingPrinterIndex(), dlg.comboBox1Index());
        EXPECT_EQ(dlg.comboBox2Text(), "usb//HP/DJ?serial=9");
        dlg.ok();
        EXPECT_EQ(settings.printer, "Jato on usb://HP/DJ?serial=9");
        EXPECT_EQ(settings.printerPort, "usb//HP/DJ?serial=9");
        EXPECT_EQ(settings.destination, 'I');
    }
    // Chosen again from the list, the preview replaces it.
    dlg.comboBox1Changed(static_cast<int>(dlg.comboBox1().size()) - 1);
    dlg.ok();
    dlg.onShow();
    EXPECT_EQ(dlg.missingPrinterIndex(), -1);
    EXPECT_EQ(settings.printer, "VISUALIZAR");
    EXPECT_EQ(settings.destination, 'V');
}

TEST(ReportQtdCopias, SpinLimitsAndOk)
{
    report::ReportSettings s;
    report::QtdCopias q(s);
    EXPECT_EQ(q.spnQtdCopias(), 1);
    q.setSpnQtdCopias(0);
    EXPECT_EQ(q.spnQtdCopias(), 1);
    q.setSpnQtdCopias(150);
    EXPECT_EQ(q.spnQtdCopias(), 99);
    EXPECT_EQ(s.copies, 0); // nothing stored before "OK"
    q.setSpnQtdCopias(3);
    q.ok();
    EXPECT_EQ(s.copies, 3);
}
