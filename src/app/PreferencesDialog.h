#pragma once

#include <QDialog>
#include <array>

#include "platform/Preferences.h"

class QCheckBox;

namespace tessary {

// The Preferences dialog: one check box per option, set from the values it is opened on and
// read back on OK. It stores nothing itself.
class PreferencesDialog : public QDialog {
    Q_OBJECT

  public:
    PreferencesDialog(const Preferences& current, QWidget* parent);

    Preferences Values() const;
    QCheckBox* Box(std::size_t option) const { return boxes_[option]; }

  private:
    std::array<QCheckBox*, 6> boxes_{};
};

}  // namespace tessary
