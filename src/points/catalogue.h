#pragma once

// The catalogue of point tables: the tables built into the program, then the table files
// installed with it, in the user's table directory and named on the command line. It lists them
// for selection and hands out a freshly read IBSSwPoints for a table id.

#include "foundation/containers.h"
#include "points/point_table.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// FINA 2011: selected at start, and the table for an id that the catalogue does not know.
inline constexpr int DefaultPointTableId = 3004;

struct TBSSwPointTableInfo {
    int id = 0;
    std::string text; // Name, a blank and Version, trimmed: "FINA Point Scoring 2011"
    TBSSwPointTableOptions options;
    std::filesystem::path file; // the table file; empty for a built-in table
    std::string resourceName;   // the built-in text; empty for a table file
    std::string shortNameVersion;
    bool hasBaseTimes = false; // false for a table without a single base time
};

// Where the catalogue takes its tables from, in this order: built-in texts by resource name,
// every "*.txt" of each directory (by file name), then single files. A later table with the id
// of an earlier one replaces it.
struct TPointTableSources {
    std::vector<std::string> resourceNames;
    std::vector<std::filesystem::path> directories;
    std::vector<std::filesystem::path> files;
};

// The 19 built-in tables in catalogue order.
const std::vector<std::string>& BuiltInPointTableNames();
// The user's table directory: $XDG_DATA_HOME/marqor/tables, else ~/.local/share/marqor/tables;
// empty when neither variable is set.
std::filesystem::path UserTableDirectory();
// The table files installed with the program: share/marqor/tables beside the program's bin
// directory, in an installation and in the build tree alike.
std::filesystem::path BundledTableDirectory();
// The built-in tables, the bundled table files, then the user's table directory.
TPointTableSources DefaultPointTableSources();

class TBSSwPointTableController {
public:
    // Told once per table file that cannot be used: one line naming the file and the reason.
    using TWarningHandler = std::function<void(const std::string&)>;

    // DefaultPointTableSources, warnings to standard error.
    TBSSwPointTableController();
    explicit TBSSwPointTableController(TPointTableSources sources, TWarningHandler onWarning = {});
    ~TBSSwPointTableController();
    TBSSwPointTableController(const TBSSwPointTableController&) = delete;
    TBSSwPointTableController& operator=(const TBSSwPointTableController&) = delete;

    // Further sources after those registered so far; they are read on the next use.
    void RegisterResource(std::string name);
    void RegisterTableDirectory(std::filesystem::path directory);
    void RegisterTableFile(std::filesystem::path file);
    void SetWarningHandler(TWarningHandler onWarning);

    // One record per table that could be read, in registration order.
    const std::vector<TBSSwPointTableInfo>& Infos();
    // The record that serves the id (the last one registered with it); nullptr when none.
    const TBSSwPointTableInfo* FindInfo(int id);
    // Id 0 gives the empty table, an unknown id the default table; every call reads the table
    // anew, so no two callers share one.
    IBSSwPointsPtr GetPointTable(int id);
    // Key = table id, text = info text, sorted by text; with a filter only the tables that have
    // at least one of its options.
    IBSLookupItemsPtr PointTableList(TBSSwPointTableOptions filter = {});
    // The warnings given so far.
    const std::vector<std::string>& Warnings() const { return warnings_; }

private:
    struct Source;

    void Update();
    void Add(const Source& source);
    void AddText(std::string_view text, std::string resourceName, std::filesystem::path file,
                 std::shared_ptr<const std::string> ownText);
    void Warn(std::string message);
    int FindIndex(int id) const;

    std::vector<Source> sources_;
    std::size_t read_ = 0; // sources_[0 .. read_) are in the info list
    std::vector<TBSSwPointTableInfo> infos_;
    std::vector<std::shared_ptr<const std::string>> texts_; // per record: the file's text
    std::vector<std::string> warnings_;
    TWarningHandler onWarning_;
};

// The process-wide catalogue over DefaultPointTableSources, created on first use.
TBSSwPointTableController& PointTables();

// The message for a table without base times: "FINA Point Scoring 2008 has no base times in this
// edition. Put its table file (Id=3001) into <directory> to use it."
std::string NoBaseTimesMessage(const IBSSwPoints& table,
                               const std::filesystem::path& directory = UserTableDirectory());

} // namespace marqor
