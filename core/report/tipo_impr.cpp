#include "report/tipo_impr.h"

#include "common/convert.h"
#include "common/errors.h"
#include "common/text.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <system_error>

namespace ecf::report {

namespace {

constexpr std::string_view kOn = " on ";

// One entry per line; a trailing CR is dropped and a final line break ends the last entry.
std::vector<std::string> readEntries(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw common::FileError("Cannot open file \"" + file.string() + "\"");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        line.clear();
    }
    if (in.bad())
        throw common::FileError("Cannot read file \"" + file.string() + "\"");
    return lines;
}

bool printersFileExists(const std::filesystem::path& file)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

TipoImpr::TipoImpr(ReportSettings& settings, PrinterSource& printers, PrintDialogOpener& printDialog)
    : settings_(settings), printers_(printers), printDialog_(printDialog)
{
}

std::filesystem::path TipoImpr::printersFile()
{
    return driveC() / "Printers.txt";
}

std::string TipoImpr::portOfEntry(std::string_view entry)
{
    const int at = common::findPos(entry, kOn);
    std::string_view port = at > 0 ? entry.substr(static_cast<std::size_t>(at - 1) + kOn.size()) : entry;
    if (port.size() > kMaxPortLength) {
        std::size_t n = kMaxPortLength;
        while (n > 0 && isContinuationByte(port[n]))
            --n;
        port = port.substr(0, n);
    }
    return common::removeChar(port, ':');
}

std::string TipoImpr::maskText(std::string_view text)
{
    if (text.size() > kMaskLength)
        text = text.substr(0, kMaskLength);
    std::string out(kMaskLength - text.size(), ' ');
    for (char c : text)
        out.push_back(c >= '0' && c <= '9' ? c : ' ');
    return out;
}

bool TipoImpr::checked(TipoImprButton button) const
{
    switch (button) {
    case TipoImprButton::Grafico: return grafico_;
    case TipoImprButton::Texto: return texto_;
    case TipoImprButton::Compacta: return compacta_;
    case TipoImprButton::Normal: return normal_;
    case TipoImprButton::Retrato: return retrato_;
    case TipoImprButton::Paisagem: return paisagem_;
    }
    return false;
}

std::string TipoImpr::comboBox1Text() const
{
    return index1_ >= 0 ? comboBox1_[static_cast<std::size_t>(index1_)] : std::string();
}

std::string TipoImpr::comboBox2Text() const
{
    return index2_ >= 0 ? comboBox2_[static_cast<std::size_t>(index2_)] : std::string();
}

void TipoImpr::setMaskEdit1(std::string_view text)
{
    maskEdit1_ = maskText(text);
}

void TipoImpr::select(const std::vector<std::string>& list, int& index, int wanted)
{
    index = wanted >= 0 && static_cast<std::size_t>(wanted) < list.size() ? wanted : -1;
}

void TipoImpr::check(TipoImprButton button)
{
    if (checked(button))
        return;
    switch (button) {
    case TipoImprButton::Grafico:
        grafico_ = true;
        texto_ = false;
        groupBox3Visible_ = true;
        setOrientationButtons();
        maskEdit1_ = "066";
        comboBox1Enabled_ = false;
        printDialog_.openPrintDialog();
        break;
    case TipoImprButton::Texto:
        texto_ = true;
        grafico_ = false;
        groupBox3Visible_ = false;
        comboBox1Enabled_ = true;
        maskEdit1_ = "066";
        break;
    case TipoImprButton::Compacta:
        compacta_ = true;
        normal_ = false;
        break;
    case TipoImprButton::Normal:
        normal_ = true;
        compacta_ = false;
        break;
    case TipoImprButton::Retrato:
        retrato_ = true;
        paisagem_ = false;
        maskEdit1_ = "066";
        break;
    case TipoImprButton::Paisagem:
        paisagem_ = true;
        retrato_ = false;
        maskEdit1_ = "058";
        break;
    }
}

void TipoImpr::setOrientationButtons()
{
    if (retrato_ || paisagem_) {
        if (settings_.orientation == 'R')
            check(TipoImprButton::Retrato);
        else if (settings_.orientation == 'P')
            check(TipoImprButton::Paisagem);
    } else {
        check(TipoImprButton::Retrato);
    }
}

void TipoImpr::click(TipoImprButton button)
{
    check(button);
}

void TipoImpr::comboBox1Changed(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= comboBox1_.size())
        return;
    index1_ = index;
    if (comboBox1Text() == kVisualizar)
        check(TipoImprButton::Texto);
}

void TipoImpr::comboBox1Entered()
{
    if (grafico_)
        printDialog_.openPrintDialog();
}

void TipoImpr::onShow()
{
    // 1. Remember the selection; empty both lists.
    const int remembered = index1_;
    comboBox1_.clear();
    comboBox2_.clear();
    index1_ = index2_ = -1;

    // 2. The printer file replaces the system's list.
    const auto file = printersFile();
    const bool fromFile = printersFileExists(file);
    if (fromFile) {
        comboBox1_ = readEntries(file);
        comboBox2_ = comboBox1_;
    }

    // 3. Pitch and print mode.
    if (settings_.pitch == std::string(1, kPitchCompacta))
        check(TipoImprButton::Compacta);
    else if (settings_.pitch == std::string(1, kPitchNormal))
        check(TipoImprButton::Normal);
    if (settings_.printMode == 'T') {
        check(TipoImprButton::Texto);
    } else if (settings_.printMode == 'G') {
        check(TipoImprButton::Grafico);
        groupBox3Visible_ = true;
    }

    // 4. Orientation.
    if (groupBox3Visible_)
        setOrientationButtons();

    // 5. Lines per page.
    if (settings_.linesPerPage == 0)
        settings_.linesPerPage = 66;
    maskEdit1_ = maskText(common::intToStr(settings_.linesPerPage));

    // 6. The system's printers, each with its port at the same position.
    if (!fromFile) {
        for (auto& entry : printers_.printerEntries()) {
            comboBox2_.push_back(portOfEntry(entry));
            comboBox1_.push_back(std::move(entry));
        }
    }

    // 7. The preview.
    comboBox1_.emplace_back(kVisualizar);

    // 8. The remembered position, else the last entry of each list. A position the new list
    //    no longer has counts as none remembered, so that an entry is always selected.
    if (remembered >= 0 && static_cast<std::size_t>(remembered) < comboBox1_.size()) {
        select(comboBox1_, index1_, remembered);
        select(comboBox2_, index2_, remembered);
    } else {
        select(comboBox1_, index1_, static_cast<int>(comboBox1_.size()) - 1);
        select(comboBox2_, index2_, static_cast<int>(comboBox2_.size()) - 1);
    }

    // 9. The stored report printer, wherever it stands in the list. One the list no longer has
    //    stays chosen, before "VISUALIZAR", with its stored port: pressing "OK" must not
    //    silently send the reports elsewhere.
    missing_ = -1;
    if (!settings_.printer.empty()) {
        const auto found = std::find(comboBox1_.begin(), comboBox1_.end(), settings_.printer);
        int at = static_cast<int>(found - comboBox1_.begin());
        if (found == comboBox1_.end()) {
            at = missing_ = static_cast<int>(comboBox1_.size()) - 1;
            comboBox1_.insert(comboBox1_.begin() + at, settings_.printer);
            const std::string port = settings_.printerPort.empty() ? portOfEntry(settings_.printer) : settings_.printerPort;
            comboBox2_.insert(comboBox2_.begin() + std::min<std::ptrdiff_t>(at, std::ssize(comboBox2_)), port);
        }
        select(comboBox1_, index1_, at);
        select(comboBox2_, index2_, at);
    }
}

bool TipoImpr::ok()
{
    settings_.pitch = std::string(1, normal_ ? kPitchNormal : kPitchCompacta);
    settings_.printMode = grafico_ ? 'G' : 'T';
    settings_.orientation = paisagem_ ? 'P' : 'R';
    settings_.linesPerPage = common::strToInt(maskEdit1_);
    settings_.printer = comboBox1Text();
    select(comboBox2_, index2_, index1_);
    settings_.printerPort = comboBox2Text();
    settings_.destination = index1_ >= 0 && comboBox1Text() == kVisualizar ? 'V' : 'I';
    return true;
}

} // namespace ecf::report
