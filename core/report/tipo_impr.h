#pragma once
// The logic of the print-type dialog TfoTipoImpr ("Tipo de Impressão"): print mode, pitch,
// page orientation, lines per page and the report printer (or the on-screen preview
// "VISUALIZAR"), kept in the report settings on "OK".
//
// The object holds the state of the dialog's components; the window shows that state and
// passes the operator's actions in. Checking one of "Grafico", "Texto", "Retrato" or
// "Paisagem" that was not checked runs that button's click behaviour at once, whether the
// operator or a step of the dialog checks it.
#include "report/report_settings.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ecf::report {

// The system's list of installed printers: entries in the form "<printer name> on <port>", or
// a printer's name alone, which stands for its own port.
class PrinterSource {
public:
    virtual ~PrinterSource() = default;
    virtual std::vector<std::string> printerEntries() = 0;
};

// Opens the system's print dialog (PrintDialog1), modal.
class PrintDialogOpener {
public:
    virtual ~PrintDialogOpener() = default;
    virtual void openPrintDialog() = 0;
};

enum class TipoImprButton { Grafico, Texto, Compacta, Normal, Retrato, Paisagem };

class TipoImpr {
public:
    static constexpr std::string_view kVisualizar = "VISUALIZAR";
    static constexpr std::size_t kMaskLength = 3;  // MaskEdit1: "!990;0; "
    static constexpr std::size_t kMaxPortLength = 50;

    TipoImpr(ReportSettings& settings, PrinterSource& printers, PrintDialogOpener& printDialog);

    // The file of printer entries that replaces the system's list: "Printers.txt" on drive C:.
    static std::filesystem::path printersFile();

    // The port of a system printer entry: what follows the first " on " (at most 50 bytes,
    // never splitting a UTF-8 character), with every ":" removed. An entry without " on " has
    // no port part and stands for its own port.
    static std::string portOfEntry(std::string_view entry);

    // A text as MaskEdit1 holds it: three places of digits or blanks, a shorter text
    // right-aligned with leading blanks, a longer one cut; anything but a digit is a blank.
    static std::string maskText(std::string_view text);

    // --- component state ---
    bool checked(TipoImprButton button) const;
    bool groupBox3Visible() const { return groupBox3Visible_; }
    bool comboBox1Enabled() const { return comboBox1Enabled_; }
    const std::string& maskEdit1() const { return maskEdit1_; }
    const std::vector<std::string>& comboBox1() const { return comboBox1_; }
    const std::vector<std::string>& comboBox2() const { return comboBox2_; }
    int comboBox1Index() const { return index1_; }   // -1: nothing selected
    int comboBox2Index() const { return index2_; }
    std::string comboBox1Text() const;               // the selected entry, or empty
    // The stored report printer when today's list does not have it (a printer removed, the
    // printing system down): kept in the list before "VISUALIZAR" and selected, so that "OK"
    // keeps it; the window names it as not found. -1: the stored printer is listed.
    int missingPrinterIndex() const { return missing_; }
    std::string comboBox2Text() const;

    // --- the operator's actions ---
    // Typing in MaskEdit1: the text is kept as the mask holds it (maskText).
    void setMaskEdit1(std::string_view text);
    // A click on a radio button: checks it (and runs its click behaviour if it was not checked).
    void click(TipoImprButton button);
    // ComboBox1 changed by the operator to the entry at index.
    void comboBox1Changed(int index);
    // ComboBox1 receives the focus.
    void comboBox1Entered();

    // --- the dialog's events ---
    // Showing: fills the lists and the components from the report settings (may throw
    // common::FileError when "Printers.txt" exists but cannot be read).
    void onShow();
    // "OK": stores the settings; true when the dialog closes. A MaskEdit1 without a number
    // throws common::ConversionError after pitch, mode and orientation are stored.
    bool ok();

private:
    void check(TipoImprButton button);
    void setOrientationButtons();
    static void select(const std::vector<std::string>& list, int& index, int wanted);

    ReportSettings& settings_;
    PrinterSource& printers_;
    PrintDialogOpener& printDialog_;

    bool grafico_ = false, texto_ = false;
    bool compacta_ = false, normal_ = false;
    bool retrato_ = false, paisagem_ = false;
    bool groupBox3Visible_ = false;
    bool comboBox1Enabled_ = true;
    std::string maskEdit1_ = std::string(kMaskLength, ' ');
    std::vector<std::string> comboBox1_, comboBox2_;
    int index1_ = -1, index2_ = -1;
    int missing_ = -1;
};

} // namespace ecf::report
