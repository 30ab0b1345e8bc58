#include "TreeCommands.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "QtTreeControl.h"
#include "TextCodec.h"
#include "commands/PaneCommands.h"

namespace tessary {

QMenu* BuildPopup(const Menu& menu, QWidget* parent) {
    auto* popup = new QMenu(parent);
    popup->setObjectName(QString::number(menu.resourceId));
    for (const MenuItem& entry : menu.items) {
        if (entry.separator) {
            popup->addSeparator();
            continue;
        }
        QAction* action = popup->addAction(QString::fromUtf8(entry.text));
        action->setData(entry.id);
        action->setEnabled(!entry.grayed);
    }
    return popup;
}

std::optional<int> ShowPopup(const Menu& menu, QWidget* parent, QPoint screenPoint) {
    // The tree may go away while the menu waits (its window closed from elsewhere); the
    // popup is then deleted with it and no command follows.
    QPointer<QMenu> popup = BuildPopup(menu, parent);
    const QAction* chosen = popup->exec(screenPoint);
    if (popup.isNull()) {
        return std::nullopt;
    }
    std::optional<int> command;
    if (chosen != nullptr && chosen->isEnabled()) {
        command = chosen->data().toInt();
    }
    delete popup.data();
    return command;
}

void ConnectTreeCommands(QtTreeControl& tree, PaneCommands& commands) {
    QtTreeControl* widget = &tree;
    PaneCommands* pane = &commands;

    tree.contextMenuRequested = [widget, pane](TreeItem item, QPoint screenPoint) {
        const std::optional<Menu> menu = pane->OpenContextMenu(item);
        if (!menu) {
            return;
        }
        QPointer<QtTreeControl> alive = widget;
        const std::optional<int> command = ShowPopup(*menu, widget, screenPoint);
        if (command && !alive.isNull()) {
            pane->Dispatch(*command);
        }
    };
    tree.keyPressed = [pane](int key) {
        if (key == Qt::Key_Insert) {
            pane->OnKey(TreeKey::Insert);
            return true;
        }
        if (key == Qt::Key_Delete) {
            pane->OnKey(TreeKey::Delete);
            return true;
        }
        return false;
    };
    tree.beginLabelEdit = [pane](TreeItem item) { return pane->CanBeginLabelEdit(item); };
    tree.labelEdited = [pane](TreeItem item, const std::optional<std::string>& text) {
        pane->EndLabelEdit(item, text);
    };
    pane->startLabelEdit = [widget](TreeItem item) { widget->EditLabel(item); };
    if (commands.acceptsDrops) {
        tree.filesDropped = [pane](const QStringList& paths) {
            std::vector<std::string> files;
            files.reserve(static_cast<std::size_t>(paths.size()));
            for (const QString& path : paths) {
                files.push_back(EncodeText(path));
            }
            pane->OnDrop(files);
        };
    } else {
        tree.filesDropped = nullptr;
        tree.setAcceptDrops(false);
    }
}

void DisconnectTreeCommands(QtTreeControl& tree, PaneCommands& commands) {
    tree.contextMenuRequested = nullptr;
    tree.keyPressed = nullptr;
    tree.beginLabelEdit = nullptr;
    tree.labelEdited = nullptr;
    tree.filesDropped = nullptr;
    commands.startLabelEdit = nullptr;
}

}  // namespace tessary
