#pragma once

#include <QDialog>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "commands/ItemFinder.h"
#include "shell/MainWindow.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;

namespace tessary {

class ProfileStore;
class QtTreeControl;
class Ui;

// The main window on screen: it lays out the controls, renders the shell's button states,
// title and status line, and forwards clicks and keys to the shell, which decides everything.
// Quit, Escape, Ctrl+Q and the close box all go through the shell's quit check; Enter does
// nothing.
//
// It opens at the dialog-unit layout, which is also its smallest size; growing it gives the
// room to the two trees, half each, and everything else keeps its place (LayOut).
class QtMainWindow : public QDialog {
    Q_OBJECT

  public:
    QtMainWindow(Ui& ui, ProfileStore& store, QWidget* parent = nullptr);
    ~QtMainWindow() override;

    // Loads the command line into the left pane, or shows the About box when it is empty.
    void Start(const std::string& commandLine);
    // One file for the left pane, or one for each pane; none shows the About box.
    void Start(const std::vector<std::string>& files);

    MainWindow& Shell() { return *shell_; }
    QtTreeControl& Tree(Side side) { return *trees_[static_cast<int>(side)]; }
    QLabel& StatusLine() { return *status_; }
    QLineEdit& FindField(Side side) { return *finds_[static_cast<int>(side)].field; }

    // The pane the keyboard works in: the one whose control had the focus last.
    Side FocusedSide() const { return focusedSide_; }
    // Ctrl+F: shows the find field under the pane's tree and gives it the focus.
    void OpenFind(Side side);
    // Escape in the find field: hides it and gives the focus back to the tree.
    void CloseFind(Side side);

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct PaneWidgets {
        QPushButton* load = nullptr;
        QPushButton* save = nullptr;
        QPushButton* obj = nullptr;
        QPushButton* options = nullptr;
    };
    struct FindBar {
        QWidget* bar = nullptr;
        QLineEdit* field = nullptr;
        QLabel* count = nullptr;
        std::unique_ptr<ItemFinder> finder;
    };
    // How a control follows the window's growth: which share of the extra width moves it
    // right or widens it, and whether the extra height moves it down or makes it taller.
    enum class Share { None, LeftHalf, RightHalf, Whole };
    struct Anchor {
        QWidget* widget;
        QRect base;
        Share right;
        Share wider;
        bool down;
        bool taller;
    };

    QPushButton* AddButton(const char* id, const QString& text, const QRect& rect);
    void BuildPane(Side side);
    void BuildFindBar(Side side);
    void BuildShortcuts();
    void SetTabOrder();
    // Right-clicks, keys, label edits and drops in the trees go to the panes' commands.
    void ConnectPanes();
    void Render();
    void RenderStatus();

    void Anchored(QWidget* widget, Share right, Share wider, bool down, bool taller);
    void LayOut();
    int Extra(Share share) const;

    void RestorePlacement();
    void KeepPlacement();
    // Shift+F10: the context menu of the selected item of the focused tree, beside it.
    void ShowItemMenu();
    void TrackFocus(QWidget* now);
    // More Options: the pane's region menu at the button's top-left corner.
    void ShowRegionMenu(Side side);

    std::array<QtTreeControl*, 2> trees_{};
    std::array<PaneWidgets, 2> panes_{};
    std::array<FindBar, 2> finds_{};
    QPushButton* preferences_ = nullptr;
    QPushButton* about_ = nullptr;
    QPushButton* help_ = nullptr;
    QPushButton* quit_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<Anchor> anchors_;
    QSize baseSize_;
    QSize extra_;
    Side focusedSide_ = Side::Left;
    std::unique_ptr<MainWindow> shell_;
};

}  // namespace tessary
