#include "foundation/streams.h"

#include "foundation/errors.h"
#include "foundation/file_io.h"
#include "foundation/resources.h"
#include "foundation/text.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace marqor {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::int64_t SeekTarget(std::int64_t offset, TSeekOrigin origin, std::int64_t position,
                        std::int64_t size) {
    std::int64_t base = 0;
    if (origin == soCurrent)
        base = position;
    else if (origin == soEnd)
        base = size;
    return std::max<std::int64_t>(0, base + offset);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Byte streams

std::string TStream::ReadRest() {
    std::string out;
    const std::int64_t left = Size() - Position();
    if (left > 0)
        out.reserve(static_cast<std::size_t>(left));
    char chunk[65536];
    while (true) {
        const std::size_t n = Read(chunk, sizeof chunk);
        if (n == 0)
            break;
        out.append(chunk, n);
    }
    return out;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const auto size = static_cast<std::int64_t>(bytes_.size());
    if (position_ >= size)
        return 0;
    const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(size - position_));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    const auto end = static_cast<std::size_t>(position_) + count;
    if (end > bytes_.size())
        bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = static_cast<std::int64_t>(end);
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    position_ = SeekTarget(offset, origin, position_, Size());
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
    bytes_.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, size)));
    position_ = std::min(position_, Size());
}

std::size_t TReadOnlyMemoryStream::Read(void* buffer, std::size_t count) {
    const auto size = static_cast<std::int64_t>(bytes_.size());
    if (position_ >= size)
        return 0;
    const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(size - position_));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

std::int64_t TReadOnlyMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    position_ = SeekTarget(offset, origin, position_, Size());
    return position_;
}

TBufferedFileStream::TBufferedFileStream(std::string path, bool truncate) : path_(std::move(path)) {
    auto calls = FileSystemCalls();
    fd_ = calls->Open(path_.c_str(), O_RDWR | O_CREAT, 0666);
    if (fd_ < 0)
        throw EFileError("Cannot open file for writing", path_, errno);
    // Other processes may read the file but not write it while this stream is open, as on the
    // old platform; on this one writers agree through an advisory lock.
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        close(fd_);
        fd_ = -1;
        throw EFileError("Cannot open file for writing (another writer holds it)", path_, error);
    }
    if ((truncate && ftruncate(fd_, 0) != 0) || lseek(fd_, 0, SEEK_END) < 0) {
        const int error = errno;
        close(fd_);
        fd_ = -1;
        throw EFileError("Cannot open file for writing", path_, error);
    }
    buffer_.reserve(BufferSize);
}

TBufferedFileStream::~TBufferedFileStream() {
    if (fd_ < 0)
        return;
    try {
        FlushBuffer();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    FileSystemCalls()->Close(fd_);
}

void TBufferedFileStream::FlushBuffer() {
    if (buffer_.empty() || fd_ < 0)
        return;
    // The bytes leave the buffer even when writing fails, so that a later flush (from the
    // destructor) does not write them a second time after a partial write.
    std::string pending;
    pending.swap(buffer_);
    buffer_.reserve(BufferSize);
    WriteFully(*FileSystemCalls(), fd_, pending.data(), pending.size(), path_);
}

std::size_t TBufferedFileStream::Read(void* buffer, std::size_t count) {
    FlushBuffer();
    while (true) {
        const ssize_t n = read(fd_, buffer, count);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw EFileError("Cannot read file", path_, errno);
    }
}

std::size_t TBufferedFileStream::Write(const void* buffer, std::size_t count) {
    if (fd_ < 0)
        throw EFileError("Cannot write to file", path_, EBADF);
    const auto* p = static_cast<const char*>(buffer);
    std::size_t left = count;
    while (left > 0) {
        const std::size_t n = std::min(left, BufferSize - buffer_.size());
        buffer_.append(p, n);
        p += n;
        left -= n;
        if (buffer_.size() == BufferSize)
            FlushBuffer();
    }
    return count;
}

std::int64_t TBufferedFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    FlushBuffer();
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t at = lseek(fd_, offset, whence);
    if (at < 0 && errno == EINVAL) // before the start
        at = lseek(fd_, 0, SEEK_SET);
    if (at < 0)
        throw EFileError("Cannot seek in file", path_, errno);
    return at;
}

std::int64_t TBufferedFileStream::Size() {
    FlushBuffer();
    struct stat st {};
    if (fstat(fd_, &st) != 0)
        throw EFileError("Cannot read file", path_, errno);
    return st.st_size;
}

void TBufferedFileStream::SetSize(std::int64_t size) {
    FlushBuffer();
    if (ftruncate(fd_, std::max<std::int64_t>(0, size)) != 0)
        throw EFileError("Cannot change the size of file", path_, errno);
}

void TBufferedFileStream::Close() {
    if (fd_ < 0)
        return;
    auto calls = FileSystemCalls();
    const int fd = fd_;
    try {
        FlushBuffer();
        if (calls->Fsync(fd) != 0)
            throw EFileError("Cannot write to file", path_, errno);
    } catch (...) {
        fd_ = -1;
        calls->Close(fd);
        throw;
    }
    fd_ = -1;
    if (calls->Close(fd) != 0)
        throw EFileError("Cannot write to file", path_, errno);
}

TBufferedFileReader::TBufferedFileReader(std::string path) : path_(std::move(path)) {
    do
        fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw EFileError("Cannot open file", path_, errno);
    struct stat st {};
    if (fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        close(fd_);
        throw EFileError("Cannot open file", path_, error);
    }
    size_ = st.st_size;
}

TBufferedFileReader::~TBufferedFileReader() {
    close(fd_);
}

std::size_t TBufferedFileReader::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    std::size_t copied = 0;
    while (copied < count) {
        const bool inWindow = windowStart_ >= 0 && position_ >= windowStart_ &&
                              position_ < windowStart_ + static_cast<std::int64_t>(windowCount_);
        if (!inWindow) {
            if (position_ >= size_)
                break;
            const auto want =
                static_cast<std::size_t>(std::min<std::int64_t>(BufferSize, size_ - position_));
            window_.resize(BufferSize);
            ssize_t n;
            do
                n = pread(fd_, window_.data(), want, position_);
            while (n < 0 && errno == EINTR);
            if (n < 0)
                throw EFileError("Cannot read file", path_, errno);
            if (n == 0) // the file became shorter since it was opened
                break;
            windowStart_ = position_;
            windowCount_ = static_cast<std::size_t>(n);
        }
        const auto offset = static_cast<std::size_t>(position_ - windowStart_);
        const std::size_t n = std::min(count - copied, windowCount_ - offset);
        std::memcpy(out + copied, window_.data() + offset, n);
        copied += n;
        position_ += static_cast<std::int64_t>(n);
    }
    return copied;
}

std::int64_t TBufferedFileReader::Seek(std::int64_t offset, TSeekOrigin origin) {
    position_ = SeekTarget(offset, origin, position_, size_);
    return position_;
}

// ---------------------------------------------------------------------------------------------
// Reader

namespace {

bool IsBlank(std::string_view line) {
    return TrimView(line).empty();
}

struct NameValue {
    std::string name;
    std::string value;
};

// Every line split at its first "="; the value is the one of the first line with the same name
// (without ASCII letter case), so that a name that repeats keeps its first value.
std::vector<NameValue> FirstValues(const IBSStringList& lines) {
    std::vector<NameValue> out;
    out.reserve(static_cast<std::size_t>(lines.Count()));
    std::unordered_map<std::string, std::string> first;
    for (const auto& line : lines) {
        const auto eq = line.find('=');
        NameValue nv;
        nv.name = eq == std::string::npos ? std::string() : line.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        nv.value = first.try_emplace(AsciiUpper(nv.name), value).first->second;
        out.push_back(std::move(nv));
    }
    return out;
}

class TBSStreamReader final : public IBSStreamReader {
public:
    TBSStreamReader(std::unique_ptr<TStream> stream, bool detect)
        : stream_(std::move(stream)), detect_(detect) {}

    std::int64_t Position() override { return stream_->Position(); }
    void SetPosition(std::int64_t position) override {
        if (position == -1) {
            DetectEncoding();
            stream_->SetPosition(StartOfText());
        } else {
            stream_->SetPosition(std::max<std::int64_t>(0, position));
        }
    }
    TStream* Stream() override { return stream_.get(); }

    std::string AsBytes() override {
        stream_->SetPosition(0);
        return stream_->ReadRest();
    }
    std::string AsText() override {
        DetectEncoding();
        return Decode(AsBytes());
    }
    std::int64_t Size() override { return stream_->Size(); }
    bool NotEof() override {
        if (encoding_ == reUnknown && stream_->Position() == 0)
            DetectEncoding();
        return stream_->Position() < stream_->Size();
    }
    TBSReaderEncoding Encoding() override {
        DetectEncoding();
        return encoding_;
    }

    std::string ReadLine() override {
        DetectEncoding();
        return IsUtf16() ? ReadLine16() : ReadLine8();
    }
    int LineCount() override {
        const std::int64_t keep = stream_->Position();
        SetPosition(-1);
        int count = 0;
        while (NotEof()) {
            ReadLine();
            ++count;
        }
        stream_->SetPosition(keep);
        return count;
    }
    IBSStringListPtr AsStringList() override {
        DetectEncoding();
        std::string text = Decode(stream_->ReadRest());
        if (text.starts_with(kUtf8Bom))
            text.erase(0, kUtf8Bom.size());
        auto list = NewStringList();
        list->SetLines(text);
        return list;
    }
    IBSIntegerMapPtr AsIntegerMap() override {
        auto lines = AsStringList();
        auto map = NewIntegerMap();
        const auto pairs = FirstValues(*lines);
        for (std::size_t i = 0; i < pairs.size(); ++i)
            if (!IsBlank(lines->Item(static_cast<int>(i))))
                map->Put(StrToIntDef(pairs[i].name, 0), StrToIntDef(pairs[i].value, 0));
        return map;
    }
    IBSLookupItemsPtr AsLookupItems() override {
        auto lines = AsStringList();
        auto items = NewLookupItems();
        for (const auto& nv : FirstValues(*lines))
            items->SetText(StrToIntDef(nv.name, 0), nv.value);
        return items;
    }
    IBSStringMapPtr AsStringMap() override {
        auto lines = AsStringList();
        auto map = NewStringMap();
        const auto pairs = FirstValues(*lines);
        for (std::size_t i = 0; i < pairs.size(); ++i)
            if (!IsBlank(lines->Item(static_cast<int>(i))))
                map->Put(pairs[i].name, pairs[i].value);
        return map;
    }

    double ReadDouble() override { return std::bit_cast<double>(ReadUnsigned(8, false)); }
    double ReadDoubleBigEndian() override { return std::bit_cast<double>(ReadUnsigned(8, true)); }
    std::int64_t ReadInteger(int kind) override { return ReadKind(kind, false); }
    std::int64_t ReadIntegerBigEndian(int kind) override { return ReadKind(kind, true); }
    std::int64_t ReadPackedInteger() override {
        unsigned char b;
        if (stream_->Read(&b, 1) != 1)
            return 0;
        const bool negative = b & 0x40;
        std::uint64_t magnitude = b & 0x3F;
        unsigned shift = 6;
        while (b & 0x80) {
            if (stream_->Read(&b, 1) != 1)
                break;
            if (shift < 64)
                magnitude |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            shift += 7;
        }
        return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
    }

private:
    bool IsUtf16() const { return encoding_ == reUtf16LE || encoding_ == reUtf16BE; }

    std::int64_t MarkLength() const {
        if (!detect_)
            return 0;
        switch (encoding_) {
        case reUtf8:
            return 3;
        case reUtf16LE:
        case reUtf16BE:
            return 2;
        default:
            return 0;
        }
    }
    // A stream that holds nothing but a byte-order mark has an empty text: the start lies at
    // its end, not on the mark's last byte.
    std::int64_t StartOfText() { return std::min(MarkLength(), stream_->Size()); }

    void DetectEncoding() {
        if (encoding_ != reUnknown)
            return;
        if (!detect_) {
            encoding_ = reUtf16LE;
            return;
        }
        stream_->SetPosition(0);
        unsigned char head[4] = {};
        const std::size_t n = stream_->Read(head, sizeof head);
        if (n >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
            encoding_ = reUtf8;
        else if (n >= 2 && head[0] == 0xFF && head[1] == 0xFE)
            encoding_ = reUtf16LE;
        else if (n >= 2 && head[0] == 0xFE && head[1] == 0xFF)
            encoding_ = reUtf16BE;
        else
            encoding_ = reAnsi;
        stream_->SetPosition(StartOfText());
    }

    std::string Decode(std::string_view bytes) const {
        switch (encoding_) {
        case reUtf8:
            return DecodeTextBytesAs(bytes, TextEncoding::Utf8);
        case reUtf16LE:
            return DecodeTextBytesAs(bytes, TextEncoding::Utf16LE);
        case reUtf16BE:
            return DecodeTextBytesAs(bytes, TextEncoding::Utf16BE);
        default:
            return DecodeTextBytesAs(bytes, IsValidUtf8(bytes) ? TextEncoding::Utf8
                                                               : TextEncoding::Windows1252);
        }
    }

    std::string ReadLine8() {
        std::string bytes;
        char c;
        while (stream_->Read(&c, 1) == 1) {
            if (c == '\r' || c == '\n') {
                while (stream_->Read(&c, 1) == 1) {
                    if (c != '\r' && c != '\n' && c != '\0') {
                        stream_->Seek(-1, soCurrent);
                        break;
                    }
                }
                break;
            }
            bytes += c;
        }
        return Decode(bytes);
    }

    // Line breaks of UTF-16 text are whole code units: a byte 0x0A or 0x0D may be half of
    // another character (U+010A, U+4E0A, the whole Malayalam block).
    std::string ReadLine16() {
        const bool le = encoding_ == reUtf16LE;
        auto unitOf = [&](const unsigned char* u) {
            return le ? (u[0] | (u[1] << 8)) : ((u[0] << 8) | u[1]);
        };
        std::string bytes;
        unsigned char u[2];
        while (true) {
            const std::size_t n = stream_->Read(u, 2);
            if (n < 2) {
                bytes.append(reinterpret_cast<char*>(u), n);
                break;
            }
            const int unit = unitOf(u);
            if (unit == 0x0D || unit == 0x0A) {
                while (true) {
                    const std::size_t m = stream_->Read(u, 2);
                    if (m == 0)
                        break;
                    if (m < 2 || (unitOf(u) != 0x0D && unitOf(u) != 0x0A && unitOf(u) != 0)) {
                        stream_->Seek(-static_cast<std::int64_t>(m), soCurrent);
                        break;
                    }
                }
                break;
            }
            bytes.append(reinterpret_cast<char*>(u), 2);
        }
        return Decode(bytes);
    }

    std::uint64_t ReadUnsigned(std::size_t count, bool bigEndian) {
        unsigned char b[8] = {};
        if (stream_->Read(b, count) != count)
            return 0;
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = bigEndian ? i : count - 1 - i;
            v = (v << 8) | b[at];
        }
        return v;
    }

    std::int64_t ReadKind(int kind, bool bigEndian) {
        static constexpr std::size_t kBytes[] = {1, 2, 4, 1, 2, 4, 8};
        if (kind < 0 || kind > 6)
            throw std::invalid_argument("integer kind " + std::to_string(kind));
        const std::uint64_t v = ReadUnsigned(kBytes[kind], bigEndian);
        switch (kind) {
        case 0:
            return static_cast<std::uint8_t>(v);
        case 1:
            return static_cast<std::uint16_t>(v);
        case 3:
            return static_cast<std::int8_t>(v);
        case 4:
            return static_cast<std::int16_t>(v);
        default: // 2, 5, 6: 32 bits held as signed
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        }
    }

    std::unique_ptr<TStream> stream_;
    bool detect_;
    TBSReaderEncoding encoding_ = reUnknown;
};

// ---------------------------------------------------------------------------------------------
// Writers

std::int64_t Utf16Units(std::string_view text) {
    std::int64_t units = 0;
    for (char32_t c : Utf8ToCodePoints(text))
        units += c >= 0x10000 ? 2 : 1;
    return units;
}

class TBSStreamWriter final : public IBSStreamWriter {
public:
    TBSStreamWriter(std::unique_ptr<TStream> stream, TBSWriterEncoding encoding,
                    std::function<void(TStream&)> onClose)
        : stream_(std::move(stream)), encoding_(encoding), onClose_(std::move(onClose)) {
        if (encoding_ == weUtf8Bom && stream_->Size() == 0)
            stream_->Write(kUtf8Bom.data(), kUtf8Bom.size());
    }
    ~TBSStreamWriter() override {
        try {
            Close();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
    }

    std::int64_t Position() override { return stream_ ? stream_->Position() : 0; }
    void SetPosition(std::int64_t position) override {
        if (!stream_)
            return;
        if (position == -1 && encoding_ == weUtf8Bom)
            position = stream_->Size() > 2 ? 3 : 0;
        stream_->SetPosition(std::max<std::int64_t>(0, position));
    }
    TStream* Stream() override { return stream_.get(); }
    std::int64_t BytesWritten() const override { return bytes_; }
    void Close() override {
        if (!stream_)
            return;
        auto stream = std::move(stream_);
        if (onClose_)
            onClose_(*stream);
    }
    TBSWriterEncoding Encoding() const override { return encoding_; }
    IBSStreamWriter& WriteBuffer(const void* buffer, std::size_t count) override {
        if (!stream_)
            throw EStreamError("Cannot write: the writer is closed");
        stream_->Write(buffer, count);
        bytes_ += static_cast<std::int64_t>(count);
        return *this;
    }
    IBSStreamWriter& Write(std::string_view text) override {
        return WriteBuffer(text.data(), text.size());
    }

private:
    std::unique_ptr<TStream> stream_;
    TBSWriterEncoding encoding_;
    std::function<void(TStream&)> onClose_;
    std::int64_t bytes_ = 0;
};

class TBSStreamWriterAdapter final : public IBSStreamWriter {
public:
    explicit TBSStreamWriterAdapter(std::function<void(std::string_view)> callback)
        : callback_(std::move(callback)) {}

    std::int64_t Position() override { return 0; }
    void SetPosition(std::int64_t) override {}
    TStream* Stream() override { return nullptr; }
    std::int64_t BytesWritten() const override { return bytes_; }
    void Close() override {}
    TBSWriterEncoding Encoding() const override { return weAnsi; }
    IBSStreamWriter& WriteBuffer(const void* buffer, std::size_t count) override {
        return Write(DecodeTextBytesAs(std::string_view(static_cast<const char*>(buffer), count),
                                       TextEncoding::Utf16LE));
    }
    IBSStreamWriter& Write(std::string_view text) override {
        if (callback_) {
            callback_(text);
            bytes_ += 2 * Utf16Units(text);
        }
        return *this;
    }

private:
    std::function<void(std::string_view)> callback_;
    std::int64_t bytes_ = 0;
};

} // namespace

IBSStreamWriter& IBSStreamWriter::WriteFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatV(format, args);
    va_end(args);
    return Write(text);
}

IBSStreamWriter& IBSStreamWriter::WriteLine(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    return Write(line);
}

IBSStreamWriter& IBSStreamWriter::WriteLineFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatV(format, args);
    va_end(args);
    return WriteLine(text);
}

IBSStreamWriter& IBSStreamWriter::WriteTable(IBSTableSource& table) {
    table.Rewind();
    const auto names = table.ColumnNames();
    std::string header = names->AsText();
    std::ranges::replace(header, ',', '\t');
    WriteLine(header);
    while (table.NextRow()) {
        std::string row;
        for (int i = 0; i < names->Count(); ++i) {
            if (i)
                row += '\t';
            row += table.ValueText(i);
        }
        WriteLine(row);
    }
    return *this;
}

IBSStreamReaderPtr NewStreamReader(std::unique_ptr<TStream> stream, bool detectEncoding) {
    return std::make_shared<TBSStreamReader>(std::move(stream), detectEncoding);
}

IBSStreamWriterPtr NewStreamWriter(std::unique_ptr<TStream> stream, TBSWriterEncoding encoding) {
    return NewStreamWriter(std::move(stream), encoding, {});
}

IBSStreamWriterPtr NewStreamWriter(std::unique_ptr<TStream> stream, TBSWriterEncoding encoding,
                                   std::function<void(TStream&)> onClose) {
    return std::make_shared<TBSStreamWriter>(std::move(stream), encoding, std::move(onClose));
}

IBSStreamReaderPtr OpenFileReader(const std::string& fileName) {
    return NewStreamReader(std::make_unique<TBufferedFileReader>(fileName), true);
}

IBSStreamWriterPtr OpenFileWriter(const std::string& fileName, bool append,
                                  TBSWriterEncoding encoding) {
    return NewStreamWriter(std::make_unique<TBufferedFileStream>(fileName, !append), encoding,
                           [](TStream& s) { static_cast<TBufferedFileStream&>(s).Close(); });
}

IBSStreamReaderPtr OpenResourceReader(std::string_view name) {
    const auto bytes = FindResource(name);
    if (!bytes)
        throw EStreamError("Resource " + std::string(name) + " not found");
    return NewStreamReader(std::make_unique<TReadOnlyMemoryStream>(*bytes), true);
}

IBSStreamReaderPtr OpenTextReader(std::string_view text) {
    return NewStreamReader(std::make_unique<TMemoryStream>(EncodeUtf16LE(text)), false);
}

IBSStreamWriterPtr NewWriterAdapter(std::function<void(std::string_view)> callback) {
    return std::make_shared<TBSStreamWriterAdapter>(std::move(callback));
}

} // namespace marqor
