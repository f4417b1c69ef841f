#pragma once
#include <string>

namespace pagelet {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Question, Exclamation };
enum class MessageAnswer { Ok, Yes, No };

// A modal message box owned by no window.
class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    virtual MessageAnswer show(const std::u16string& text, const std::u16string& caption,
                               MessageButtons buttons, MessageIcon icon) = 0;
};

inline const std::u16string kAppTitle = u"Pagelet";

} // namespace pagelet
