#include "ChangeDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

#include "DialogUnits.h"
#include "TextCodec.h"

namespace tessary {

ChangeDialog::ChangeDialog(const std::string& label, const std::string& value, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      value_(value) {
    setObjectName(QStringLiteral("160"));
    setWindowTitle(QStringLiteral("Change"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(186, 71));

    label_ = new QLabel(DecodeText(label), this);
    label_->setObjectName(QStringLiteral("1056"));
    label_->setTextFormat(Qt::PlainText);
    label_->setGeometry(units.Rect(10, 15, 105, 10));

    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("1055"));
    // A line edit cuts its text at 32767 characters unless told otherwise; a long data line
    // must come back whole.
    field_->setMaxLength(std::numeric_limits<int>::max());
    field_->setText(DecodeText(value));
    field_->setCursorPosition(0);
    field_->setGeometry(units.Rect(10, 45, 165, 15));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(units.Rect(129, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setGeometry(units.Rect(129, 24, 50, 14));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    QWidget::setTabOrder(field_, ok);
    QWidget::setTabOrder(ok, cancel);
    field_->setFocus();
}

std::string ChangeDialog::Value() const {
    const QString typed = field_->text();
    if (typed == DecodeText(value_)) {
        return value_;
    }
    return EncodeText(typed);
}

}  // namespace tessary
