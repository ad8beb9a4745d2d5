#include "foundation/zip.h"

#include "foundation/errors.h"

#include <algorithm>
#include <zip.h>

namespace marqor {

namespace {

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

struct ArchiveCloser {
    void operator()(zip_t* z) const {
        if (z)
            zip_discard(z);
    }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

Archive OpenArchive(const std::string& path, int flags) {
    int code = 0;
    zip_t* z = zip_open(path.c_str(), flags, &code);
    if (!z)
        throw EZipError(path, ZipErrorText(code));
    return Archive(z);
}

std::string EntryKey(std::string_view name) {
    std::string key(name);
    std::ranges::replace(key, '\\', '/');
    return key;
}

bool ClimbsOut(const std::string& name) {
    if (name.empty() || name.front() == '/' || (name.size() > 1 && name[1] == ':'))
        return true;
    std::size_t start = 0;
    while (start <= name.size()) {
        const auto slash = name.find('/', start);
        const auto part = name.substr(start, slash - start);
        if (part == "..")
            return true;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return false;
}

std::string ReadEntry(const std::string& path, std::string_view entryName) {
    auto archive = OpenArchive(path, ZIP_RDONLY);
    const std::string key = EntryKey(entryName);
    const zip_int64_t index = zip_name_locate(archive.get(), key.c_str(), ZIP_FL_NOCASE);
    if (index < 0)
        throw EZipError(path, "no entry " + key);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(index), 0, &st) != 0)
        throw EZipError(path, zip_strerror(archive.get()));
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        throw EZipError(path, "entry " + key + " is encrypted");
    if ((st.valid & ZIP_STAT_SIZE) && st.size > MaxZipEntrySize)
        throw EZipError(path, "entry " + key + " is too large");
    zip_file_t* file = zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(index), 0);
    if (!file)
        throw EZipError(path, zip_strerror(archive.get()));
    std::string bytes;
    char chunk[65536];
    while (true) {
        const zip_int64_t n = zip_fread(file, chunk, sizeof chunk);
        if (n < 0) {
            const std::string reason = zip_error_strerror(zip_file_get_error(file));
            zip_fclose(file);
            throw EZipError(path, "entry " + key + ": " + reason);
        }
        if (n == 0)
            break;
        // The stated size can lie; the bytes themselves decide.
        if (bytes.size() + static_cast<std::size_t>(n) > MaxZipEntrySize) {
            zip_fclose(file);
            throw EZipError(path, "entry " + key + " is too large");
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    zip_fclose(file);
    return bytes;
}

void StoreEntry(const std::string& path, const std::string& key, const std::string& bytes) {
    auto archive = OpenArchive(path, ZIP_CREATE);
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
        if (name && EntryKey(name) == key)
            zip_delete(archive.get(), static_cast<zip_uint64_t>(i));
    }
    // The source is freed by libzip; it only refers to the bytes, which outlive zip_close.
    zip_source_t* source = zip_source_buffer(archive.get(), bytes.data(), bytes.size(), 0);
    if (!source)
        throw EZipError(path, zip_strerror(archive.get()));
    const zip_int64_t index =
        zip_file_add(archive.get(), key.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        throw EZipError(path, zip_strerror(archive.get()));
    }
    zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0);
    // zip_close writes a temporary file and renames it over the archive.
    if (zip_close(archive.get()) != 0)
        throw EZipError(path, zip_strerror(archive.get()));
    archive.release();
}

class TBSZipFile final : public IBSZipFile {
public:
    explicit TBSZipFile(IBSFilePtr file) : file_(std::move(file)) {}

    IBSFilePtr File() const override { return file_; }
    int EntryCount() override { return List()->Count(); }
    std::string EntryName(int index) override {
        const auto names = List();
        return index >= 0 && index < names->Count() ? names->Item(index) : std::string();
    }
    IBSStreamReaderPtr OpenEntryReader(std::string_view entryName) override {
        return OpenZipEntryReader(file_->PathText(), entryName);
    }
    IBSStreamWriterPtr OpenEntryWriter(std::string_view entryName,
                                       TBSWriterEncoding encoding) override {
        entries_.reset(); // the archive changes with the writer's Close
        return OpenZipEntryWriter(file_->PathText(), entryName, encoding);
    }

private:
    IBSStringListPtr List() {
        if (entries_)
            return entries_;
        auto names = NewStringList();
        auto archive = OpenArchive(file_->PathText(), ZIP_RDONLY);
        const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
            if (name && *name && !std::string_view(name).ends_with('/'))
                names->Add(name);
        }
        entries_ = names;
        return names;
    }

    IBSFilePtr file_;
    IBSStringListPtr entries_;
};

} // namespace

IBSZipFilePtr OpenZipFile(IBSFilePtr file) {
    return std::make_shared<TBSZipFile>(std::move(file));
}

IBSStreamReaderPtr OpenZipEntryReader(const std::string& archive, std::string_view entryName) {
    return NewStreamReader(std::make_unique<TMemoryStream>(ReadEntry(archive, entryName)), true);
}

IBSStreamWriterPtr OpenZipEntryWriter(const std::string& archive, std::string_view entryName,
                                      TBSWriterEncoding encoding) {
    const std::string key = EntryKey(entryName);
    if (ClimbsOut(key))
        throw EZipError(archive, "entry name " + key + " leaves the archive");
    return NewStreamWriter(std::make_unique<TMemoryStream>(), encoding, [archive, key](TStream& s) {
        StoreEntry(archive, key, static_cast<TMemoryStream&>(s).Bytes());
    });
}

} // namespace marqor
