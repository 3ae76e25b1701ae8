#pragma once
// The report settings: what the two report set-up dialogs (TfoQtdCopias and TfoTipoImpr)
// keep for a caller that shows them modally and then prints a report on an ordinary printer.
// One process-wide instance (reportSettings()); the dialogs' logic takes any instance, so that
// tests can use their own.
#include <filesystem>
#include <string>

namespace ecf::report {

// Pitch control bytes sent ahead of a text report.
inline constexpr char kPitchCompacta = '\x0F'; // "Compactada"
inline constexpr char kPitchNormal = '\x12';   // "Normal"

struct ReportSettings {
    int copies = 0;              // QtdCopias: 1 to 99 once chosen
    std::string pitch;           // one byte: kPitchCompacta or kPitchNormal; empty until chosen
    char printMode = '\0';       // 'T' "Texto", 'G' "Grafico"
    char orientation = '\0';     // 'R' "Retrato", 'P' "Paisagem"
    int linesPerPage = 0;        // up to three digits; 0 is unset and shown as 66
    std::string printer;         // the entry chosen in the printer list, or "VISUALIZAR"
    std::string printerPort;     // the port at the same position in the port list
    char destination = '\0';     // 'I' a printer, 'V' the preview ("VISUALIZAR")
};

// The process-wide report settings (empty or zero at start).
ReportSettings& reportSettings();

// The folder that stands for drive C: of the host system: $ECF_DRIVE_C when set and not
// empty, else $HOME/.ecf/C (".ecf/C" under the current folder when HOME is not set).
std::filesystem::path driveC();

} // namespace ecf::report
