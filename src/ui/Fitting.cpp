#include "ui/Fitting.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTableView>
#include <QWidget>

#include <algorithm>
#include <numeric>

namespace meridell::ui {

FlowLayout::FlowLayout(QWidget* parent, int spacing) : QLayout(parent), spacing_(spacing) {
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

void FlowLayout::addItem(QLayoutItem* item) {
    items_.append(item);
}

int FlowLayout::count() const {
    return int(items_.size());
}

QLayoutItem* FlowLayout::itemAt(int index) const {
    return items_.value(index);
}

QLayoutItem* FlowLayout::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

Qt::Orientations FlowLayout::expandingDirections() const {
    return {};
}

bool FlowLayout::hasHeightForWidth() const {
    return true;
}

int FlowLayout::heightForWidth(int width) const {
    return arrange(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::minimumSize() const {
    QSize size;
    for (const QLayoutItem* item : items_) {
        size = size.expandedTo(item->minimumSize());
    }
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const {
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : items_) {
        if (!item->isEmpty()) {
            width += item->sizeHint().width() + (width > 0 ? spacing_ : 0);
            height = std::max(height, item->sizeHint().height());
        }
    }
    const QMargins m = contentsMargins();
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

// The visible items, row by row, as they fall when each row may be `width` wide.
std::vector<std::vector<QLayoutItem*>> FlowLayout::rowsAt(int width) const {
    std::vector<std::vector<QLayoutItem*>> rows(1);
    int x = 0;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) {
            continue;
        }
        const int w = item->sizeHint().width();
        if (x > 0 && x + w > width) {
            rows.emplace_back();
            x = 0;
        }
        rows.back().push_back(item);
        x += w + spacing_;
    }
    return rows;
}

// Places the items row by row inside `rect` (when `apply`) and returns the height they take. A
// justified layout fills its rows as evenly as their number allows, and widens the items of each
// row to its full width.
int FlowLayout::arrange(const QRect& rect, bool apply) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    std::vector<std::vector<QLayoutItem*>> rows = rowsAt(area.width());
    if (justified_) {
        const std::size_t count = rows.size();
        for (int narrower = area.width() - 4; narrower > 0 && rowsAt(narrower).size() == count;
             narrower -= 4) {
            rows = rowsAt(narrower);
        }
    }
    int y = area.y();
    for (const auto& row : rows) {
        int used = -spacing_;
        int height = 0;
        for (const QLayoutItem* item : row) {
            used += item->sizeHint().width() + spacing_;
            height = std::max(height, item->sizeHint().height());
        }
        const int extra = justified_ && !row.empty() ? std::max(area.width() - used, 0) : 0;
        int x = area.x();
        for (std::size_t i = 0; i < row.size(); ++i) {
            const int grow = extra / int(row.size()) + (int(i) < extra % int(row.size()) ? 1 : 0);
            const int w = row[i]->sizeHint().width() + grow;
            if (apply) {
                row[i]->setGeometry(QRect(x, y, w, height));
            }
            x += w + spacing_;
        }
        y += height + spacing_;
    }
    return y - spacing_ - rect.y() + contentsMargins().bottom();
}

int widthToShow(const QLineEdit* edit, const QString& text) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QMargins margins = edit->textMargins();
    // The edit keeps two pixels on each side of its text, and one more for the cursor.
    const int inner =
        edit->fontMetrics().horizontalAdvance(text) + 2 * 2 + 1 + margins.left() + margins.right();
    const QSize size(inner, edit->fontMetrics().height());
    return edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, size, edit).width();
}

int widthToShow(const QComboBox* combo, const QString& text) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    // Room for the text and the small margin the box keeps around it when it draws or edits it.
    const int inner = combo->fontMetrics().horizontalAdvance(text) + 2 * 2;
    const QSize size(inner, combo->fontMetrics().height());
    return combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, size, combo).width();
}

int cellWidthToShow(const QTableView* grid, const QString& text) {
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    const int header = grid->horizontalHeader()->fontMetrics().horizontalAdvance(text) +
                       2 * grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid) + 2;
    return std::max(grid->fontMetrics().horizontalAdvance(text) + 2 * margin + 1, header);
}

int columnRoom(const QTableView* grid) {
    const int frame = 2 * grid->frameWidth();
    const QHeaderView* rows = grid->verticalHeader();
    int header = 0;
    if (!rows->isHidden()) {
        header =
            rows->minimumWidth() == rows->maximumWidth() ? rows->maximumWidth() : rows->sizeHint().width();
    }
    const int scrollBar = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    return grid->width() - frame - header - scrollBar;
}

std::vector<int> fitColumnWidths(const std::vector<int>& preferred, const std::vector<int>& least, int room) {
    const int leastSum = std::accumulate(least.begin(), least.end(), 0);
    std::vector<int> widths(least);
    if (leastSum >= room) {
        // Not even the least widths fit: every column gives up the same share.
        int left = room;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            widths[i] = i + 1 == widths.size() ? left : least[i] * room / std::max(leastSum, 1);
            left -= widths[i];
        }
        return widths;
    }
    // Each column starts at the width it would like; where they are too wide together, each gives
    // up a share of what it has beyond its least width.
    int slack = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        widths[i] = std::max(preferred[i], least[i]);
        slack += widths[i] - least[i];
    }
    const int excess = std::accumulate(widths.begin(), widths.end(), 0) - room;
    if (excess > 0) {
        int left = excess;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const int cut = int(qint64(excess) * (widths[i] - least[i]) / slack);
            widths[i] -= cut;
            left -= cut;
        }
        // The pixels lost to rounding come from the columns that still have some to spare.
        for (std::size_t i = 0; left > 0; i = (i + 1) % widths.size()) {
            if (widths[i] > least[i]) {
                --widths[i];
                --left;
            }
        }
    } else if (!widths.empty()) {
        // Room left over is shared as the preferred widths are.
        const int spare = -excess;
        const int weight = std::max(std::accumulate(preferred.begin(), preferred.end(), 0), 1);
        int given = 0;
        for (std::size_t i = 0; i + 1 < widths.size(); ++i) {
            const int share = int(qint64(spare) * preferred[i] / weight);
            widths[i] += share;
            given += share;
        }
        widths.back() += spare - given;
    }
    return widths;
}

std::vector<int> growColumnWidths(const std::vector<int>& designed, const std::vector<int>& least,
                                  const std::vector<int>& content, int room) {
    const std::size_t count = designed.size();
    std::vector<int> atLeast(count);  // the least width, none where it is not given
    std::vector<int> base(count);     // the designed width, or the least when that is more
    std::vector<int> need(count);     // what the column's values take, up to the widest a column may be
    std::vector<int> wanted(count);   // the larger of the two
    for (std::size_t c = 0; c < count; ++c) {
        atLeast[c] = c < least.size() ? least[c] : 0;
        base[c] = std::max(designed[c], atLeast[c]);
        need[c] = std::max(atLeast[c], std::min(c < content.size() ? content[c] : 0, kWidestColumn));
        wanted[c] = std::max(base[c], need[c]);
    }
    const auto sum = [](const std::vector<int>& widths) {
        return std::accumulate(widths.begin(), widths.end(), 0);
    };
    if (sum(wanted) <= room) {
        return fitColumnWidths(wanted, base, room);
    }
    // Not every value fits: first the columns whose values are whole give up what they have beyond
    // them, then the columns that cut their values share what is left, down to their designed
    // widths, then down to their least.
    std::vector<int> preferred(wanted);
    for (const std::vector<int>* cutFloor : {&wanted, &base, &atLeast}) {
        std::vector<int> floor(count);
        for (std::size_t c = 0; c < count; ++c) {
            floor[c] = need[c] <= base[c] ? need[c] : (*cutFloor)[c];
        }
        if (sum(floor) <= room) {
            return fitColumnWidths(preferred, floor, room);
        }
        if (cutFloor == &wanted) {
            preferred = floor;  // the whole columns at their values, the cut ones at theirs
        }
    }
    return fitColumnWidths(designed, atLeast, room);
}

namespace {

// The width the values of `column` in the rows on screen need; rows out of sight are not read, so
// that a long list fetches no more than it shows.
int shownValuesWidth(const QTableView* grid, int column) {
    const QAbstractItemModel* model = grid->model();
    if (model == nullptr || model->rowCount() == 0) {
        return 0;
    }
    const int top = std::max(grid->rowAt(0), 0);
    int bottom = grid->rowAt(grid->viewport()->height() - 1);
    if (bottom < 0) {
        const int rowHeight = std::max(grid->verticalHeader()->defaultSectionSize(), 1);
        bottom = std::min(model->rowCount() - 1, top + grid->viewport()->height() / rowHeight);
    }
    int width = 0;
    for (int row = top; row <= bottom; ++row) {
        width = std::max(width, grid->sizeHintForIndex(model->index(row, column)).width());
    }
    return width;
}

}  // namespace

void fitGridColumns(QTableView* grid, const std::vector<int>& designed, const std::vector<int>& least) {
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    std::vector<int> content;
    for (std::size_t c = 0; c < designed.size(); ++c) {
        // A little more than the values take, so that a value just fitting is not drawn against the
        // grid line.
        content.push_back(shownValuesWidth(grid, int(c)) + 8);
    }
    const std::vector<int> widths = growColumnWidths(designed, least, content, columnRoom(grid));
    for (std::size_t c = 0; c < widths.size(); ++c) {
        grid->setColumnWidth(int(c), widths[c]);
    }
}

}  // namespace meridell::ui
