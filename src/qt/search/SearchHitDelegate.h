#pragma once
#include <QStyledItemDelegate>

namespace pagelet {

// A row of the search list: the date, and under it the page's line with the word marked.
class SearchHitDelegate : public QStyledItemDelegate {
public:
    // Item data beside the date (Qt::DisplayRole).
    enum Role { LineRole = Qt::UserRole + 1, MatchStartRole, MatchLengthRole, DateRole };

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace pagelet
