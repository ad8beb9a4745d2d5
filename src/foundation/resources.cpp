#include "foundation/resources.h"

#include "foundation/embedded_resources.h"

#include <algorithm>
#include <cctype>

namespace marqor {

namespace {

bool SameAsciiText(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

} // namespace

std::optional<std::string_view> FindResource(std::string_view name) {
    for (std::size_t i = 0; i < kEmbeddedResourceCount; ++i) {
        const auto& r = kEmbeddedResources[i];
        if (SameAsciiText(r.name, name))
            return std::string_view(reinterpret_cast<const char*>(r.data), r.size);
    }
    return std::nullopt;
}

std::vector<std::string> ResourceNames() {
    std::vector<std::string> names;
    names.reserve(kEmbeddedResourceCount);
    for (std::size_t i = 0; i < kEmbeddedResourceCount; ++i)
        names.emplace_back(kEmbeddedResources[i].name);
    return names;
}

} // namespace marqor
