#include "fuzz_support.h"
#include "fuzz_targets.h"

#include "foundation/containers.h"
#include "foundation/streams.h"

#include <memory>

namespace marqor::fuzz {

namespace {

IBSStreamReaderPtr ReaderOver(std::string_view bytes, bool detect) {
    return NewStreamReader(std::make_unique<TReadOnlyMemoryStream>(bytes), detect);
}

} // namespace

// Input: a byte of options, then the bytes of a text file. Whatever the bytes, the reader finds
// an encoding, ReadLine gives exactly LineCount lines and always moves on, and the raw number
// readers stop at the end.
int FuzzStreamReader(const std::uint8_t* data, std::size_t size) {
    Prepare();
    ByteReader in(data, size);
    const std::uint8_t options = in.Byte();
    const bool detect = (options & 1) == 0;
    const std::string_view bytes = in.Rest();

    const auto reader = ReaderOver(bytes, detect);
    const TBSReaderEncoding encoding = reader->Encoding();
    MARQOR_FUZZ_CHECK(!detect || encoding != reUnknown, "no encoding determined");
    const int expected = reader->LineCount();
    int lines = 0;
    while (reader->NotEof()) {
        const auto before = reader->Position();
        reader->ReadLine();
        ++lines;
        MARQOR_FUZZ_CHECK(reader->Position() > before, "ReadLine did not move on");
        MARQOR_FUZZ_CHECK(lines <= static_cast<int>(bytes.size()), "more lines than bytes");
    }
    MARQOR_FUZZ_CHECK(lines == expected, "ReadLine gave " + std::to_string(lines) +
                                             " lines, LineCount " + std::to_string(expected));
    MARQOR_FUZZ_CHECK(reader->ReadLine().empty(), "a line after the end");

    reader->SetPosition(-1);
    reader->AsStringList();
    reader->SetPosition(-1);
    reader->AsIntegerMap();
    reader->SetPosition(-1);
    reader->AsLookupItems();
    reader->SetPosition(-1);
    reader->AsStringMap();
    reader->AsText();
    MARQOR_FUZZ_CHECK(reader->AsBytes() == bytes, "AsBytes differs from the bytes");

    const auto numbers = ReaderOver(bytes, false);
    for (std::size_t step = 0; numbers->Position() < numbers->Size(); ++step) {
        MARQOR_FUZZ_CHECK(step <= bytes.size(), "the number readers do not move on");
        switch ((options >> 1) % 5) {
        case 0:
            numbers->ReadPackedInteger();
            break;
        case 1:
            numbers->ReadInteger(static_cast<int>(step % 7));
            break;
        case 2:
            numbers->ReadIntegerBigEndian(static_cast<int>(step % 7));
            break;
        case 3:
            numbers->ReadDouble();
            break;
        default:
            numbers->ReadDoubleBigEndian();
            break;
        }
    }
    return 0;
}

} // namespace marqor::fuzz
