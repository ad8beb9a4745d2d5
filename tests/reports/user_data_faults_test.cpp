// Every file that holds the user's data is replaced atomically: whichever step of the write
// fails (opening the temporary file, a write on a full disk, the flush, the close, the rename),
// the file keeps its previous bytes, no temporary file stays behind, the error reaches the
// caller with the file's name, and the next write succeeds.

#include "../foundation/fault_calls.h"
#include "../foundation/temp_dir.h"
#include "../services/support.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "reports/document_settings.h"
#include "reports/html_file.h"
#include "services/settings_stores.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace marqor {
namespace {

using testing_support::CallsGuard;
using testing_support::ConfigHome;
using testing_support::StepFaults;
using testing_support::TempDir;

// One writer of user data: Prepare leaves the file with its previous content and answers its
// path; Write replaces it (through the code under test) and must raise on failure.
struct UserFile {
    const char* name;
    std::function<std::string(const TempDir&)> prepare;
    std::function<void(const std::string& path)> write;
};

void PrintTo(const UserFile& f, std::ostream* os) {
    *os << f.name;
}

std::set<std::string> Listing(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.insert(entry.path().filename().string());
    return names;
}

const UserFile UserFiles[] = {
    {"UserSettings",
     [](const TempDir& dir) {
         (void)dir;
         OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("Orvane")->WriteInteger(
             "Kept", 1);
         return RegistryFileName();
     },
     [](const std::string&) {
         OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("TFMain")->WriteString(
             "WindowState", "1,2,3,4");
     }},
    {"Configuration",
     [](const TempDir& dir) { return dir.Write("marqor.ini", "[Orvane]\r\nLogFile=a.log\r\n"); },
     [](const std::string& path) {
         OpenIniSettings(NewFile(path), false)->GetSection("Orvane")->WriteString("ErrorFile",
                                                                                  "b.err");
     }},
    {"EncryptedConfiguration",
     [](const TempDir& dir) {
         return dir.Write("project.ini", EncryptSettingsText("[Orvane]\r\nLogFile=a.log\r\n"));
     },
     [](const std::string& path) {
         const auto settings = OpenEncryptableSettings(NewFile(path), "Orvane");
         settings->GetSection("Orvane")->WriteString("ErrorFile", "b.err");
         settings->Save();
     }},
    {"ExportedDocumentSettings",
     [](const TempDir& dir) { return dir.Write("settings.xml", "the previous export"); },
     [](const std::string& path) {
         TBSSwDocumentSettings settings;
         settings.ColumnCount = 3;
         ExportDocumentSettings(settings, path);
     }},
    {"HtmlTarget",
     [](const TempDir& dir) { return dir.Write("table.htm", "<html>the previous page</html>"); },
     [](const std::string& path) {
         THtmlFile html(0, "", 10);
         html.SetTitle("Points");
         html.SetColumns("L500;R500");
         for (int row = 0; row < 200; ++row) {
             html.Cell(0, "50 Freestyle");
             html.Cell(1, "21.65");
             html.LineBreak();
         }
         html.SaveToFile(path);
     }},
};

class UserFileFaults : public testing::TestWithParam<UserFile> {};

TEST_P(UserFileFaults, AFailureAtAnyStepKeepsThePreviousContentAndNamesTheFile) {
    const UserFile& file = GetParam();
    // The steps of a clean write.
    int steps = 0;
    {
        ConfigHome home;
        const std::string path = file.prepare(home.Dir());
        auto counter = std::make_shared<StepFaults>();
        CallsGuard guard(counter);
        file.write(path);
        steps = counter->calls;
    }
    RecordProperty("steps", steps);
    ASSERT_GE(steps, 4) << "open, write, flush, close and rename go through the seam";

    for (int step = 1; step <= steps; ++step) {
        for (const int renameErrno : {EACCES, EXDEV}) {
            ConfigHome home;
            const std::string path = file.prepare(home.Dir());
            const std::string directory = std::filesystem::path(path).parent_path().string();
            const std::string before = TempDir::Read(path);
            const auto listing = Listing(directory);
            auto faults = std::make_shared<StepFaults>();
            faults->failAt = step;
            faults->renameErrno = renameErrno;
            std::string message;
            {
                CallsGuard guard(faults);
                try {
                    file.write(path);
                } catch (const std::exception& error) {
                    message = error.what();
                }
            }
            SCOPED_TRACE("step " + std::to_string(step) + " (" + faults->failed + ")");
            ASSERT_FALSE(message.empty()) << "the failure was not reported";
            EXPECT_NE(message.find(path), std::string::npos) << message;
            EXPECT_EQ(TempDir::Read(path), before);
            EXPECT_EQ(Listing(directory), listing) << "a temporary file stayed behind";

            file.write(path); // the next write, without faults, goes through
            EXPECT_NE(TempDir::Read(path), before);
            if (faults->failed != "rename")
                break; // the rename's error is the only one that varies
        }
    }
}

// Writes that the disk takes a few bytes at a time still complete.
TEST_P(UserFileFaults, ShortWritesStillWriteEverything) {
    const UserFile& file = GetParam();
    std::string whole;
    {
        ConfigHome home;
        const std::string path = file.prepare(home.Dir());
        file.write(path);
        whole = TempDir::Read(path);
    }
    ConfigHome home;
    const std::string path = file.prepare(home.Dir());
    auto faults = std::make_shared<StepFaults>();
    faults->chunk = 7;
    {
        CallsGuard guard(faults);
        file.write(path);
    }
    const std::string written = TempDir::Read(path);
    if (std::string_view(file.name) == "ExportedDocumentSettings") {
        // The export records the moment it was made.
        EXPECT_EQ(written.size(), whole.size());
    } else {
        EXPECT_EQ(written, whole);
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, UserFileFaults, testing::ValuesIn(UserFiles),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace marqor
