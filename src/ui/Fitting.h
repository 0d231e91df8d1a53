#pragma once

#include <QLayout>
#include <QList>
#include <QString>

#include <vector>

class QComboBox;
class QLineEdit;
class QTableView;
class QWidget;

namespace meridell::ui {

// Lays its items out left to right and starts a new row where the next item would pass the right
// edge, so that a row of buttons or page tabs stays whole however narrow its page is.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent = nullptr, int spacing = 4);
    ~FlowLayout() override;

    // Rows as even as their number allows, each filled to the full width (page tabs).
    void setJustified(bool justified) { justified_ = justified; }

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    int arrange(const QRect& rect, bool apply) const;
    std::vector<std::vector<QLayoutItem*>> rowsAt(int width) const;

    QList<QLayoutItem*> items_;
    int spacing_;
    bool justified_ = false;
};

// The width a line edit or a combo box needs to show `text` whole in its own font and style.
int widthToShow(const QLineEdit* edit, const QString& text);
int widthToShow(const QComboBox* combo, const QString& text);
// The width a grid cell or header section needs to show `text` whole.
int cellWidthToShow(const QTableView* grid, const QString& text);

// The room the grid's columns share: the viewport's width, keeping room for a vertical scroll bar
// that rows may need later.
int columnRoom(const QTableView* grid);

// Column widths that fill `room`: each column gets `preferred` where they fit together; where they
// do not, each column gives up a share of what it has beyond `least`; room left over is shared in
// proportion to `preferred`. When even the least widths do not fit, they are scaled down.
std::vector<int> fitColumnWidths(const std::vector<int>& preferred, const std::vector<int>& least, int room);

// The widest a column grows to show its values whole when the grid has room to spare.
inline constexpr int kWidestColumn = 420;

// Column widths for columns designed `designed` wide that keep at least `least`, in `room`, for
// values that need `content` (each counted up to kWidestColumn). Where every value fits, each column
// gets what its values need and its designed width at least, and what is left is shared as those
// widths are. Where they do not, the columns whose values are whole give up their room beyond them
// first, then the columns that cut their values shrink, down to their designed widths and then to
// their least; when even that does not fit, they shrink as fitColumnWidths has them.
std::vector<int> growColumnWidths(const std::vector<int>& designed, const std::vector<int>& least,
                                  const std::vector<int>& content, int room);

// Sets the widths of the grid's columns by growColumnWidths: the room is columnRoom(grid), the
// content the widths the values shown in each column need.
void fitGridColumns(QTableView* grid, const std::vector<int>& designed, const std::vector<int>& least);

}  // namespace meridell::ui
