#pragma once

// Readers and writers of text and bytes. A reader detects a byte-order mark, splits lines and
// turns "key=value" lines into containers; a writer writes texts in one of three encodings with
// CR LF line ends. Underneath sit byte streams: buffered files, memory and built-in resources.

#include "foundation/containers.h"
#include "foundation/maps.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace marqor {

// ---------------------------------------------------------------------------------------------
// Byte streams

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    // Answers the number of bytes copied; 0 at the end.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Answers the number of bytes taken (0 for a read-only stream). Failures raise.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Answers the new position, which may lie beyond the end.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t Size() = 0;
    virtual void SetSize(std::int64_t size) = 0;

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soBeginning); }
    // Every byte from the current position to the end.
    std::string ReadRest();
};

// Bytes in memory, growing as they are written.
class TMemoryStream final : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }
    void SetSize(std::int64_t size) override;
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::int64_t position_ = 0;
};

// Bytes that live elsewhere for the whole process (built-in resources); read-only.
class TReadOnlyMemoryStream final : public TStream {
public:
    explicit TReadOnlyMemoryStream(std::string_view bytes) : bytes_(bytes) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }
    void SetSize(std::int64_t) override {}

private:
    std::string_view bytes_;
    std::int64_t position_ = 0;
};

// A file opened for writing (and reading) through a 61,440-byte write buffer. An existing file
// is opened, a missing one created; the stream holds an exclusive lock on the file, so a second
// writer of this or another process is refused. Every read, seek and size operation first
// writes out the buffer. Failures raise EFileError with the path and the system's reason.
class TBufferedFileStream final : public TStream {
public:
    static constexpr std::size_t BufferSize = 61'440;

    TBufferedFileStream(std::string path, bool truncate);
    ~TBufferedFileStream() override; // writes out the buffer; errors are reported on stderr

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override;
    void SetSize(std::int64_t size) override;

    void FlushBuffer();
    // Writes out the buffer, asks the system to put the data on disk and closes the file.
    void Close();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
    std::string buffer_;
};

// A file opened for reading through a 61,440-byte read window. Other writers are not locked
// out; the size is taken once, at opening.
class TBufferedFileReader final : public TStream {
public:
    static constexpr std::size_t BufferSize = 61'440;

    explicit TBufferedFileReader(std::string path);
    ~TBufferedFileReader() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return size_; }
    void SetSize(std::int64_t) override {}
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    std::int64_t windowStart_ = -1;
    std::size_t windowCount_ = 0;
    std::string window_;
};

// ---------------------------------------------------------------------------------------------
// Readers and writers

enum TBSWriterEncoding : std::uint8_t { weAnsi = 0, weUtf8Bom = 1, weUtf8 = 2 };

// How a reader decodes its bytes. reAnsi is text without a byte-order mark: valid UTF-8 is read
// as UTF-8, anything else as Windows-1252, the code page files of the old platform were
// written in.
enum TBSReaderEncoding : std::uint8_t { reUnknown, reAnsi, reUtf8, reUtf16LE, reUtf16BE };

class IBSStream {
public:
    virtual ~IBSStream() = default;
    virtual std::int64_t Position() = 0;
    // A negative position sets 0; -1 means the start of the text (after a byte-order mark).
    virtual void SetPosition(std::int64_t position) = 0;
    // The byte stream behind a reader or a stream writer, still owned by it; none for a writer
    // adapter or a closed writer.
    virtual TStream* Stream() = 0;
};

class IBSStreamReader : public IBSStream {
public:
    // Every byte from position 0, a byte-order mark included; the position is at the end
    // afterwards.
    virtual std::string AsBytes() = 0;
    // AsBytes decoded; a byte-order mark becomes U+FEFF at the start.
    virtual std::string AsText() = 0;
    virtual std::int64_t Size() = 0;
    // The position is below the size. Asked at the very start, it first determines the
    // encoding, so that a stream holding only a byte-order mark has nothing to read.
    virtual bool NotEof() = 0;
    virtual TBSReaderEncoding Encoding() = 0; // determines it when still unknown

    // The next line: the text up to CR, LF or the end, after which every CR, LF and NUL is
    // skipped. Empty at the end of the stream.
    virtual std::string ReadLine() = 0;
    // The lines ReadLine would give from the start of the text; the position stays.
    virtual int LineCount() = 0;
    // The lines from the position to the end (blank ones kept, no empty line after a final
    // line break).
    virtual IBSStringListPtr AsStringList() = 0;
    // Lines "name=value": a name that repeats keeps the value of its first line. Blank lines
    // are skipped; keys and values that are no integers read as 0.
    virtual IBSIntegerMapPtr AsIntegerMap() = 0;
    // As AsIntegerMap, blank lines included.
    virtual IBSLookupItemsPtr AsLookupItems() = 0;
    virtual IBSStringMapPtr AsStringMap() = 0;

    // Raw numbers. A number that the end of the stream cuts off reads as 0.
    virtual double ReadDouble() = 0;
    virtual double ReadDoubleBigEndian() = 0;
    // Kinds: 0 unsigned 8-bit, 1 unsigned 16-bit, 2 32-bit held as signed, 3 signed 8-bit,
    // 4 signed 16-bit, 5 signed 32-bit, 6 the low 32 bits of a 64-bit number held as signed.
    virtual std::int64_t ReadInteger(int kind) = 0;
    virtual std::int64_t ReadIntegerBigEndian(int kind) = 0;
    // First byte: bit 7 more follows, bit 6 negative, bits 0-5 the lowest magnitude bits; then
    // 7 bits per byte. 0 when no byte is left.
    virtual std::int64_t ReadPackedInteger() = 0;
};
using IBSStreamReaderPtr = std::shared_ptr<IBSStreamReader>;

// A table to write as tab-separated text (the point table reader is one).
class IBSTableSource {
public:
    virtual ~IBSTableSource() = default;
    virtual void Rewind() = 0;
    virtual IBSStringListPtr ColumnNames() = 0;
    // Moves to the next row; false after the last.
    virtual bool NextRow() = 0;
    virtual std::string ValueText(int column) = 0;
};

class IBSStreamWriter : public IBSStream {
public:
    // Bytes written so far, not counting a byte-order mark the writer wrote itself.
    virtual std::int64_t BytesWritten() const = 0;
    // Ends writing and releases the stream; failures to write out raise. Releasing the last
    // reference closes the writer too, but then a failure can only be reported on stderr.
    virtual void Close() = 0;
    virtual TBSWriterEncoding Encoding() const = 0;
    virtual IBSStreamWriter& WriteBuffer(const void* buffer, std::size_t count) = 0;
    // The text in the writer's encoding. Every encoding writes UTF-8 on this platform.
    virtual IBSStreamWriter& Write(std::string_view text) = 0;

    IBSStreamWriter& WriteBytes(std::string_view bytes) {
        return WriteBuffer(bytes.data(), bytes.size());
    }
    IBSStreamWriter& WriteFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    IBSStreamWriter& WriteLine(std::string_view text = {});
    IBSStreamWriter& WriteLineFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    IBSStreamWriter& WriteList(const IBSStringList& list) { return Write(list.AsLines()); }
    IBSStreamWriter& WriteMap(const IBSStringMap& map) { return Write(map.AsLines()); }
    // The column names, then every row, tab-separated, one line each.
    IBSStreamWriter& WriteTable(IBSTableSource& table);
};
using IBSStreamWriterPtr = std::shared_ptr<IBSStreamWriter>;

// A reader over a stream it takes over. Without detection the text is UTF-16 little-endian.
IBSStreamReaderPtr NewStreamReader(std::unique_ptr<TStream> stream, bool detectEncoding);
// A writer over a stream it takes over. A weUtf8Bom writer writes EF BB BF when the stream is
// empty.
IBSStreamWriterPtr NewStreamWriter(std::unique_ptr<TStream> stream, TBSWriterEncoding encoding);
// As above; Close first hands the stream to onClose (to store the bytes, or to force them to
// disk), then releases it.
IBSStreamWriterPtr NewStreamWriter(std::unique_ptr<TStream> stream, TBSWriterEncoding encoding,
                                   std::function<void(TStream&)> onClose);

// Raises EFileError for a missing file, a directory or a file that cannot be read.
IBSStreamReaderPtr OpenFileReader(const std::string& fileName);
// Appends, or empties the file first. Raises EFileError when the file cannot be opened or a
// writer holds it. Close forces the data to disk.
IBSStreamWriterPtr OpenFileWriter(const std::string& fileName, bool append,
                                  TBSWriterEncoding encoding);
// A built-in resource (FindResource); raises EStreamError when there is none of that name.
IBSStreamReaderPtr OpenResourceReader(std::string_view name);
// The text's characters as UTF-16 little-endian bytes, without a byte-order mark.
IBSStreamReaderPtr OpenTextReader(std::string_view text);
// Every text goes to the callback (none: discarded).
IBSStreamWriterPtr NewWriterAdapter(std::function<void(std::string_view)> callback);

} // namespace marqor
