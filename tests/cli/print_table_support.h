#pragma once

// Shared by the print-table tests: running the tool, a user settings directory of the test's
// own, and reading the cells of the printout's HTML.

#include "../foundation/temp_dir.h"
#include "cli/commands.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace marqor::testing_support {

struct ToolResult {
    int status;
    std::string out;
    std::string err;
};

inline ToolResult RunTool(const std::vector<std::string>& args) {
    std::istringstream in;
    std::ostringstream out, err;
    const int status = cli::Run(args, {in, out, err});
    return {status, out.str(), err.str()};
}

// The user settings (registry.ini) live in a fresh directory for the whole program, so that
// the tests neither read nor change the settings of the machine's user.
class TUserSettingsEnvironment : public ::testing::Environment {
public:
    explicit TUserSettingsEnvironment(bool ownTables) : ownTables_(ownTables) {}
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
        if (ownTables_)
            setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    }

private:
    bool ownTables_;
    TempDir dir_;
};

inline const std::string DataDir = std::string(MARQOR_TEST_DATA_DIR) + "/reports/";

inline std::string Expected(const std::string& name) {
    return TempDir::Read(DataDir + name);
}

// The columns of the first table row of a printout page: per division the lines of its cell.
inline std::vector<std::vector<std::string>> FirstBlock(const std::string& page) {
    std::vector<std::vector<std::string>> columns;
    const auto row = page.find("<tr valign=top>\r\n");
    if (row == std::string::npos)
        return columns;
    const auto end = page.find("\r\n</tr>", row);
    std::string cells = page.substr(row + 17, end - row - 17);
    for (std::size_t at = 0; (at = cells.find("<td", at)) != std::string::npos;) {
        const auto open = cells.find('>', at) + 1;
        const auto close = cells.find("</td>", open);
        std::string text = cells.substr(open, close - open);
        for (std::size_t em; (em = text.find("<em id=")) != std::string::npos;)
            text.erase(em, text.find('>', em) + 1 - em);
        std::vector<std::string> lines;
        for (std::size_t from = 0;;) {
            const auto br = text.find("<br>", from);
            lines.push_back(text.substr(from, br == std::string::npos ? br : br - from));
            if (br == std::string::npos)
                break;
            from = br + 4;
        }
        columns.push_back(std::move(lines));
        at = close;
    }
    return columns;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace marqor::testing_support
