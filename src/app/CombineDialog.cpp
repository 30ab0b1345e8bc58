#include "CombineDialog.h"

#include <QGroupBox>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "Artwork.h"
#include "DialogUnits.h"
#include "TextCodec.h"

namespace tessary {

namespace {

QPushButton* AddButton(QDialog& dialog, const char* id, const QString& text, const QRect& rect) {
    auto* button = new QPushButton(text, &dialog);
    button->setObjectName(QString::fromLatin1(id));
    button->setGeometry(rect);
    button->setAutoDefault(false);
    return button;
}

QRadioButton* AddRadio(QDialog& dialog, const char* id, const QString& text, const QRect& rect) {
    auto* radio = new QRadioButton(text, &dialog);
    radio->setObjectName(QString::fromLatin1(id));
    radio->setGeometry(rect);
    // Each button is a group of its own; the dialog's handlers keep exactly one of them on.
    radio->setAutoExclusive(false);
    return radio;
}

}  // namespace

CombineDialog::CombineDialog(const CombineRequest& request, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      state_(request) {
    setObjectName(QStringLiteral("140"));
    setWindowTitle(QStringLiteral("Combine Morph Targets"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(167, 186));

    QLabel* icon = AddPicture(*this, artwork::kIcon, units.Rect(5, 5, 18, 20));
    KeepNormalColours(*icon);
    icon->setAutoFillBackground(false);
    icon->setObjectName(QStringLiteral("icon"));
    auto* label = new QLabel(DecodeText(state_.Label()), this);
    label->setObjectName(QStringLiteral("1012"));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(units.Rect(40, 10, 70, 10));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("1010"));
    list_->setGeometry(units.Rect(5, 25, 75, 145));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setSortingEnabled(false);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    for (const std::string& name : state_.Names()) {
        list_->addItem(DecodeText(name));
    }
    connect(list_, &QListWidget::itemSelectionChanged, this, &CombineDialog::SelectionClicked);

    auto* group = new QGroupBox(QStringLiteral("New Name"), this);
    group->setGeometry(units.Rect(85, 30, 75, 30));
    name_ = new QLineEdit(DecodeText(state_.newName), this);
    name_->setObjectName(QStringLiteral("1013"));
    name_->setGeometry(units.Rect(91, 40, 65, 15));

    add_ = AddRadio(*this, "1029", QStringLiteral("Add"), units.Rect(90, 70, 70, 8));
    subtract_ = AddRadio(*this, "1030", QStringLiteral("Subtract"), units.Rect(90, 80, 70, 8));
    connect(add_, &QRadioButton::clicked, this, [this] {
        state_.OnAdd();
        ShowMode();
    });
    connect(subtract_, &QRadioButton::clicked, this, [this] {
        state_.OnSubtract();
        ShowMode();
    });
    ShowMode();

    QPushButton* all =
        AddButton(*this, "3", QStringLiteral("Select All"), units.Rect(85, 100, 75, 14));
    connect(all, &QPushButton::clicked, this, [this] {
        state_.SelectAll();
        ShowSelection();
    });
    QPushButton* none =
        AddButton(*this, "4", QStringLiteral("Select None"), units.Rect(85, 120, 75, 14));
    connect(none, &QPushButton::clicked, this, [this] {
        state_.SelectNone();
        ShowSelection();
    });
    QPushButton* combine =
        AddButton(*this, "1", QStringLiteral("Combine"), units.Rect(85, 140, 75, 14));
    combine->setDefault(true);
    connect(combine, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* cancel =
        AddButton(*this, "2", QStringLiteral("Cancel"), units.Rect(85, 161, 75, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(list_, name_);
    setTabOrder(name_, add_);
    setTabOrder(add_, subtract_);
    setTabOrder(subtract_, all);
    setTabOrder(all, none);
    setTabOrder(none, combine);
    setTabOrder(combine, cancel);
    list_->setFocus();
}

void CombineDialog::accept() {
    state_.newName = EncodeText(name_->text());
    QDialog::accept();
}

// The list widget toggles the clicked entry itself; the state follows it.
void CombineDialog::SelectionClicked() {
    if (showing_) {
        return;
    }
    state_.SelectNone();
    for (const QModelIndex& index : list_->selectionModel()->selectedIndexes()) {
        state_.SetSelected(static_cast<std::size_t>(index.row()), true);
    }
}

// The state's selection onto the list, as runs of entries so that thousands stay quick.
void CombineDialog::ShowSelection() {
    QItemSelection selection;
    const std::size_t count = state_.Count();
    for (std::size_t first = 0; first < count;) {
        if (!state_.IsSelected(first)) {
            ++first;
            continue;
        }
        std::size_t last = first;
        while (last + 1 < count && state_.IsSelected(last + 1)) {
            ++last;
        }
        selection.select(list_->model()->index(static_cast<int>(first), 0),
                         list_->model()->index(static_cast<int>(last), 0));
        first = last + 1;
    }
    showing_ = true;
    list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    showing_ = false;
}

void CombineDialog::ShowMode() {
    add_->setChecked(state_.AddOn());
    subtract_->setChecked(state_.SubtractOn());
}

}  // namespace tessary
