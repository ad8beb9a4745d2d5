#include "reports/paper.h"

namespace marqor {

const std::array<TPaper, PaperCount>& PaperTable() {
    static const std::array<TPaper, PaperCount> table{{
        {-1, "?", 2970, 2100, psCustom},
        {8, "A3", 4200, 2970, psA3},
        {9, "A4", 2970, 2100, psA4},
        {11, "A5", 2100, 1485, psA5},
        {12, "B4", 3540, 2500, psB4},
        {13, "B5", 2570, 1820, psB5},
        {1, "US-Letter", 2794, 2159, psLetter},
        {2, "Letter small", 2794, 2159, psLetterSmall},
        {5, "US-Legal", 3556, 2159, psLegal},
        {7, "US-Exec.", 2667, 1841, psExecutive},
        {24, "C Sheet", 5588, 4318, psCSheet},
        {25, "D Sheet", 8636, 5588, psDSheet},
        {26, "E Sheet", 11176, 8636, psESheet},
    }};
    return table;
}

int PaperIndexOfCode(std::int32_t code) {
    const auto& table = PaperTable();
    for (int row = PaperCount - 1; row >= 1; --row)
        if (table[row].Code == code)
            return row;
    return 0;
}

TBSPaperInfo PaperInfoOfRow(int row) {
    if (row < 0 || row >= PaperCount)
        row = 0;
    const TPaper& paper = PaperTable()[row];
    return {paper.Code, paper.Name, paper.Height / 100.0, paper.Width / 100.0};
}

} // namespace marqor
