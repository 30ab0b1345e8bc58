#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;

namespace tessary {

// The one-line editor for a tag or a data text: shows the value under a label and gives back
// what is in the field on OK, exactly as typed (blanks and an empty text included).
class ChangeDialog : public QDialog {
    Q_OBJECT

  public:
    ChangeDialog(const std::string& label, const std::string& value, QWidget* parent);

    // The field's text as the core's bytes. A value the user left as it was shown comes back
    // byte for byte, even where the file's text is not UTF-8.
    std::string Value() const;

    QLineEdit* Field() const { return field_; }

  private:
    std::string value_;
    QLabel* label_ = nullptr;
    QLineEdit* field_ = nullptr;
};

}  // namespace tessary
