#pragma once

// The paper sizes a report knows. Printers name their paper by the printing service's code;
// row 0 stands for every paper that is not in the table.

#include <array>
#include <cstdint>
#include <string>

namespace marqor {

// Page sizes as the PDF writer names them.
enum TKvrPdfPageSize : std::uint8_t {
    psCustom,
    psA3,
    psA4,
    psA5,
    psB4,
    psB5,
    psLetter,
    psLetterSmall,
    psLegal,
    psExecutive,
    psCSheet,
    psDSheet,
    psESheet,
};

struct TPaper {
    std::int32_t Code; // paper code of the printing service
    const char* Name;
    std::int32_t Height; // portrait, 0.1 mm
    std::int32_t Width;  // portrait, 0.1 mm
    TKvrPdfPageSize PdfSize;
};

inline constexpr int PaperCount = 13;
const std::array<TPaper, PaperCount>& PaperTable();

// The highest row from 12 down to 1 whose code equals the code; 0 when none does.
int PaperIndexOfCode(std::int32_t code);

// The paper of a printer as the settings dialog shows it.
struct TBSPaperInfo {
    std::int32_t Code = -1;
    std::string Name = "?";
    double HeightCm = 29.7;
    double WidthCm = 21.0;
};
TBSPaperInfo PaperInfoOfRow(int row);

} // namespace marqor
