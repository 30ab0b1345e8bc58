#pragma once

#include <QDialog>
#include <array>
#include <memory>
#include <string>

#include "shell/MainWindow.h"

class QPushButton;

namespace tessary {

class ProfileStore;
class QtTreeControl;
class Ui;

// The main window on screen: it lays out the controls, renders the shell's button states and
// forwards clicks to the shell, which decides everything. Quit, Escape and the close box all
// go through the shell's quit check; Enter does nothing.
class QtMainWindow : public QDialog {
    Q_OBJECT

  public:
    QtMainWindow(Ui& ui, ProfileStore& store, QWidget* parent = nullptr);
    ~QtMainWindow() override;

    // Loads the command line into the left pane, or shows the About box when it is empty.
    void Start(const std::string& commandLine);

    MainWindow& Shell() { return *shell_; }
    QtTreeControl& Tree(Side side) { return *trees_[static_cast<int>(side)]; }

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    struct PaneWidgets {
        QPushButton* load = nullptr;
        QPushButton* save = nullptr;
        QPushButton* obj = nullptr;
        QPushButton* options = nullptr;
    };

    QPushButton* AddButton(const char* id, const QString& text, const QRect& rect);
    void BuildPane(Side side);
    void SetTabOrder();
    // Right-clicks, keys, label edits and drops in the trees go to the panes' commands.
    void ConnectPanes();
    void RenderButtons();
    // More Options: the pane's region menu at the button's top-left corner.
    void ShowRegionMenu(Side side);

    std::array<QtTreeControl*, 2> trees_{};
    std::array<PaneWidgets, 2> panes_{};
    QPushButton* preferences_ = nullptr;
    QPushButton* about_ = nullptr;
    QPushButton* help_ = nullptr;
    QPushButton* quit_ = nullptr;
    std::unique_ptr<MainWindow> shell_;
};

}  // namespace tessary
