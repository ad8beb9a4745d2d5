#pragma once

// Files and directories as small immutable objects that hold a normalised absolute path and
// answer questions about it, create related objects and perform operations.
//
// Paths: "/" separates the parts and an absolute path begins with "/". A "\" in a given text is
// read as "/" (paths come from settings and files written on Windows). A path with a drive
// letter ("C:/x") counts as absolute; only there is a colon kept. A relative text is expanded
// against a base directory, by default the directory of the running program.

#include "foundation/containers.h"
#include "foundation/date_time.h"
#include "foundation/streams.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

class IBSPath;
class IBSFile;
class IBSDirectory;
using IBSPathPtr = std::shared_ptr<IBSPath>;
using IBSFilePtr = std::shared_ptr<IBSFile>;
using IBSDirectoryPtr = std::shared_ptr<IBSDirectory>;
using IBSFileList = std::vector<IBSFilePtr>;
using IBSDirectoryList = std::vector<IBSDirectoryPtr>;

// File kinds: indexes into a fixed table of 84 extensions (0 is the empty extension). These are
// the ones the system asks for by name.
enum TBSFileKind : int {
    fkNone = 0,
    fkErr = 24,
    fkIni = 36,
    fkLog = 43,
    fkPdf = 55,
    fkXml = 78,
    fkZip = 82,
};
inline constexpr int FileKindCount = 84;
// The extension with its dot; empty for 0 and for a number outside the table.
std::string_view FileKindExtension(int kind);
// The kind of an extension (with its dot, letter case ignored); 0 when it is not in the table.
int FileKindOfExtension(std::string_view extension);

// Groups of kinds for InKindGroup.
enum TBSFileKindGroup { fgDocument, fgImage, fgMedia, fgArchive };

class IBSPath {
public:
    virtual ~IBSPath() = default;

    // The normalised path; empty for an empty path object.
    virtual const std::string& PathText() const = 0;
    virtual bool IsDirectory() const = 0;
    bool IsEmpty() const { return PathText().empty(); }
    // The path with a trailing "/" for a directory.
    virtual std::string FullUncName() const = 0;

    // The local time of the last change; 0 when the path does not exist.
    TDateTime ModifiedAt() const;
    // No effect on a directory.
    virtual void SetModifiedAt(TDateTime value) const = 0;
    std::string ModifiedDateText() const;
    // Deletes silently (a directory with everything in it), to the freedesktop trash when
    // asked; answers whether the path no longer exists.
    virtual bool Delete(bool toRecycleBin = false) const = 0;
    // The containing directory; a directory answers itself.
    virtual IBSDirectoryPtr Directory() const = 0;
    // The containing directory's path with a trailing "/" (a directory: its own path).
    virtual std::string DirectoryText() const = 0;
    virtual bool Exists() const = 0;
    int Kind() const;
    std::string Extension() const; // with its dot
    std::string Name() const;      // the last part
    std::string BaseName() const;  // the last part without its last extension
    // A path of the form letter, ":", "/".
    bool IsLocalDrivePath() const;
    // A file that cannot be opened for writing or is held by a writer; a directory in which no
    // file can be created.
    virtual bool CannotWrite() const = 0;
    // The same full path (letter case counts: the file systems here tell "A" from "a").
    bool SameAs(const IBSPath& other) const;
    // Equal to the directory or below it.
    bool IsInside(const IBSDirectory& directory) const;
    // Renames (across file systems a file is copied and deleted); answers whether it worked.
    virtual bool MoveTo(const IBSPath& target) const = 0;
    // The path relative to the directory ("../b/c.txt"); the full path without a directory or
    // when the two have no common root.
    std::string RelativeTo(const IBSDirectory* directory) const;
    // Opens with the associated program (xdg-open) or, for a directory, creates it and shows it
    // in the file browser: the configured explore command or xdg-open. Does not wait.
    virtual bool Open(std::string_view parameters = {},
                      const IBSDirectory* workingDirectory = nullptr) const = 0;

    // Access rights have no tool on this platform: these answer false and change nothing.
    bool GrantAccess(std::string_view account, const IBSStringList& rights, bool recursive) const;
    bool RevokeAccess(std::string_view account, const IBSStringList& rights, bool recursive) const;
    bool SetAccess(std::string_view account, const IBSStringList& rights, bool recursive) const;
};

class IBSFile : public IBSPath {
public:
    // The file's lines (for a ".zip" file: the lines of its first entry). Raises EFileError or
    // EZipError when the file cannot be read.
    virtual IBSStringListPtr ReadLines() const = 0;
    // "key=value" lines; lines whose "=" is missing or first are skipped.
    virtual IBSStringMapPtr ReadMap() const = 0;
    // Create the directory and replace the file's content atomically: at any moment, even after
    // a crash, the file holds either the old or the new content. The text is written as is
    // (UTF-8); an empty path discards it.
    virtual void WriteLines(const IBSStringList& lines) const = 0;
    virtual void WriteAll(std::string_view data) const = 0;
    // Starts the file as a program with the parameters (split like a command line), without
    // waiting; answers whether it started.
    virtual bool Run(std::string_view parameters = {}, bool show = true) const = 0;
    // Starts the file hidden and hands each line of its standard output to the handler (lines
    // end at LF, CR is dropped). Once the output ends the process is waited for at most 5
    // seconds. Answers the exit code, -1 when it could not start or did not end in time.
    virtual int RunCaptured(std::string_view parameters,
                            const std::function<void(const std::string&)>& handler) const = 0;
    // Starts the file and waits for it; answers whether it ran and exited with 0.
    virtual bool RunAndWait(std::string_view parameters = {}, bool show = true) const = 0;
    // fkZip for a file beginning with "PK", fkPdf for "%PDF", else 0.
    virtual int DetectedKind() const = 0;
    virtual std::string ReadHead(std::size_t count) const = 0;
    virtual int ImageIndex() const = 0;
    virtual bool IsDocumentKind() const = 0;
    // Whether the file can be created (a missing file is created and deleted again; an existing
    // one is only opened for writing, never emptied).
    virtual bool TryCreate() const = 0;
    // None when the file does not exist; raises EFileError when it exists but cannot be read.
    virtual IBSStreamReaderPtr OpenRead() const = 0;
    // Creates the directory first; an empty path gives a writer that discards everything.
    virtual IBSStreamWriterPtr OpenWrite(bool append = false,
                                         TBSWriterEncoding encoding = weAnsi) const = 0;
    virtual bool HasKind(int kind) const = 0;
    virtual bool InKindGroup(TBSFileKindGroup group) const = 0;
    // The file itself when it does not exist, else the first free name-01.ext, name-02.ext, ...
    virtual IBSFilePtr NextFreeName() const = 0;
    virtual IBSFilePtr WithKind(int kind) const = 0;
    // "ini" and ".ini" both give name.ini; an empty path stays empty.
    virtual IBSFilePtr WithExtension(std::string_view extension) const = 0;
    // Replaces an existing target.
    virtual bool CopyTo(const IBSPath& target) const = 0;
    virtual std::int64_t Size() const = 0; // 0 when absent
};

class IBSDirectory : public IBSPath {
public:
    // Deletes every file directly in the directory.
    virtual void DeleteContents(bool toRecycleBin = false) const = 0;
    // Masks separated by ";" ("*.*" and "*" match every name; letter case is ignored).
    virtual IBSDirectoryList Subdirectories(std::string_view masks = "*") const = 0;
    // Creates the directory and every missing parent; answers whether it exists afterwards.
    virtual bool Create() const = 0;
    // Files of the directory (recursive: and of every directory below it, depth first), mask by
    // mask, each name once, in name order within a directory.
    virtual IBSFileList Files(std::string_view masks = "*.*", bool recursive = false) const = 0;
    virtual IBSFileList FilesOfKinds(const std::vector<int>& kinds,
                                     bool recursive = false) const = 0;
    // This directory followed by the relative path from one path to another.
    virtual IBSDirectoryPtr RelativeDirectory(const IBSPath& from, const IBSPath& to) const = 0;
    virtual IBSDirectoryPtr Subdirectory(std::string_view name) const = 0;
    // A name relative to this directory; absolute names stay absolute.
    virtual IBSFilePtr File(std::string_view name) const = 0;
    virtual IBSFilePtr FileWithExtension(std::string_view name,
                                         std::string_view extension) const = 0;
    virtual IBSFilePtr FileWithKind(std::string_view name, int kind) const = 0;
    virtual bool HasEntries() const = 0;
    // Creates the directory and makes it the process's current directory.
    virtual bool MakeCurrent() const = 0;
};

IBSFilePtr NewFile(std::string_view text, const IBSDirectory* base = nullptr);
IBSDirectoryPtr NewDirectory(std::string_view text, const IBSDirectory* base = nullptr);
// The directory of the running program.
IBSDirectoryPtr ExecutableDirectory();

// The normalised absolute form of a path text (see the top of this file); empty for an empty
// text. The base is used for a relative text; without one, the program's directory.
std::string NormalisePath(std::string_view text, const std::string* base = nullptr);

// The command that shows a directory in the file browser ("%s" stands for the path); empty
// means xdg-open. The configuration sets it at start.
void SetDirectoryExploreCmd(std::string command);
std::string DirectoryExploreCmd();

// A parameter text split like a command line: blanks separate, double quotes group (and are
// removed), "" inside quotes is one quote.
std::vector<std::string> SplitCommandLine(std::string_view parameters);

} // namespace marqor
