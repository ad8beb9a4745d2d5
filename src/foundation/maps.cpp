#include "foundation/maps.h"

namespace marqor {

IBSStringMapPtr IBSIntegerMap::AsStringMap() const {
    auto map = NewStringMap();
    for (const auto& [k, v] : Items())
        map->Put(std::to_string(k), std::to_string(v));
    return map;
}

IBSIntegerDoubleMapPtr IBSIntegerMap::AsIntegerDoubleMap() const {
    auto map = NewIntegerDoubleMap();
    for (const auto& [k, v] : Items())
        map->Put(k, v);
    return map;
}

IBSIntegerStringMapPtr IBSIntegerMap::AsIntegerStringMap() const {
    auto map = NewIntegerStringMap();
    for (const auto& [k, v] : Items())
        map->Put(k, std::to_string(v));
    return map;
}

IBSStringMapPtr IBSIntegerDoubleMap::AsStringMap() const {
    auto map = NewStringMap();
    for (const auto& [k, v] : Items())
        map->Put(std::to_string(k), FloatToText(v));
    return map;
}

IBSStringMapPtr IBSIntegerStringMap::AsStringMap() const {
    auto map = NewStringMap();
    for (const auto& [k, v] : Items())
        map->Put(std::to_string(k), v);
    return map;
}

IBSLookupItemsPtr IBSIntegerStringMap::AsLookupItems() const {
    auto items = NewLookupItems();
    for (const auto& [k, v] : Items())
        items->SetText(k, v);
    return items;
}

IBSIntegerMapPtr NewIntegerMap() {
    return std::make_shared<detail::TBSIntegerValueMap<IBSIntegerMap>>();
}

IBSIntegerDoubleMapPtr NewIntegerDoubleMap() {
    return std::make_shared<detail::TBSIntegerValueMap<IBSIntegerDoubleMap>>();
}

IBSIntegerStringMapPtr NewIntegerStringMap() {
    return std::make_shared<detail::TBSIntegerValueMap<IBSIntegerStringMap>>();
}

IBSStringIntegerMapPtr NewStringIntegerMap() {
    return std::make_shared<detail::TBSStringValueMap<IBSStringIntegerMap>>();
}

IBSStringDoubleMapPtr NewStringDoubleMap() {
    return std::make_shared<detail::TBSStringValueMap<IBSStringDoubleMap>>();
}

} // namespace marqor
