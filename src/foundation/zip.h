#pragma once

// Entries of zip archives as readers and writers. Entries are read into memory and never
// extracted to the file system, so an entry name such as "../x" cannot reach outside anything.

#include "foundation/files.h"
#include "foundation/streams.h"

#include <memory>
#include <string>
#include <string_view>

namespace marqor {

class IBSZipFile {
public:
    virtual ~IBSZipFile() = default;
    virtual IBSFilePtr File() const = 0;
    // The entries are listed once, on the first of these calls; directories are not entries.
    virtual int EntryCount() = 0;
    // The stored path of the entry ("/" separates its parts); empty outside the list.
    virtual std::string EntryName(int index) = 0;
    virtual IBSStreamReaderPtr OpenEntryReader(std::string_view entryName) = 0;
    virtual IBSStreamWriterPtr OpenEntryWriter(std::string_view entryName,
                                               TBSWriterEncoding encoding) = 0;
};
using IBSZipFilePtr = std::shared_ptr<IBSZipFile>;

IBSZipFilePtr OpenZipFile(IBSFilePtr file);

// An entry (found without regard to letter case; "\" read as "/") read into memory, with
// byte-order-mark detection. Raises EZipError for a missing archive or entry, a damaged or
// encrypted archive and an entry larger than MaxZipEntrySize.
IBSStreamReaderPtr OpenZipEntryReader(const std::string& archive, std::string_view entryName);
// Collects the bytes; Close replaces the entry of that name in the archive (created when
// missing). Names that climb out of the archive ("../x", "/x") raise EZipError.
IBSStreamWriterPtr OpenZipEntryWriter(const std::string& archive, std::string_view entryName,
                                      TBSWriterEncoding encoding);

// Entries are read whole into memory; a larger one (or a zip bomb claiming to be small) is
// refused.
inline constexpr std::size_t MaxZipEntrySize = 256u << 20;

} // namespace marqor
