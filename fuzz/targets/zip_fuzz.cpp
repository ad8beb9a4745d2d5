#include "fuzz_support.h"
#include "fuzz_targets.h"

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/zip.h"

namespace marqor::fuzz {

// Input: the bytes of a zip archive. Damaged archives and entries raise EZipError (or
// EFileError); nothing else happens to them.
int FuzzZipEntry(const std::uint8_t* data, std::size_t size) {
    Prepare();
    const std::string path =
        WriteScratchFile("archive.zip", {reinterpret_cast<const char*>(data), size});
    try {
        const auto zip = OpenZipFile(NewFile(path));
        const int count = zip->EntryCount();
        for (int i = 0; i < count && i < 16; ++i) {
            const std::string name = zip->EntryName(i);
            try {
                const auto reader = zip->OpenEntryReader(name);
                reader->Encoding();
                reader->LineCount();
                MARQOR_FUZZ_CHECK(reader->AsBytes().size() <= MaxZipEntrySize, "entry too big");
            } catch (const EStreamError&) {
            }
        }
        MARQOR_FUZZ_CHECK(zip->EntryName(count).empty(), "a name past the list");
    } catch (const EStreamError&) {
    }
    try {
        OpenZipEntryReader(path, "settings.xml")->AsText();
    } catch (const EStreamError&) {
    }
    return 0;
}

} // namespace marqor::fuzz
