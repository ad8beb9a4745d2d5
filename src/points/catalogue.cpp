#include "points/catalogue.h"

#include "foundation/resources.h"
#include "foundation/text.h"
#include "points/table_files.h"
#include "texts/language.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace marqor {

const std::vector<std::string>& BuiltInPointTableNames() {
    static const std::vector<std::string> names = {
        "BSSW_POINTS_CAN_2004",         "BSSW_POINTS_CAN_2005",
        "BSSW_POINTS_CAN_SWAD_2008",    "BSSW_POINTS_FINA_2004",
        "BSSW_POINTS_FINA_2008",        "BSSW_POINTS_FINA_2009",
        "BSSW_POINTS_FINA_2010",        "BSSW_POINTS_FINA_2011",
        "BSSW_POINTS_GER_2001",         "BSSW_POINTS_GER_2005",
        "BSSW_POINTS_GER_2009",         "BSSW_POINTS_GER_MASTER_2004",
        "BSSW_POINTS_GER_RUDOLPH_2008", "BSSW_POINTS_GER_RUDOLPH_2009",
        "BSSW_POINTS_GER_RUDOLPH_2010", "BSSW_POINTS_IPC_2008",
        "BSSW_POINTS_IPC_2009",         "BSSW_POINTS_SUI_KIDS_2005",
        "BSSW_POINTS_SUI_KIDS_2007",
    };
    return names;
}

std::filesystem::path UserTableDirectory() {
    // A relative XDG_DATA_HOME is invalid by its definition and is ignored.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return std::filesystem::path(xdg) / "marqor" / "tables";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".local" / "share" / "marqor" / "tables";
    return {};
}

std::filesystem::path BundledTableDirectory() {
    const auto bin = ProgramDirectory();
    if (bin.empty())
        return {};
    return (bin / ".." / "share" / "marqor" / "tables").lexically_normal();
}

TPointTableSources DefaultPointTableSources() {
    TPointTableSources sources;
    sources.resourceNames = BuiltInPointTableNames();
    for (auto dir : {BundledTableDirectory(), UserTableDirectory()})
        if (!dir.empty() &&
            std::ranges::find(sources.directories, dir) == sources.directories.end())
            sources.directories.push_back(dir);
    return sources;
}

struct TBSSwPointTableController::Source {
    enum Kind { Resource, Directory, File } kind;
    std::string name;
    std::filesystem::path path;
};

TBSSwPointTableController::TBSSwPointTableController()
    : TBSSwPointTableController(DefaultPointTableSources()) {}

TBSSwPointTableController::TBSSwPointTableController(TPointTableSources sources,
                                                     TWarningHandler onWarning)
    : onWarning_(std::move(onWarning)) {
    for (auto& name : sources.resourceNames)
        RegisterResource(std::move(name));
    for (auto& dir : sources.directories)
        RegisterTableDirectory(std::move(dir));
    for (auto& file : sources.files)
        RegisterTableFile(std::move(file));
}

TBSSwPointTableController::~TBSSwPointTableController() = default;

void TBSSwPointTableController::RegisterResource(std::string name) {
    sources_.push_back({Source::Resource, std::move(name), {}});
}

void TBSSwPointTableController::RegisterTableDirectory(std::filesystem::path directory) {
    sources_.push_back({Source::Directory, {}, std::move(directory)});
}

void TBSSwPointTableController::RegisterTableFile(std::filesystem::path file) {
    sources_.push_back({Source::File, {}, std::move(file)});
}

void TBSSwPointTableController::SetWarningHandler(TWarningHandler onWarning) {
    onWarning_ = std::move(onWarning);
}

void TBSSwPointTableController::Warn(std::string message) {
    if (onWarning_)
        onWarning_(message);
    else
        std::cerr << "warning: " << message << '\n';
    warnings_.push_back(std::move(message));
}

void TBSSwPointTableController::AddText(std::string_view text, std::string resourceName,
                                        std::filesystem::path file,
                                        std::shared_ptr<const std::string> ownText) {
    const std::string source = file.empty() ? resourceName : DisplayPath(file);
    const auto table = NewPointTableFromText(text, source);
    if (table->Id() == 0)
        throw EPointTableError(source + ": the table has no Id (a table needs an Id other than 0 "
                                        "to be selected)");
    TBSSwPointTableInfo info;
    info.id = table->Id();
    info.text = Trim(table->Name() + " " + table->Version());
    info.options = table->Options();
    info.file = std::move(file);
    info.resourceName = std::move(resourceName);
    info.shortNameVersion = table->ShortNameVersion();
    info.hasBaseTimes = table->HasAnyBaseTime();
    infos_.push_back(std::move(info));
    texts_.push_back(std::move(ownText));
}

void TBSSwPointTableController::Add(const Source& source) {
    switch (source.kind) {
    case Source::Resource: {
        const auto text = FindResource(source.name);
        if (!text) {
            Warn("built-in point table " + source.name + " is missing from this program");
            return;
        }
        try {
            AddText(*text, source.name, {}, nullptr);
        } catch (const EPointTableError& e) {
            Warn(std::string("built-in point table skipped: ") + e.what());
        }
        return;
    }
    case Source::Directory: {
        std::vector<std::filesystem::path> files;
        try {
            files = TableFilesIn(source.path);
        } catch (const EPointTableError& e) {
            Warn(std::string("point table directory skipped: ") + e.what());
        }
        for (const auto& file : files)
            Add({Source::File, {}, file});
        return;
    }
    case Source::File:
        try {
            // The text is kept: handing out the table later must not depend on the file still
            // being there and unchanged.
            auto text = std::make_shared<const std::string>(
                DecodeTextBytes(ReadTableFileBytes(source.path)));
            AddText(*text, {}, source.path, text);
        } catch (const EPointTableError& e) {
            Warn(std::string("point table file skipped: ") + e.what());
        }
        return;
    }
}

void TBSSwPointTableController::Update() {
    while (read_ < sources_.size())
        Add(sources_[read_++]);
}

const std::vector<TBSSwPointTableInfo>& TBSSwPointTableController::Infos() {
    Update();
    return infos_;
}

int TBSSwPointTableController::FindIndex(int id) const {
    for (auto i = static_cast<int>(infos_.size()) - 1; i >= 0; --i)
        if (infos_[static_cast<std::size_t>(i)].id == id)
            return i;
    return -1;
}

const TBSSwPointTableInfo* TBSSwPointTableController::FindInfo(int id) {
    Update();
    const int i = FindIndex(id);
    return i >= 0 ? &infos_[static_cast<std::size_t>(i)] : nullptr;
}

IBSSwPointsPtr TBSSwPointTableController::GetPointTable(int id) {
    Update();
    if (id == 0)
        return NewEmptyPointTable();
    int i = FindIndex(id);
    if (i < 0)
        i = FindIndex(DefaultPointTableId);
    if (i < 0)
        return NewEmptyPointTable();
    const auto& info = infos_[static_cast<std::size_t>(i)];
    if (const auto& text = texts_[static_cast<std::size_t>(i)])
        return NewPointTableFromText(*text, DisplayPath(info.file));
    return NewPointTableFromText(FindResource(info.resourceName).value_or(""), info.resourceName);
}

IBSLookupItemsPtr TBSSwPointTableController::PointTableList(TBSSwPointTableOptions filter) {
    Update();
    auto items = NewLookupItems();
    for (const auto& info : infos_)
        if (filter.IsEmpty() || filter.SharesAny(info.options))
            items->SetText(info.id, info.text);
    items->SortByText();
    return items;
}

TBSSwPointTableController& PointTables() {
    static TBSSwPointTableController controller;
    return controller;
}

std::string NoBaseTimesMessage(const IBSSwPoints& table, const std::filesystem::path& directory) {
    return LanguageTextFmt("#BSSwPoints.NoBaseTimes", {Trim(table.Name() + " " + table.Version()),
                                                       table.Id(), DisplayPath(directory)});
}

} // namespace marqor
