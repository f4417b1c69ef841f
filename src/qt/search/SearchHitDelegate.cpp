#include "qt/search/SearchHitDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace pagelet {

namespace {

constexpr int kMargin = 4;

} // namespace

void SearchHitDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorRole textRole = selected ? QPalette::HighlightedText : QPalette::Text;
    const QRect area = opt.rect.adjusted(kMargin, kMargin / 2, -kMargin, -kMargin / 2);
    const QFontMetrics metrics(opt.font);
    painter->save();
    painter->setClipRect(area);
    painter->setPen(opt.palette.color(textRole));

    QFont bold = opt.font;
    bold.setBold(true);
    painter->setFont(bold);
    painter->drawText(QPoint(area.left(), area.top() + metrics.ascent()), index.data(Qt::DisplayRole).toString());

    QTextLayout layout(index.data(LineRole).toString(), opt.font);
    QTextCharFormat mark;
    mark.setBackground(QColor(255, 214, 64));
    mark.setForeground(Qt::black);
    layout.setFormats({{index.data(MatchStartRole).toInt(), index.data(MatchLengthRole).toInt(), mark}});
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setNumColumns(layout.text().size()); // one line, cut at the row's end by the clip
    layout.endLayout();
    layout.draw(painter, QPointF(area.left(), area.top() + metrics.height()));
    painter->restore();
}

QSize SearchHitDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    const QFontMetrics metrics(option.font);
    return {metrics.averageCharWidth() * 30, metrics.height() * 2 + kMargin};
}

} // namespace pagelet
