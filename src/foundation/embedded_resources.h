#pragma once

#include <cstddef>

namespace marqor {

// One file built into the program. The table itself is generated from resources/ at build time
// (see cmake/EmbedResources.cmake); code reaches it through FindResource().
struct EmbeddedResource {
    const char* name;
    const unsigned char* data; // followed by one NUL byte that is not counted in size
    std::size_t size;
};

extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;

} // namespace marqor
