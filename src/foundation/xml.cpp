#include "foundation/xml.h"

#include "foundation/errors.h"
#include "foundation/text.h"
#include "foundation/zip.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <deque>
#include <map>
#include <mutex>
#include <pugixml.hpp>
#include <stdexcept>

namespace marqor {

namespace {

// ---------------------------------------------------------------------------------------------
// Name table

struct NameTable {
    std::mutex lock;
    std::deque<std::string> names{""}; // a deque never moves its strings
    std::map<std::string, int, std::less<>> numbers{{"", 0}};
};

NameTable& Names() {
    static NameTable table;
    return table;
}

const std::string& NameRef(int number) {
    auto& t = Names();
    std::lock_guard lock(t.lock);
    return t.names.at(static_cast<std::size_t>(number));
}

std::mutex originLock;
std::string originApplication;
std::string originVersion = MARQOR_VERSION_MAJOR;

// ---------------------------------------------------------------------------------------------
// Text forms

int Digits(std::string_view s, std::size_t from, std::size_t count, bool& ok) {
    if (from + count > s.size()) {
        ok = false;
        return 0;
    }
    int v = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (s[i] < '0' || s[i] > '9') {
            ok = false;
            return 0;
        }
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

TDateTime DateFromText(std::string_view s) {
    bool ok = true;
    const int y = Digits(s, 0, 4, ok);
    const int m = Digits(s, 5, 2, ok);
    const int d = Digits(s, 8, 2, ok);
    return ok ? TryEncodeDate(y, m, d).value_or(0) : 0;
}

TDateTime TimeFromText(std::string_view s) {
    bool ok = true;
    int h, n, sec = 0;
    if (s.size() == 8) {
        h = Digits(s, 0, 2, ok);
        n = Digits(s, 3, 2, ok);
        sec = Digits(s, 6, 2, ok);
    } else {
        h = Digits(s, 0, 2, ok);
        n = s.size() >= 2 ? Digits(s, s.size() - 2, 2, ok) : (ok = false, 0);
    }
    return ok ? TryEncodeTime(h, n, sec).value_or(0) : 0;
}

// The form SetSwimTime writes, "hh:mm:ss.cc", read by position. Times of 100 hours and more have
// more hour digits; their other parts keep their places counted from the end.
std::int32_t SwimTimeFromText(std::string_view s) {
    if (SameText(s, "NT"))
        return XmlNoSwimTime;
    if (s.empty())
        return 0;
    std::size_t hourDigits = 2;
    if (s.size() > 11 && s[s.size() - 9] == ':')
        hourDigits = s.size() - 9;
    auto part = [&](std::size_t from, std::size_t count) -> std::int64_t {
        bool ok = true;
        std::int64_t v = 0;
        for (std::size_t i = from; i < from + count && i < s.size(); ++i) {
            if (s[i] < '0' || s[i] > '9') {
                ok = false;
                break;
            }
            // Any count of hours beyond this is no time already; capping keeps the sum in range
            // however many digits the text has.
            v = std::min<std::int64_t>(v * 10 + (s[i] - '0'), 1'000'000'000);
        }
        return ok ? v : 0;
    };
    const std::size_t m = hourDigits + 1;
    const std::int64_t ms = part(0, hourDigits) * 3'600'000 + part(m, 2) * 60'000 +
                            part(m + 3, 2) * 1000 + part(m + 6, 2) * 10;
    return ms >= XmlNoSwimTime ? XmlNoSwimTime : static_cast<std::int32_t>(ms);
}

// The general float form: up to 15 significant digits, an exponent only for very large or
// small values ("1.5E20", "1E-5"), "." whatever the locale.
std::string GeneralFloatText(double value) {
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (ec != std::errc())
        return "0";
    std::string s(buf, end);
    const auto e = s.find('e');
    if (e == std::string::npos)
        return s;
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e + 1);
    const bool negative = !exponent.empty() && exponent.front() == '-';
    if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+'))
        exponent.erase(0, 1);
    while (exponent.size() > 1 && exponent.front() == '0')
        exponent.erase(0, 1);
    return mantissa + "E" + (negative ? "-" : "") + exponent;
}

// ---------------------------------------------------------------------------------------------

class TBSXmlElement final : public IBSXmlElement,
                            public std::enable_shared_from_this<TBSXmlElement> {
public:
    TBSXmlElement(int nameNumber, int tag)
        : nameNumber_(nameNumber), name_(&NameRef(nameNumber)), tag_(tag) {}

    // Children are released one level at a time, so that even a tree built deeper than any
    // document may load cannot exhaust the stack when it dies.
    ~TBSXmlElement() override {
        std::vector<IBSXmlElementPtr> pending = std::move(children_);
        while (!pending.empty()) {
            IBSXmlElementPtr e = std::move(pending.back());
            pending.pop_back();
            if (e.use_count() == 1) {
                if (auto* own = dynamic_cast<TBSXmlElement*>(e.get())) {
                    for (auto& c : own->children_)
                        pending.push_back(std::move(c));
                    own->children_.clear();
                }
            }
        }
    }

    const std::string& Name() const override { return *name_; }
    int NameNumber() const override { return nameNumber_; }
    int Tag() const override { return tag_; }
    std::string GetText(std::string_view name) const override {
        const int number = FindXmlNameNumber(name);
        return number < 0 ? std::string() : TextOf(number);
    }
    void SetText(std::string_view name, std::string_view text) override {
        const int number = text.empty() ? FindXmlNameNumber(name) : XmlNameNumber(name);
        if (number < 0)
            return;
        for (auto it = attributes_.begin(); it != attributes_.end(); ++it)
            if (it->first == number) {
                if (text.empty())
                    attributes_.erase(it);
                else
                    it->second = text;
                return;
            }
        if (!text.empty())
            attributes_.emplace_back(number, std::string(text));
    }
    IBSStringListPtr AttributeNames() const override {
        auto list = NewStringList();
        for (const auto& a : attributes_)
            list->Add(NameRef(a.first));
        return list;
    }
    const IBSXmlElementList& Children() const override { return children_; }
    IBSXmlElementPtr AddChild(IBSXmlElementPtr child) override {
        if (!child)
            return nullptr;
        // An element inside itself would never die and never end writing. Only an element
        // with children can be one of our ancestors.
        if (child.get() == this)
            throw std::invalid_argument("An XML element cannot contain itself");
        if (!child->Children().empty())
            for (auto up = Parent(); up; up = up->Parent())
                if (up == child)
                    throw std::invalid_argument("An XML element cannot contain itself");
        // A child has one parent: moving it here takes it out of its old list.
        child->RemoveFromParent();
        child->SetParent(shared_from_this());
        children_.push_back(child);
        return child;
    }
    void RemoveChildAt(int index) override {
        if (index < 0 || index >= ChildCount())
            throw EListError(index);
        auto child = children_[static_cast<std::size_t>(index)];
        children_.erase(children_.begin() + index);
        child->SetParent(nullptr);
    }
    IBSXmlElementPtr Parent() const override { return parent_.lock(); }
    void SetParent(const IBSXmlElementPtr& parent) override { parent_ = parent; }
    IBSXmlElementPtr Clone(bool deep) const override {
        auto copy = std::make_shared<TBSXmlElement>(nameNumber_, tag_);
        copy->attributes_ = attributes_;
        if (deep)
            for (const auto& c : children_)
                copy->AddChild(c->Clone(true));
        return copy;
    }

    std::string TextOf(int number) const {
        for (const auto& a : attributes_)
            if (a.first == number)
                return a.second;
        return "";
    }

private:
    int nameNumber_;
    const std::string* name_;
    int tag_;
    std::vector<std::pair<int, std::string>> attributes_; // number 0 is the own text
    IBSXmlElementList children_;
    std::weak_ptr<IBSXmlElement> parent_;
};

// ---------------------------------------------------------------------------------------------
// Loading

constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol;

IBSXmlElementPtr Convert(const pugi::xml_node& root) {
    struct Item {
        pugi::xml_node node;
        IBSXmlElementPtr element;
        int depth;
    };
    auto top = NewXmlElement(root.name());
    std::vector<Item> stack{{root, top, 1}};
    while (!stack.empty()) {
        Item item = std::move(stack.back());
        stack.pop_back();
        for (const auto& a : item.node.attributes())
            item.element->SetText(a.name(), a.value());
        std::vector<Item> children;
        for (const auto& child : item.node.children()) {
            switch (child.type()) {
            case pugi::node_element: {
                if (item.depth >= XmlMaxDepth)
                    return nullptr;
                auto e = item.element->AddChild(NewXmlElement(child.name()));
                children.push_back({child, e, item.depth + 1});
                break;
            }
            case pugi::node_pcdata:
            case pugi::node_cdata:
                item.element->SetOwnText(Trim(child.value()));
                break;
            default:
                break;
            }
        }
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back(std::move(*it));
    }
    return top;
}

IBSXmlElementPtr Parse(const void* data, std::size_t size, pugi::xml_encoding encoding) {
    pugi::xml_document doc;
    if (!doc.load_buffer(data, size, kParseOptions, encoding))
        return nullptr;
    const auto root = doc.document_element();
    if (!root)
        return nullptr;
    return Convert(root);
}

} // namespace

// ---------------------------------------------------------------------------------------------

int XmlNameNumber(std::string_view name) {
    auto& t = Names();
    std::lock_guard lock(t.lock);
    const auto it = t.numbers.find(name);
    if (it != t.numbers.end())
        return it->second;
    const int number = static_cast<int>(t.names.size());
    t.names.emplace_back(name);
    t.numbers.emplace(std::string(name), number);
    return number;
}

int FindXmlNameNumber(std::string_view name) {
    auto& t = Names();
    std::lock_guard lock(t.lock);
    const auto it = t.numbers.find(name);
    return it == t.numbers.end() ? -1 : it->second;
}

std::string XmlNameOf(int number) {
    auto& t = Names();
    std::lock_guard lock(t.lock);
    return number >= 0 && static_cast<std::size_t>(number) < t.names.size()
               ? t.names[static_cast<std::size_t>(number)]
               : std::string();
}

std::string EscapeXmlText(std::string_view text) {
    const bool hasReferences = text.find("&#") != std::string_view::npos;
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        switch (c) {
        case '&':
            out += hasReferences ? "&" : "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\t':
            out += "&#9;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool IBSXmlElement::GetBool(std::string_view name) const {
    const std::string t = GetText(name);
    if (SameText(t, "True"))
        return true;
    if (SameText(t, "False"))
        return false;
    const auto v = ParseInt(t);
    return v && *v != 0;
}

double IBSXmlElement::GetHundredths(std::string_view name) const {
    return GetInteger(name) / 100.0;
}

TDateTime IBSXmlElement::GetDate(std::string_view name) const {
    return DateFromText(GetText(name));
}

TDateTime IBSXmlElement::GetDateTime(std::string_view name) const {
    const std::string t = GetText(name);
    const std::string_view v(t);
    return DateFromText(v.substr(0, 10)) + (v.size() > 11 ? TimeFromText(v.substr(11, 8)) : 0);
}

TDateTime IBSXmlElement::GetTime(std::string_view name) const {
    return TimeFromText(GetText(name));
}

std::int32_t IBSXmlElement::GetInteger(std::string_view name) const {
    return StrToIntDef(GetText(name), 0);
}

double IBSXmlElement::GetFloat(std::string_view name) const {
    std::string t = GetText(name);
    std::ranges::replace(t, ',', '.');
    return ParseFloat(t).value_or(0);
}

std::int32_t IBSXmlElement::GetIntegerOrMissing(std::string_view name) const {
    return StrToIntDef(GetText(name), XmlMissingInteger);
}

std::int32_t IBSXmlElement::GetSwimTime(std::string_view name) const {
    return SwimTimeFromText(GetText(name));
}

std::int32_t IBSXmlElement::Id() const {
    return GetInteger(AsciiLower(Name()) + "id");
}

namespace {

// The getter of the nearest element, this one first, that has the attribute (the root when none
// has it).
template <class Get> auto Inherited(const IBSXmlElement& self, std::string_view name, Get get) {
    if (self.HasAttribute(name))
        return get(self);
    IBSXmlElementPtr e = self.Parent();
    if (!e)
        return get(self);
    while (!e->HasAttribute(name)) {
        auto up = e->Parent();
        if (!up)
            break;
        e = std::move(up);
    }
    return get(*e);
}

} // namespace

TDateTime IBSXmlElement::InheritedDate(std::string_view name) const {
    return Inherited(*this, name, [&](const IBSXmlElement& e) { return e.GetDate(name); });
}

std::int32_t IBSXmlElement::InheritedInteger(std::string_view name) const {
    return Inherited(*this, name, [&](const IBSXmlElement& e) { return e.GetInteger(name); });
}

std::string IBSXmlElement::InheritedText(std::string_view name) const {
    return Inherited(*this, name, [&](const IBSXmlElement& e) { return e.GetText(name); });
}

void IBSXmlElement::SetBool(std::string_view name, bool value) {
    SetText(name, value ? "True" : "False");
}

void IBSXmlElement::SetHundredths(std::string_view name, double value) {
    double scaled = std::nearbyint(value * 100); // the default rounding: halves to even
    if (!std::isfinite(scaled))
        scaled = 0;
    scaled = std::clamp(scaled, -9.2e18, 9.2e18);
    SetText(name, std::to_string(static_cast<long long>(scaled)));
}

void IBSXmlElement::SetDate(std::string_view name, TDateTime value) {
    if (value == 0) {
        SetText(name, {});
        return;
    }
    const auto p = DecodeDateTimeParts(value);
    SetText(name, Format("%04d-%02d-%02d", p.Year, p.Month, p.Day));
}

void IBSXmlElement::SetDateTime(std::string_view name, TDateTime value) {
    if (value == 0) {
        SetText(name, {});
        return;
    }
    const auto p = DecodeDateTimeParts(value);
    SetText(name, Format("%04d-%02d-%02dT%02d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour, p.Minute,
                         p.Second));
}

void IBSXmlElement::SetTime(std::string_view name, TDateTime value) {
    if (value == 0) {
        SetText(name, {});
        return;
    }
    const auto p = DecodeDateTimeParts(value);
    SetText(name, Format("%02d:%02d", p.Hour, p.Minute));
}

void IBSXmlElement::SetInteger(std::string_view name, std::int32_t value) {
    SetText(name, value == 0 ? std::string() : std::to_string(value));
}

void IBSXmlElement::SetFloat(std::string_view name, double value) {
    // Not-a-number and infinities have no text that reads back; they are left out like 0.
    SetText(name, value == 0 || !std::isfinite(value) ? std::string() : GeneralFloatText(value));
}

void IBSXmlElement::SetSignedInteger(std::string_view name, std::int32_t value) {
    if (value == XmlMissingInteger)
        SetText(name, {});
    else
        SetText(name, value > 0 ? "+" + std::to_string(value) : std::to_string(value));
}

void IBSXmlElement::SetSwimTime(std::string_view name, std::int32_t ms) {
    if (ms == XmlNoSwimTime) {
        SetText(name, "NT");
        return;
    }
    SetText(name, Format("%.2d:%.2d:%.2d.%.2d", ms / 3'600'000, ms / 60'000 % 60, ms / 1000 % 60,
                         ms / 10 % 100));
}

void IBSXmlElement::SetId(std::int32_t value) {
    SetInteger(AsciiLower(Name()) + "id", value);
}

IBSXmlElementPtr IBSXmlElement::ChildAt(int index) const {
    if (index < 0 || index >= ChildCount())
        throw EListError(index);
    return Children()[static_cast<std::size_t>(index)];
}

IBSXmlElementPtr IBSXmlElement::Child(std::string_view name) {
    const int number = FindXmlNameNumber(name);
    for (const auto& c : Children())
        if (c->NameNumber() == number)
            return c;
    return AddNewChild(name);
}

IBSXmlElementPtr IBSXmlElement::AddNewChild(std::string_view name) {
    return AddChild(NewXmlElement(name));
}

void IBSXmlElement::AddChildren(const IBSXmlElementList& children) {
    const auto copy = children; // the list may be our own
    for (const auto& c : copy)
        AddChild(c);
}

IBSXmlElementPtr IBSXmlElement::ChildWith(std::string_view name, std::string_view attribute,
                                          std::string_view text) {
    const int number = FindXmlNameNumber(name);
    const int attributeNumber = FindXmlNameNumber(attribute);
    if (number >= 0 && attributeNumber >= 0)
        for (const auto& c : Children())
            if (c->Matches(number, attributeNumber, text))
                return c;
    auto child = AddNewChild(name);
    child->SetText(attribute, text);
    return child;
}

IBSXmlElementPtr IBSXmlElement::ChildWithInteger(std::string_view name, std::string_view attribute,
                                                 std::int32_t value) {
    return ChildWith(name, attribute, std::to_string(value));
}

bool IBSXmlElement::HasAttribute(std::string_view name) const {
    return AttributeNames()->Contains(name);
}

bool IBSXmlElement::HasChild(std::string_view name) const {
    const int number = FindXmlNameNumber(name);
    return std::ranges::any_of(Children(), [&](auto& c) { return c->NameNumber() == number; });
}

IBSStringListPtr IBSXmlElement::ReadLines(std::string_view name) {
    auto lines = NewStringList();
    const int line = XmlNameNumber("LINE");
    for (const auto& c : Child(name)->Children())
        if (c->NameNumber() == line)
            lines->Add(c->GetText("value"));
    return lines;
}

void IBSXmlElement::RemoveChild(const IBSXmlElement* child) {
    const auto& children = Children();
    for (std::size_t i = 0; i < children.size(); ++i)
        if (children[i].get() == child) {
            RemoveChildAt(static_cast<int>(i));
            return;
        }
}

void IBSXmlElement::RemoveChildNamed(std::string_view name) {
    const int number = FindXmlNameNumber(name);
    const auto& children = Children();
    for (std::size_t i = 0; i < children.size(); ++i)
        if (children[i]->NameNumber() == number) {
            RemoveChildAt(static_cast<int>(i));
            return;
        }
}

void IBSXmlElement::RemoveFromParent() {
    if (auto parent = Parent())
        parent->RemoveChild(this);
}

bool IBSXmlElement::Prune() {
    for (int i = ChildCount() - 1; i >= 0; --i)
        if (ChildAt(i)->Prune())
            RemoveChildAt(i);
    return Children().empty() && AttributeNames()->IsEmpty();
}

bool IBSXmlElement::Matches(int nameNumber, int attributeNameNumber, std::string_view text) const {
    if (NameNumber() != nameNumber)
        return false;
    return attributeNameNumber == -1 || GetText(XmlNameOf(attributeNameNumber)) == text;
}

void IBSXmlElement::WriteTo(IBSStreamWriter& writer, bool formatted) const {
    writer.Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    if (formatted)
        writer.Write("\r\n");
    WriteElement(0, writer, formatted);
}

void IBSXmlElement::WriteElement(int level, IBSStreamWriter& writer, bool formatted) const {
    const std::string indent =
        formatted ? std::string(static_cast<std::size_t>(level) * 2, ' ') : std::string();
    auto lineEnd = [&](std::string_view text) {
        if (formatted)
            writer.WriteLine(text);
        else
            writer.Write(text);
    };
    std::string head = indent + "<" + Name();
    std::string ownText;
    for (const auto& name : AttributeNames()) {
        if (name.empty()) {
            ownText = GetText(name);
            continue;
        }
        head += " " + name + "=\"" + EscapeXmlText(GetText(name)) + "\"";
    }
    if (Children().empty() && ownText.empty()) {
        writer.Write(head);
        lineEnd(" />");
        return;
    }
    writer.Write(head + ">" + EscapeXmlText(ownText));
    if (Children().empty()) {
        lineEnd("</" + Name() + ">");
        return;
    }
    lineEnd("");
    for (const auto& c : Children())
        c->WriteElement(level + 1, writer, formatted);
    writer.Write(indent);
    lineEnd("</" + Name() + ">");
}

std::string IBSXmlElement::AsXmlText(bool formatted, bool withDeclaration) const {
    // The collector belongs to this call alone, so concurrent calls (and calls made while
    // writing) never mix their texts.
    std::string out;
    auto writer = NewWriterAdapter([&out](std::string_view text) { out += text; });
    if (withDeclaration) {
        writer->Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        if (formatted)
            writer->Write("\r\n");
    }
    WriteElement(0, *writer, formatted);
    return out;
}

IBSXmlElementPtr NewXmlElement(std::string_view name, int tag) {
    return std::make_shared<TBSXmlElement>(XmlNameNumber(name), tag);
}

IBSXmlElementPtr NewXmlLinesElement(std::string_view name, const IBSStringList& lines) {
    if (lines.IsEmpty())
        return nullptr;
    auto element = NewXmlElement(name);
    for (const auto& line : lines)
        element->AddNewChild("LINE")->SetText("value", line);
    return element;
}

IBSXmlElementPtr NewXmlDocumentRoot(std::string_view name) {
    std::string application, version;
    {
        std::lock_guard lock(originLock);
        application = originApplication;
        version = originVersion;
    }
    auto root = NewXmlElement(name);
    root->SetText("application", application);
    root->SetText("version", version.substr(0, version.find('.')));
    root->SetDateTime("created", Now());
    return root;
}

void SetXmlDocumentOrigin(std::string application, std::string majorVersion) {
    std::lock_guard lock(originLock);
    originApplication = std::move(application);
    originVersion = std::move(majorVersion);
}

IBSXmlElementPtr LoadXmlFromText(std::string_view text, bool dropDeclaration) {
    if (dropDeclaration && text.starts_with("<?")) {
        const auto end = text.find("?>");
        if (end != std::string_view::npos)
            text.remove_prefix(end + 2);
    }
    return Parse(text.data(), text.size(), pugi::encoding_utf8);
}

IBSXmlElementPtr LoadXmlFromStream(IBSStreamReader& reader) {
    TStream* stream = reader.Stream();
    if (!stream)
        return nullptr;
    const TBSReaderEncoding encoding = reader.Encoding();
    stream->SetPosition(0);
    const std::string bytes = stream->ReadRest();
    const bool hasMark = bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
                         bytes.starts_with("\xFE\xFF");
    if (hasMark)
        return Parse(bytes.data(), bytes.size(), pugi::encoding_auto);
    if (encoding == reUtf16LE)
        return Parse(bytes.data(), bytes.size(), pugi::encoding_utf16_le);
    if (encoding == reUtf16BE)
        return Parse(bytes.data(), bytes.size(), pugi::encoding_utf16_be);
    if (IsValidUtf8(bytes))
        return Parse(bytes.data(), bytes.size(), pugi::encoding_utf8);
    const std::string text = DecodeTextBytesAs(bytes, TextEncoding::Windows1252);
    return Parse(text.data(), text.size(), pugi::encoding_utf8);
}

IBSXmlElementPtr LoadXmlFromFile(const IBSFile& file, bool zipped) {
    if (zipped) {
        if (!file.Exists())
            return nullptr;
        auto zip = OpenZipFile(NewFile(file.PathText()));
        if (zip->EntryCount() == 0)
            return nullptr;
        auto reader = zip->OpenEntryReader(zip->EntryName(0));
        return LoadXmlFromStream(*reader);
    }
    auto reader = file.OpenRead();
    return reader ? LoadXmlFromStream(*reader) : nullptr;
}

} // namespace marqor
