#include "fuzz_support.h"
#include "fuzz_targets.h"

#include "foundation/errors.h"
#include "foundation/streams.h"
#include "foundation/xml.h"
#include "reports/document_settings.h"
#include "reports/report.h"
#include "services/log.h"

#include <mutex>

namespace marqor::fuzz {

namespace {

void Walk(const IBSXmlElement& element) {
    const auto names = element.AttributeNames();
    for (const auto& name : *names) {
        element.GetText(name);
        element.GetInteger(name);
        element.GetFloat(name);
        element.GetSwimTime(name);
        element.GetDateTime(name);
        element.GetBool(name);
    }
    element.InheritedText("id");
    for (const auto& child : element.Children())
        Walk(*child);
}

} // namespace

// Input: an XML text. A document that loads writes a text that loads to the same document.
int FuzzXml(const std::uint8_t* data, std::size_t size) {
    Prepare();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto fromStream = LoadXmlFromStream(*OpenTextReader(text)))
        fromStream->AsXmlText();
    const auto root = LoadXmlFromText(text);
    if (!root)
        return 0;
    Walk(*root);
    const std::string written = root->AsXmlText(false, true);
    const auto reloaded = LoadXmlFromText(written);
    // A text that already holds "&#" is written as it is, on purpose (it may be a character
    // reference); such a document need not survive.
    if (written.find("&#") == std::string::npos) {
        MARQOR_FUZZ_CHECK(reloaded != nullptr, "the written document does not load: " + written);
        MARQOR_FUZZ_CHECK(reloaded->AsXmlText(false, true) == written,
                          "the written document loads differently: " + written);
    }
    const auto clone = root->Clone(true);
    MARQOR_FUZZ_CHECK(clone->AsXmlText(false) == root->AsXmlText(false), "a deep clone differs");
    clone->Prune();
    clone->AsXmlText(true);
    return 0;
}

// Input: an export file of document settings.
int FuzzDocumentSettings(const std::uint8_t* data, std::size_t size) {
    Prepare();
    const std::string path =
        WriteScratchFile("settings.xml", {reinterpret_cast<const char*>(data), size});
    TBSSwDocumentSettings settings;
    try {
        settings = ImportDocumentSettings(path);
    } catch (const EBSSwDocumentSettingsImport&) {
        return 0;
    }
    TKvrDocument document;
    settings.ApplyTo(document);
    settings.ApplyFootersAndImagesTo(document);

    // What was imported exports and imports again as the same settings.
    const std::string exported = (ScratchDirectory() / "exported.xml").string();
    ExportDocumentSettings(settings, exported);
    TBSSwDocumentSettings again;
    try {
        again = ImportDocumentSettings(exported);
    } catch (const EBSSwDocumentSettingsImport& error) {
        MARQOR_FUZZ_CHECK(false, std::string("the export does not import: ") + error.what());
    }
    MARQOR_FUZZ_CHECK(again.ToXml()->AsXmlText() == settings.ToXml()->AsXmlText(),
                      "the export imports differently");
    return 0;
}

} // namespace marqor::fuzz
