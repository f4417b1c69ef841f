#include "ui/LineGrid.h"

#include <algorithm>
#include <cmath>

namespace pagelet {

int LineGrid::rowAt(int y) const
{
    return m_lineHeight > 0 ? std::max(y - kInset, 0) / m_lineHeight : 0;
}

int LineGrid::wholeRows(int height) const
{
    return m_lineHeight > 0 ? height / m_lineHeight : 0;
}

int LineGrid::partialRows(int height) const
{
    return m_lineHeight > 0 ? static_cast<int>(std::ceil(static_cast<double>(height) / m_lineHeight)) : 0;
}

} // namespace pagelet
