#include "QtTreeControl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QTreeWidgetItemIterator>
#include <QUrl>
#include <algorithm>
#include <vector>

#include "Artwork.h"
#include "TextCodec.h"

namespace tessary {

namespace {

constexpr int kImageCount = 5;
constexpr int kImageSize = 16;
// The type of the widget items that show the table's entries.
constexpr int kTableItemType = QTreeWidgetItem::UserType + 1;

QStringList LocalFiles(const QMimeData* mime) {
    QStringList paths;
    if (mime == nullptr || !mime->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        }
    }
    return paths;
}

// The tree style with dotted lines and +/- buttons, shared by every tree of the program.
QStyle* LinedTreeStyle() {
    static QStyle* style = [] {
        QStyle* created = QStyleFactory::create(QStringLiteral("Windows"));
        if (created != nullptr) {
            created->setParent(qApp);
        }
        return created;
    }();
    return style;
}

}  // namespace

// Hands a finished label edit to the tree instead of writing it into the item: the pane
// decides whether the rename happens and what the label then shows.
class LabelDelegate : public QStyledItemDelegate {
  public:
    explicit LabelDelegate(QtTreeControl* tree) : QStyledItemDelegate(tree), tree_(tree) {}

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line == nullptr) {
            return;
        }
        tree_->CommitLabel(tree_->itemFromIndex(index), line->text());
    }

  private:
    QtTreeControl* tree_;
};

// A widget item that shows an entry of the control's table: it holds the handle only, and
// its label and picture are looked up when the view asks for them.
class TableItem : public QTreeWidgetItem {
  public:
    TableItem(const QtTreeControl* tree, TreeItem handle)
        : QTreeWidgetItem(kTableItemType), tree_(tree), handle_(handle) {
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    }

    TreeItem Handle() const { return handle_; }

    QVariant data(int column, int role) const override {
        if (column == 0 &&
            (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::DecorationRole)) {
            return tree_->ItemData(handle_, role);
        }
        return QTreeWidgetItem::data(column, role);
    }

    // The label changed in the table: views showing it redraw it.
    void TextChanged() { emitDataChanged(); }

  private:
    const QtTreeControl* tree_;
    TreeItem handle_;
};

QtTreeControl::QtTreeControl(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setUniformRowHeights(true);
    setIndentation(19);
    setIconSize(QSize(kImageSize, kImageSize));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setItemDelegate(new LabelDelegate(this));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    // The one column is as wide as the longest label it shows, so long names scroll sideways
    // instead of being cut. Only the rows on screen are measured, however large the file.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setResizeContentsPrecision(0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    if (QStyle* style = LinedTreeStyle()) {
        setStyle(style);
    }

    // The selection stays visible when another control has the focus.
    QPalette colours = QApplication::palette(this);
    colours.setColor(QPalette::Window, colours.color(QPalette::Window));
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);

    LoadArtwork();
    // The strip holds five 16 x 16 pictures side by side; white is transparent.
    const QPixmap strip(QStringLiteral(":/tessary/images/tree-images.png"));
    for (int i = 0; i < kImageCount; ++i) {
        if (strip.isNull()) {
            break;
        }
        QPixmap image = strip.copy(i * kImageSize, 0, kImageSize, kImageSize);
        image.setMask(image.createMaskFromColor(Qt::white, Qt::MaskInColor));
        images_[i] = QIcon(image);
    }
}

QVariant QtTreeControl::ItemData(TreeItem item, int role) const {
    const TreeItemTable::Node* node = table_.Find(item);
    if (node == nullptr) {
        return {};
    }
    if (role != Qt::DecorationRole) {
        return DecodeText(node->text);
    }
    if (!imagesInstalled_) {
        return {};
    }
    // An item without an image of its own shows the list's first picture.
    return images_[(node->image >= 0 && node->image < kImageCount) ? node->image : 0];
}

TreeItem QtTreeControl::InsertItem(TreeItem parent, std::string_view text, int image) {
    QTreeWidgetItem* parentItem = invisibleRootItem();
    if (parent != 0) {
        parentItem = ItemOf(parent);
        if (parentItem == nullptr) {
            return 0;
        }
    }
    const TreeItem handle = table_.Insert(parent, text, image);
    if (handle == 0) {
        return 0;
    }
    auto* item = new TableItem(this, handle);
    widgets_.push_back(item);
    parentItem->addChild(item);
    return handle;
}

void QtTreeControl::DestroyItems(QList<QTreeWidgetItem*> items) {
    // The items come detached from the view. Every item is listed after its parent; going
    // backwards, each parent's children are leaves by the time they are deleted, first child
    // first, so no destructor recurses and none searches a long list of siblings.
    std::vector<QTreeWidgetItem*> order(items.begin(), items.end());
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (int child = 0; child < order[i]->childCount(); ++child) {
            order.push_back(order[i]->child(child));
        }
    }
    for (std::size_t i = order.size(); i-- > 0;) {
        while (order[i]->childCount() > 0) {
            delete order[i]->child(0);
        }
    }
    qDeleteAll(items);
}

void QtTreeControl::DeleteAllItems() {
    table_.Clear();
    widgets_.clear();
    DestroyItems(invisibleRootItem()->takeChildren());
}

void QtTreeControl::DeleteItem(TreeItem item) {
    QTreeWidgetItem* widgetItem = ItemOf(item);
    if (widgetItem == nullptr) {
        return;
    }
    for (TreeItem gone : table_.Remove(item)) {
        widgets_[table_.Position(gone)] = nullptr;
    }
    QTreeWidgetItem* parentItem = widgetItem->parent();
    if (parentItem == nullptr) {
        parentItem = invisibleRootItem();
    }
    DestroyItems({parentItem->takeChild(parentItem->indexOfChild(widgetItem))});
}

std::string QtTreeControl::GetItemText(TreeItem item) const {
    const TreeItemTable::Node* node = table_.Find(item);
    return node != nullptr ? node->text : std::string();
}

bool QtTreeControl::ItemTextEquals(TreeItem item, std::string_view text) const {
    const TreeItemTable::Node* node = table_.Find(item);
    return node != nullptr ? node->text == text : text.empty();
}

void QtTreeControl::SetItemText(TreeItem item, std::string_view text) {
    QTreeWidgetItem* widgetItem = ItemOf(item);
    if (widgetItem == nullptr) {
        return;
    }
    table_.SetText(item, text);
    static_cast<TableItem*>(widgetItem)->TextChanged();
}

int QtTreeControl::GetItemImage(TreeItem item) const {
    const TreeItemTable::Node* node = table_.Find(item);
    return node != nullptr ? node->image : kNoImage;
}

TreeItem QtTreeControl::GetParentItem(TreeItem item) const {
    const TreeItemTable::Node* node = table_.Find(item);
    return node != nullptr ? node->parent : 0;
}

TreeItem QtTreeControl::GetChildItem(TreeItem item) const {
    if (item == 0) {
        return table_.FirstTopLevel();
    }
    const TreeItemTable::Node* node = table_.Find(item);
    return node != nullptr ? node->firstChild : 0;
}

TreeItem QtTreeControl::GetNextSiblingItem(TreeItem item) const {
    const TreeItemTable::Node* node = table_.Find(item);
    return node != nullptr ? node->nextSibling : 0;
}

bool QtTreeControl::ItemHasChildren(TreeItem item) const {
    const TreeItemTable::Node* node = table_.Find(item);
    return node != nullptr && node->firstChild != 0;
}

TreeItem QtTreeControl::FindItemByText(TreeItem start, std::string_view text) const {
    // Below an item the walk is short (an actor's folders); the whole tree is searched in the
    // text index.
    return start != 0 ? TreeControl::FindItemByText(start, text) : table_.FindByText(text);
}

void QtTreeControl::SortTopLevel() {
    const TreeItem selected = GetSelectedItem();
    std::vector<std::pair<QTreeWidgetItem*, bool>> entries;
    for (TreeItem item : table_.SortTopLevel()) {
        QTreeWidgetItem* widgetItem = ItemOf(item);
        entries.emplace_back(widgetItem, widgetItem->isExpanded());
    }
    QList<QTreeWidgetItem*> top = invisibleRootItem()->takeChildren();
    top.clear();
    for (const auto& entry : entries) {
        top.append(entry.first);
    }
    addTopLevelItems(top);
    // Taking the items out forgets which were open; put that back as it was.
    for (const auto& [item, expanded] : entries) {
        item->setExpanded(expanded);
    }
    if (selected != 0) {
        SelectItem(selected);
    }
}

std::vector<TreeItem> QtTreeControl::FindItemsContaining(std::string_view needle) const {
    std::vector<TreeItem> found;
    // The iterator goes in display order without the sibling lookups of the port's walk.
    for (QTreeWidgetItemIterator it(const_cast<QtTreeControl*>(this)); *it != nullptr; ++it) {
        const TreeItemTable::Node* node = table_.Find(HandleOf(*it));
        if (node != nullptr && ContainsIgnoringCase(node->text, needle)) {
            found.push_back(HandleOf(*it));
        }
    }
    return found;
}

bool QtTreeControl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid()) {
            const QRect shown = visualRect(index);
            const int needed = sizeHintForIndex(index).width();
            if (shown.left() < 0 || shown.left() + needed > viewport()->width()) {
                QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(),
                                   viewport(), shown);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

void QtTreeControl::SelectItem(TreeItem item) {
    QTreeWidgetItem* widgetItem = item == 0 ? nullptr : ItemOf(item);
    if (widgetItem == nullptr) {
        clearSelection();
        return;
    }
    setCurrentItem(widgetItem);
    widgetItem->setSelected(true);
    scrollToItem(widgetItem);
}

TreeItem QtTreeControl::GetSelectedItem() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? 0 : HandleOf(selected.first());
}

void QtTreeControl::Expand(TreeItem item) {
    if (QTreeWidgetItem* widgetItem = ItemOf(item)) {
        widgetItem->setExpanded(true);
    }
}

TreeItem QtTreeControl::GetFirstVisibleItem() const {
    if (topLevelItemCount() == 0) {
        return 0;
    }
    // Before the tree is laid out on screen the first item is the one that will show first.
    if (isVisible()) {
        if (const QTreeWidgetItem* top = itemAt(QPoint(1, 1))) {
            return HandleOf(top);
        }
    }
    return HandleOf(topLevelItem(0));
}

void QtTreeControl::InstallImageList() {
    // The pictures are looked up as items are drawn; the items on screen are drawn again.
    if (!imagesInstalled_) {
        imagesInstalled_ = true;
        viewport()->update();
    }
}

QTreeWidgetItem* QtTreeControl::ItemOf(TreeItem item) const {
    return table_.Find(item) != nullptr ? widgets_[table_.Position(item)] : nullptr;
}

TreeItem QtTreeControl::HandleOf(const QTreeWidgetItem* item) const {
    if (item == nullptr || item->type() != kTableItemType) {
        return 0;
    }
    return static_cast<const TableItem*>(item)->Handle();
}

TreeItem QtTreeControl::ItemAt(const QPoint& viewportPoint) const {
    return HandleOf(itemAt(viewportPoint));
}

bool QtTreeControl::EditLabel(TreeItem item) {
    QTreeWidgetItem* widgetItem = ItemOf(item);
    if (widgetItem == nullptr) {
        return false;
    }
    // The label must be on screen: a hidden item gets no editor.
    const QRect label = visualItemRect(widgetItem);
    if (!label.isValid() || !viewport()->rect().intersects(label)) {
        return false;
    }
    const QModelIndex index = indexFromItem(widgetItem);
    setCurrentIndex(index);
    return edit(index, QAbstractItemView::AllEditTriggers, nullptr);
}

bool QtTreeControl::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const TreeItem item = HandleOf(itemFromIndex(index));
    if (item == 0 || !beginLabelEdit || !beginLabelEdit(item)) {
        return false;
    }
    if (!QTreeWidget::edit(index, trigger, event)) {
        return false;
    }
    editing_ = item;
    return true;
}

void QtTreeControl::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Escape closes the editor without handing its text over: the edit ends with none.
    const TreeItem cancelled = hint == QAbstractItemDelegate::RevertModelCache ? editing_ : 0;
    editing_ = 0;
    QTreeWidget::closeEditor(editor, hint);
    if (cancelled != 0 && labelEdited) {
        labelEdited(cancelled, std::nullopt);
    }
}

void QtTreeControl::CommitLabel(QTreeWidgetItem* item, const QString& text) {
    const TreeItem handle = HandleOf(item);
    if (handle != 0 && labelEdited) {
        labelEdited(handle, std::optional<std::string>(EncodeText(text)));
    }
}

void QtTreeControl::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (!contextMenuRequested) {
        return;
    }
    if (event->reason() != QContextMenuEvent::Keyboard) {
        contextMenuRequested(ItemAt(event->pos()), event->globalPos());
        return;
    }
    // The menu key points at no place: it means the selected item, and its menu opens at
    // the item's label. Without one on screen there is nothing to point at.
    const TreeItem selected = GetSelectedItem();
    const QRect label = selected != 0 ? visualItemRect(ItemOf(selected)) : QRect();
    if (label.isValid() && viewport()->rect().intersects(label)) {
        contextMenuRequested(selected, viewport()->mapToGlobal(label.center()));
    }
}

void QtTreeControl::mousePressEvent(QMouseEvent* event) {
    // A right-click points at an item for its menu; it does not move the selection.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void QtTreeControl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Insert || key == Qt::Key_Delete) && keyPressed && keyPressed(key)) {
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void QtTreeControl::dragEnterEvent(QDragEnterEvent* event) {
    if (filesDropped && !LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void QtTreeControl::dragMoveEvent(QDragMoveEvent* event) {
    if (filesDropped && !LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void QtTreeControl::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalFiles(event->mimeData());
    if (!filesDropped || paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    filesDropped(paths);
}

}  // namespace tessary
