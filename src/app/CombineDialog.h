#pragma once

#include <QDialog>

#include "edit/CombineDialogState.h"

class QLineEdit;
class QListWidget;
class QRadioButton;

namespace tessary {

// The Combine Morph Targets dialog (140): the widgets over a CombineDialogState, which decides
// what the list, the name field and the Add / Subtract pair hold. Each click on a list entry
// toggles it; Enter presses Combine, Escape cancels.
class CombineDialog : public QDialog {
    Q_OBJECT

  public:
    CombineDialog(const CombineRequest& request, QWidget* parent);

    // What Combine hands over; meaningful once the dialog was accepted.
    CombineChoice Choice() const { return state_.Combine(); }
    const CombineDialogState& State() const { return state_; }

  public slots:
    void accept() override;

  private:
    void SelectionClicked();
    void ShowSelection();
    void ShowMode();

    CombineDialogState state_;
    QListWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QRadioButton* add_ = nullptr;
    QRadioButton* subtract_ = nullptr;
    bool showing_ = false;
};

}  // namespace tessary
