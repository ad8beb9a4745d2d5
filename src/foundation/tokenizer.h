#pragma once

#include "foundation/containers.h"

#include <memory>
#include <string>
#include <string_view>

namespace marqor {

// Tokens of a text split at a set of separator characters, fixed at creation. The
// post-processing operations change the tokens in place.
class IBSTokenizer {
public:
    virtual ~IBSTokenizer() = default;

    virtual int Count() const = 0;
    // The token, or an empty text for an index outside 0 .. Count() - 1.
    virtual std::string Token(int index) const = 0;
    // The tokens that read as integers, in order; the others are skipped.
    virtual IBSIntegerListPtr AsIntegerList() const = 0;
    // The token list itself, shared with the tokenizer.
    virtual IBSStringListPtr AsStringList() const = 0;
    // Every token through CapitaliseWords.
    virtual void CapitaliseAll() = 0;
    // Every token that starts with a double quote or "'" loses its first and last character.
    virtual void Unquote() = 0;
    // Every token trimmed of leading and trailing blanks and control characters.
    virtual void TrimAll() = 0;

    auto begin() const { return AsStringList()->Items().begin(); }
    auto end() const { return AsStringList()->Items().end(); }
};
using IBSTokenizerPtr = std::shared_ptr<IBSTokenizer>;

// Splits the text at every separator character (only characters below 256 can separate). Each
// maximal run between separators is a token; without skipEmpty empty runs count too, and a text
// ending with a separator gets a final empty token. An empty text has no tokens.
IBSTokenizerPtr Tokenize(std::string_view text, std::string_view separators, bool skipEmpty);
IBSTokenizerPtr TokenizeSemicolons(std::string_view text);

// The lower-case text whose first letter and every letter after a blank, control or separator
// character is upper case.
std::string CapitaliseWords(std::string_view text);

} // namespace marqor
