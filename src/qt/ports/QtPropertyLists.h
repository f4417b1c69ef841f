#pragma once
#include "platform/PropertyLists.h"

namespace pagelet {

// XML property lists through QXmlStreamReader, which never loads an external entity and caps
// the expansion of declared ones.
class QtPropertyLists : public PropertyLists {
public:
    PropertyListRead read(std::string_view xml) const override;
};

} // namespace pagelet
