#pragma once

namespace pagelet {

// The page editor as those who paint over it see it: after they paint, it must draw its page
// again, since its picture of the paper under the text is then stale.
class EditorRedraw {
public:
    virtual void redrawPage() = 0;

protected:
    ~EditorRedraw() = default;
};

} // namespace pagelet
