#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Acts on the next modal window that opens, from inside that window's own event loop, so a
// test can answer a dialog that the code under test runs with exec(). A window that opens
// when none is expected is caught with Refuse() and shows in Seen().
class ModalDriver {
  public:
    using Action = std::function<void(QWidget& modal)>;

    ModalDriver() = default;
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;
    ~ModalDriver() { state_->action = nullptr; }

    // Runs `action` on the first modal window to appear.
    void Expect(Action action) { ExpectWhere(nullptr, std::move(action)); }

    // Runs `action` on the first modal window with that object name (a dialog's resource
    // id), so a dialog opened from inside another one can be answered.
    void ExpectNamed(const QString& objectName, Action action) {
        ExpectWhere([objectName](QWidget& modal) { return modal.objectName() == objectName; },
                    std::move(action));
    }

    // Runs `action` on the first modal window that `which` accepts (any, when it is empty).
    void ExpectWhere(std::function<bool(QWidget&)> which, Action action) {
        state_->action = std::move(action);
        state_->which = std::move(which);
        state_->seen = false;
        Poll(state_);
    }

    // Closes any modal window that appears, remembering that one did.
    void Refuse() {
        Expect([](QWidget& modal) { modal.close(); });
    }

    bool Seen() const { return state_->seen; }

  private:
    struct State {
        Action action;
        std::function<bool(QWidget&)> which;
        bool seen = false;
    };

    static void Poll(std::shared_ptr<State> state) {
        QTimer::singleShot(5, [state] {
            if (!state->action) {
                return;
            }
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || (state->which && !state->which(*modal))) {
                Poll(state);
                return;
            }
            state->seen = true;
            Action action = std::move(state->action);
            state->action = nullptr;
            action(*modal);
        });
    }

    std::shared_ptr<State> state_ = std::make_shared<State>();
};
