#include "controls/own_list_box.h"

#include <QAbstractListModel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int kTipLine = 60;
const QColor kSelectedFill(54, 82, 143);
const QColor kLineText(41, 101, 132);
const QColor kFocusFrame(255, 0, 0);

}  // namespace

// The list's own copy of every line, in the order added.
class COwnListBox::Store : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : int(lines.size()); }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= lines.size()) return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return lines.at(index.row());
        return {};
    }
    void append(const QString& text) {
        beginInsertRows({}, int(lines.size()), int(lines.size()));
        lines.append(text);
        endInsertRows();
    }
    void clear() {
        beginResetModel();
        lines.clear();
        endResetModel();
    }

    QStringList lines;
};

class COwnListBox::Delegate : public QStyledItemDelegate {
public:
    Delegate(COwnListBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QRect r = option.rect;
        const QFontMetrics fm(option.font);
        const QString text = COwnListBox::elided(index.data().toString(), fm, r.width());
        p->save();
        p->setFont(option.font);
        const bool selected = option.state & QStyle::State_Selected;
        if (selected) {
            p->fillRect(r, kSelectedFill);
            const QRect cell = fm.boundingRect(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
            p->fillRect(cell.intersected(r), option.palette.color(QPalette::Highlight));
            p->setPen(option.palette.color(QPalette::HighlightedText));
        } else {
            p->fillRect(r, option.palette.color(QPalette::Base));
            p->setPen(kLineText);
        }
        p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        if (option.state & QStyle::State_HasFocus) {
            p->setPen(QPen(kFocusFrame, 1));
            p->setBrush(Qt::NoBrush);
            p->drawRect(r.adjusted(0, 0, -1, -1));
        }
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {option.fontMetrics.horizontalAdvance(index.data().toString()), list_->lineHeight()};
    }

private:
    COwnListBox* list_;
};

COwnListBox::COwnListBox(QWidget* parent)
    : QListView(parent), store_(new Store(this)), line_height_(fontMetrics().height() + 2) {
    setModel(store_);
    setItemDelegate(new Delegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
}

COwnListBox::~COwnListBox() = default;

const QStringList& COwnListBox::items() const { return store_->lines; }

int COwnListBox::AddItem(const QString& text) {
    store_->append(text);
    const QModelIndex last = store_->index(int(store_->lines.size()) - 1);
    selectionModel()->select(last, QItemSelectionModel::ClearAndSelect);
    scrollTo(last);
    return 1;
}

void COwnListBox::clearItems() { store_->clear(); }

void COwnListBox::setLineHeight(int pixels) {
    line_height_ = pixels;
    doItemsLayout();
}

void COwnListBox::enableTips() {
    tip_.Create(this);
    tips_enabled_ = true;
}

QString COwnListBox::elided(const QString& text, const QFontMetrics& metrics, int width) {
    const int textWidth = metrics.horizontalAdvance(text);
    if (width >= textWidth || text.isEmpty()) return text;
    const int average = std::max(1, textWidth / int(text.size()));
    const int keep = std::max(0, width / average - 5);
    return text.left(keep) + QStringLiteral(" ... ");
}

QRect COwnListBox::tipRect(const QPoint& point, const QString& text, QString* broken) const {
    if (broken) broken->clear();
    if (text.isEmpty()) return {};
    const QFontMetrics fm = fontMetrics();
    const int length = int(text.size());
    const int lines = length / kTipLine + (length % kTipLine ? 1 : 0);
    QRect r;
    QString shown = text;
    if (lines > 1) {
        for (int i = lines - 1; i >= 1; --i) shown.insert(i * kTipLine, QLatin1Char('\n'));
        r = QRect(point, QSize(fm.horizontalAdvance(text.left(kTipLine)) + 6, lines * fm.height() + 3));
    } else {
        r = QRect(point, QSize(fm.horizontalAdvance(text) + 6, fm.height() + 3));
    }
    const QRect client = viewport()->rect();
    if (r.right() > client.right()) r.moveRight(client.right());
    if (r.bottom() > client.bottom()) r.moveBottom(client.bottom());
    if (broken) *broken = shown;
    return r;
}

void COwnListBox::mousePressEvent(QMouseEvent* event) {
    clearSelection();
    QListView::mousePressEvent(event);
    if (!tips_enabled_ || !tip_.created() || event->button() != Qt::LeftButton) return;
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    QModelIndex first = selected.front();
    for (const QModelIndex& index : selected)
        if (index.row() < first.row()) first = index;
    QString broken;
    const QRect r = tipRect(event->position().toPoint(), store_->lines.at(first.row()), &broken);
    tip_.Show(r, broken);
}

void COwnListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) emit lineDoubleClicked(store_->lines.at(index.row()));
    QListView::mouseDoubleClickEvent(event);
}
