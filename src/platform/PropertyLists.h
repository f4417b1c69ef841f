#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pagelet {

// One value of a property list's top dictionary: a string, date or number as its text, or an
// array of such texts.
struct PropertyValue {
    std::u16string text;
    std::vector<std::u16string> items;
};

struct PropertyListRead {
    std::map<std::string, PropertyValue> values; // by key
    std::string error;                           // why the bytes are no property list; then empty
};

// The XML property list reader: the core reads no XML of its own.
class PropertyLists {
public:
    virtual ~PropertyLists() = default;
    virtual PropertyListRead read(std::string_view xml) const = 0;
};

} // namespace pagelet
