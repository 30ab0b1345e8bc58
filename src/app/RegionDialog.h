#pragma once

#include <QDialog>

#include "regions/RegionForm.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace tessary {

// The region dialog (166, "Options"): the widgets over a fresh RegionForm, which keeps the
// values and the rules; OK hands back what the form reads.
class RegionDialog : public QDialog {
    Q_OBJECT

  public:
    explicit RegionDialog(QWidget* parent);

    RegionOptions Result() const { return form_.Result(); }

  private:
    // Shows the form's radio buttons: the two are not grouped, each click sets both.
    void RenderRadioButtons();

    RegionForm form_;
    QComboBox* regions_ = nullptr;
    QRadioButton* copy_ = nullptr;
    QRadioButton* zero_ = nullptr;
};

}  // namespace tessary
