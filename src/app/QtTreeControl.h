#pragma once

#include <QPoint>
#include <QStringList>
#include <QTreeWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/TreeControl.h"
#include "platform/TreeItemTable.h"

namespace tessary {

// The TreeControl port over a QTreeWidget. Handles are counted up from 1 and never reused, so
// a handle kept from before a refresh finds nothing afterwards. Each item keeps the exact
// bytes it was given: file texts need not be UTF-8, and the core finds items by comparing
// their texts, so nothing may be lost by showing them.
//
// The items' texts, images and links live in a TreeItemTable, as in the in-memory control, so
// the core's walks and searches never ask the widget: a step to the next sibling is one
// look-up, and a search of the whole tree is answered from the table's text index. The widget
// items only show the table's entries; their labels and pictures are made when they are drawn.
//
// What the user does inside the tree (right-click, Insert and Delete, label edits, drops) is
// reported through the callbacks below; the pane's command handling decides what follows.
class QtTreeControl : public QTreeWidget, public TreeControl {
    Q_OBJECT

  public:
    explicit QtTreeControl(QWidget* parent = nullptr);

    TreeItem InsertItem(TreeItem parent, std::string_view text, int image) override;
    void DeleteAllItems() override;
    void DeleteItem(TreeItem item) override;
    std::string GetItemText(TreeItem item) const override;
    bool ItemTextEquals(TreeItem item, std::string_view text) const override;
    void SetItemText(TreeItem item, std::string_view text) override;
    int GetItemImage(TreeItem item) const override;
    TreeItem GetParentItem(TreeItem item) const override;
    TreeItem GetChildItem(TreeItem item) const override;
    TreeItem GetNextSiblingItem(TreeItem item) const override;
    bool ItemHasChildren(TreeItem item) const override;
    TreeItem FindItemByText(TreeItem start, std::string_view text) const override;
    void SortTopLevel() override;
    void SelectItem(TreeItem item) override;
    TreeItem GetSelectedItem() const override;
    void Expand(TreeItem item) override;
    TreeItem GetFirstVisibleItem() const override;
    void InstallImageList() override;
    std::vector<TreeItem> FindItemsContaining(std::string_view needle) const override;

    // The widget item behind a handle, or null; and the handle of a widget item, or 0.
    QTreeWidgetItem* ItemOf(TreeItem item) const;
    TreeItem HandleOf(const QTreeWidgetItem* item) const;
    // The handle of the item at a point of the viewport, or 0.
    TreeItem ItemAt(const QPoint& viewportPoint) const;

    // Starts the in-place label editor on the item, when beginLabelEdit allows it and the
    // item's label is on screen (inside a collapsed parent or scrolled away, it is not).
    bool EditLabel(TreeItem item);

    // Right-click: the item under the mouse (0 on blank space) and the screen point.
    std::function<void(TreeItem item, QPoint screenPoint)> contextMenuRequested;
    // Insert or Delete while the tree has the focus; returns true when the key was handled.
    std::function<bool(int key)> keyPressed;
    // Asked before the label editor opens; without it no label can be edited.
    std::function<bool(TreeItem item)> beginLabelEdit;
    // The end of a label edit: the text the user typed, exactly (UTF-8), or none when the edit
    // was cancelled. The label stays as it was unless the handler sets it.
    std::function<void(TreeItem item, const std::optional<std::string>& text)> labelEdited;
    // Local files dropped onto the tree, in the order the drop lists them.
    std::function<void(const QStringList& paths)> filesDropped;

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A label cut off at the edge of the view shows whole in a tool tip.
    bool viewportEvent(QEvent* event) override;

  private:
    // Deletes detached items with all their descendants without recursion, so a tree nested
    // arbitrarily deep is cleared without exhausting the stack.
    static void DestroyItems(QList<QTreeWidgetItem*> items);
    void CommitLabel(QTreeWidgetItem* item, const QString& text);
    QVariant ItemData(TreeItem item, int role) const;

    friend class LabelDelegate;
    friend class TableItem;

    TreeItemTable table_;
    // The widget item of each entry of the table, by its position there.
    std::vector<QTreeWidgetItem*> widgets_;
    // The item whose label editor is open, or 0.
    TreeItem editing_ = 0;
    QIcon images_[5];
    bool imagesInstalled_ = false;
};

}  // namespace tessary
