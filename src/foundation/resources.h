#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// The bytes of a resource built into the program, or nothing when no resource has that name.
// Names are compared without regard to ASCII letter case, as resource names always were.
std::optional<std::string_view> FindResource(std::string_view name);

// The names of all built-in resources, in the order they were embedded.
std::vector<std::string> ResourceNames();

} // namespace marqor
