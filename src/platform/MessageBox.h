#pragma once
#include <string>

namespace pagelet {

// YesNoDefaultNo: for a question whose Yes loses something, so that Return alone never does.
enum class MessageButtons { Ok, YesNo, YesNoDefaultNo };
enum class MessageIcon { None, Question, Exclamation };
// Cancel: a Yes/No question closed with Escape or the box's close button, neither answer given.
enum class MessageAnswer { Ok, Yes, No, Cancel };

// A modal message box owned by no window.
class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    virtual MessageAnswer show(const std::u16string& text, const std::u16string& caption,
                               MessageButtons buttons, MessageIcon icon) = 0;
};

inline const std::u16string kAppTitle = u"Pagelet";

} // namespace pagelet
