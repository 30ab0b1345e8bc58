#pragma once

#include <QDialog>

namespace tessary {

// The About box: banner, figure picture and what the program is, white on black like the
// main window.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent);
};

}  // namespace tessary
