#pragma once

// A small element tree for settings in XML form: an element has a name, attributes in the order
// they were first set, an optional own text and children. Typed accessors store numbers, flags,
// dates and times as attribute texts in fixed forms and leave out an attribute whose value is
// zero or empty; an empty attribute counts as absent everywhere. Getters never fail: unreadable
// text gives the zero value.

#include "foundation/containers.h"
#include "foundation/date_time.h"
#include "foundation/files.h"
#include "foundation/streams.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

class IBSXmlElement;
using IBSXmlElementPtr = std::shared_ptr<IBSXmlElement>;
using IBSXmlElementList = std::vector<IBSXmlElementPtr>;

// Documents nested deeper than this do not load (no element), so that no operation on a loaded
// tree can exhaust the stack.
inline constexpr int XmlMaxDepth = 512;

// GetIntegerOrMissing of an absent attribute; SetSignedInteger of it removes the attribute.
inline constexpr std::int32_t XmlMissingInteger = -32768;
// The "no time" value of swim times, written "NT".
inline constexpr std::int32_t XmlNoSwimTime = 2147483647;

class IBSXmlElement {
public:
    virtual ~IBSXmlElement() = default;

    virtual const std::string& Name() const = 0;
    // The element's name in the process-wide name table.
    virtual int NameNumber() const = 0;
    virtual int Tag() const = 0;
    // The attribute's text; empty when absent. The empty name is the element's own text.
    virtual std::string GetText(std::string_view name) const = 0;
    // Sets the text, in place for an existing name; an empty text removes the attribute.
    virtual void SetText(std::string_view name, std::string_view text) = 0;
    // The attribute names in order; the own text is listed under the empty name.
    virtual IBSStringListPtr AttributeNames() const = 0;

    virtual const IBSXmlElementList& Children() const = 0;
    // Appends the element (none: nothing) and becomes its parent; answers it.
    virtual IBSXmlElementPtr AddChild(IBSXmlElementPtr child) = 0;
    // Removes the child at a position and clears its parent (EListError outside the list).
    virtual void RemoveChildAt(int index) = 0;
    // None for a root, and once the parent is gone.
    virtual IBSXmlElementPtr Parent() const = 0;
    // Only for AddChild and the removals: the parent is held without being kept alive.
    virtual void SetParent(const IBSXmlElementPtr& parent) = 0;
    // A new element with the same name, tag and attributes, without parent; with deep, the
    // children are cloned too.
    virtual IBSXmlElementPtr Clone(bool deep) const = 0;

    // Typed getters.
    bool GetBool(std::string_view name) const;
    double GetHundredths(std::string_view name) const;
    TDateTime GetDate(std::string_view name) const;
    TDateTime GetDateTime(std::string_view name) const;
    TDateTime GetTime(std::string_view name) const;
    std::int32_t GetInteger(std::string_view name) const;
    // "," and "." both separate the decimals.
    double GetFloat(std::string_view name) const;
    std::int32_t GetIntegerOrMissing(std::string_view name) const;
    // "NT" gives XmlNoSwimTime, empty 0; otherwise "hh:mm:ss.cc" read by position, in ms.
    std::int32_t GetSwimTime(std::string_view name) const;
    std::string Text() const { return GetText({}); }
    // The integer of the attribute named by the lower-case element name and "id".
    std::int32_t Id() const;

    // The value of the nearest element, this one first and then up through the parents, that
    // has the attribute.
    TDateTime InheritedDate(std::string_view name) const;
    std::int32_t InheritedInteger(std::string_view name) const;
    std::string InheritedText(std::string_view name) const;

    // Typed setters, in their fixed text forms.
    void SetBool(std::string_view name, bool value);                  // "True" / "False"
    void SetHundredths(std::string_view name, double value);          // value * 100, halves to even
    void SetDate(std::string_view name, TDateTime value);             // "yyyy-mm-dd"; 0 removes
    void SetDateTime(std::string_view name, TDateTime value);         // "yyyy-mm-ddThh:nn:ss"
    void SetTime(std::string_view name, TDateTime value);             // "hh:nn"; 0 removes
    void SetInteger(std::string_view name, std::int32_t value);       // 0 removes
    void SetFloat(std::string_view name, double value);               // 15 digits, "."; 0 removes
    void SetSignedInteger(std::string_view name, std::int32_t value); // "+5", "0", "-5"
    void SetSwimTime(std::string_view name, std::int32_t milliseconds); // "00:01:23.45", "NT"
    void SetOwnText(std::string_view text) { SetText({}, text); }
    void SetId(std::int32_t value);

    // Children.
    IBSXmlElementPtr ChildAt(int index) const;
    int ChildCount() const { return static_cast<int>(Children().size()); }
    // The first child of that name; a new empty one is added when there is none.
    IBSXmlElementPtr Child(std::string_view name);
    IBSXmlElementPtr AddNewChild(std::string_view name);
    void AddChildren(const IBSXmlElementList& children);
    // The first child of that name whose attribute equals the text (with case); added when none.
    IBSXmlElementPtr ChildWith(std::string_view name, std::string_view attribute,
                               std::string_view text);
    IBSXmlElementPtr ChildWithInteger(std::string_view name, std::string_view attribute,
                                      std::int32_t value);
    bool HasAttribute(std::string_view name) const;
    bool HasChild(std::string_view name) const;
    // The "value" attributes of the "LINE" children of Child(name), in order.
    IBSStringListPtr ReadLines(std::string_view name);
    void RemoveChild(const IBSXmlElement* child);
    void RemoveChildNamed(std::string_view name);
    void RemoveFromParent();
    // Removes every child that prunes away; answers whether the element is then without
    // children and attributes.
    bool Prune();
    // The name number equals the first argument and, unless the attribute number is -1, the
    // attribute's text equals the given one.
    bool Matches(int nameNumber, int attributeNameNumber, std::string_view text) const;

    // The declaration and the element. Every writer writes UTF-8 here, so every declaration
    // names UTF-8.
    void WriteTo(IBSStreamWriter& writer, bool formatted) const;
    // Formatted: two blanks of indentation per level, one element per line (CR LF).
    void WriteElement(int level, IBSStreamWriter& writer, bool formatted) const;
    std::string AsXmlText(bool formatted = true, bool withDeclaration = false) const;

    auto begin() const { return Children().begin(); }
    auto end() const { return Children().end(); }
};

IBSXmlElementPtr NewXmlElement(std::string_view name, int tag = 0);
// None for an empty list; otherwise one child "LINE" with the attribute "value" per line.
IBSXmlElementPtr NewXmlLinesElement(std::string_view name, const IBSStringList& lines);
// With "application", "version" (the major version) and "created" (now).
IBSXmlElementPtr NewXmlDocumentRoot(std::string_view name);
// The application title and version that document roots record; the application object sets
// them at start.
void SetXmlDocumentOrigin(std::string application, std::string majorVersion);

// The root element, or none when the text does not parse, has no root element or nests deeper
// than XmlMaxDepth. With dropDeclaration a leading "<?...?>" is skipped, so that an encoding it
// names cannot conflict with the text in memory.
IBSXmlElementPtr LoadXmlFromText(std::string_view text, bool dropDeclaration = false);
// Parses the reader's bytes: a byte-order mark decides the encoding; without one, valid UTF-8 is
// UTF-8 and anything else Windows-1252.
IBSXmlElementPtr LoadXmlFromStream(IBSStreamReader& reader);
// None when the file does not exist (or the archive has no entry); errors of reading propagate.
IBSXmlElementPtr LoadXmlFromFile(const IBSFile& file, bool zipped = false);

// Attribute values and own texts: "&" becomes "&amp;" unless the text already holds "&#"; then
// "<", ">", the double quote and the apostrophe; CR, LF and TAB become character references so
// that they survive a reader's normalisation.
std::string EscapeXmlText(std::string_view text);

// The process-wide name table: the number of a name (added when new), the number of a known
// name (-1 when unknown) and the name of a number.
int XmlNameNumber(std::string_view name);
int FindXmlNameNumber(std::string_view name);
std::string XmlNameOf(int number);

} // namespace marqor
