#include "RegionDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "DialogUnits.h"

namespace tessary {

namespace {

struct TextLayout {
    const char* text;
    int x, y, width, height;
};

constexpr TextLayout kTexts[] = {
    {"Select a region and action.", 5, 5, 155, 10},
    {"Use this menu to mix and match whole sections of a figure's pose. Since copying all the "
     "info on an arm can be tedious, the above options will do the work for you.",
     5, 70, 165, 35},
    {"The radio buttons determine the action when you select an area, either copy settings or "
     "zero settings. ",
     5, 105, 165, 20},
    {"The check boxes will exclude the setting of the above parts.", 5, 126, 165, 20},
    {"The Upper Body is the chest, abdomen and arms. The head is the head, neck and eyes. The "
     "Lower Body is the hips and legs. An arm is the collar, the shoulder, the forearm, the hand "
     "and all fingers.",
     5, 150, 165, 35},
};

QCheckBox* AddCheckBox(QWidget& dialog, const char* id, const char* text, QRect rect, bool& value) {
    auto* box = new QCheckBox(QString::fromLatin1(text), &dialog);
    box->setObjectName(QString::fromLatin1(id));
    box->setGeometry(rect);
    QObject::connect(box, &QCheckBox::toggled, &dialog,
                     [&value](bool checked) { value = checked; });
    return box;
}

}  // namespace

RegionDialog::RegionDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("166"));
    setWindowTitle(QStringLiteral("Options"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(175, 191));

    for (const TextLayout& layout : kTexts) {
        auto* label = new QLabel(QString::fromLatin1(layout.text), this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(units.Rect(layout.x, layout.y, layout.width, layout.height));
    }

    // A drop-down list: its 105 units of height are the opened list's; the closed box keeps
    // its own height.
    regions_ = new QComboBox(this);
    regions_->setObjectName(QStringLiteral("1071"));
    for (int i = 0; i < RegionForm::EntryCount(); ++i) {
        const std::string_view text = RegionForm::EntryText(i);
        regions_->addItem(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
    }
    regions_->setCurrentIndex(-1);
    regions_->setMaxVisibleItems(RegionForm::EntryCount());
    const QRect box = units.Rect(5, 15, 80, 105);
    regions_->setGeometry(box.x(), box.y(), box.width(), regions_->sizeHint().height());
    connect(regions_, &QComboBox::currentIndexChanged, this,
            [this](int index) { form_.ChooseEntry(index); });

    copy_ = new QRadioButton(QStringLiteral("Copy Settings"), this);
    copy_->setObjectName(QStringLiteral("1069"));
    copy_->setGeometry(units.Rect(90, 15, 80, 10));
    zero_ = new QRadioButton(QStringLiteral("Zero Settings"), this);
    zero_->setObjectName(QStringLiteral("1070"));
    zero_->setGeometry(units.Rect(90, 25, 80, 10));
    for (QRadioButton* radio : {copy_, zero_}) {
        radio->setAutoExclusive(false);
    }
    connect(copy_, &QRadioButton::clicked, this, [this] {
        form_.ClickCopySettings();
        RenderRadioButtons();
    });
    connect(zero_, &QRadioButton::clicked, this, [this] {
        form_.ClickZeroSettings();
        RenderRadioButtons();
    });
    RenderRadioButtons();

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(units.Rect(95, 35, 70, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setGeometry(units.Rect(95, 55, 70, 14));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    QCheckBox* hands = AddCheckBox(*this, "1065", "Leave Hands Alone", units.Rect(5, 30, 85, 10),
                                   form_.leaveHands);
    QCheckBox* feet =
        AddCheckBox(*this, "1066", "Leave Feet Alone", units.Rect(5, 40, 85, 10), form_.leaveFeet);
    QCheckBox* morphs = AddCheckBox(*this, "1067", "Leave Morph Targets", units.Rect(5, 50, 85, 10),
                                    form_.leaveMorphTargets);

    const std::array<QWidget*, 8> order = {regions_, copy_, zero_, ok, cancel, hands, feet, morphs};
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    regions_->setFocus();
}

void RegionDialog::RenderRadioButtons() {
    copy_->setChecked(form_.CopySelected());
    zero_->setChecked(!form_.CopySelected());
}

}  // namespace tessary
