#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace tessary {

// The small captionless window a long operation shows while it runs (icon, text, bar). It is
// modeless: the operation keeps running on the user-interface thread, so the window is
// repainted directly whenever the bar moves instead of waiting for the event loop.
class ProgressWindow : public QDialog {
    Q_OBJECT

  public:
    explicit ProgressWindow(QWidget* owner);

    void SetText(const QString& text);
    void SetPosition(int percent);
    int Position() const;
    QString Text() const;

  private:
    QLabel* text_;
    QProgressBar* bar_;
};

}  // namespace tessary
