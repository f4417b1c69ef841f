#pragma once
#include "platform/CaseFolding.h"

namespace pagelet {

// Folds each unit with QChar::toLower; a surrogate half stays as it is.
class QtCaseFolding : public CaseFolding {
public:
    std::u16string toLower(std::u16string text) const override;
};

} // namespace pagelet
