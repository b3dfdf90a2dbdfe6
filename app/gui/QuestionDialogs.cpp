#include "app/gui/QuestionDialogs.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialog/PastedPosition.h"
#include "app/field/FieldFactory.h"
#include "app/gui/AppIcon.h"
#include "app/gui/DialogButtons.h"
#include "app/gui/FieldWidget.h"

namespace {

void SetUpQuestion(QDialog* dialog, const char* id) {
    dialog->setObjectName(QString::fromLatin1(id));
    dialog->setWindowTitle(Caption());
    dialog->setWindowIcon(AppIcon());
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

}  // namespace

RawKindDialog::RawKindDialog(int choice, QWidget* parent) : QDialog(parent) {
    SetUpQuestion(this, "129");
    satellite_ = new QRadioButton(tr("&Satellite-dated raw data"));
    satellite_->setObjectName(QStringLiteral("1009"));
    receiver_ = new QRadioButton(tr("&Receiver-dated raw data"));
    receiver_->setObjectName(QStringLiteral("1010"));
    auto* group = new QButtonGroup(this);
    group->addButton(satellite_, 0);
    group->addButton(receiver_, 1);
    (choice == 0 ? satellite_ : receiver_)->setChecked(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Which kind of raw data do you want to process ?")));
    auto* radios = new QVBoxLayout;
    radios->setContentsMargins(16, 4, 0, 8);
    radios->addWidget(satellite_);
    radios->addWidget(receiver_);
    layout->addLayout(radios);
    AddOkCancel(this, layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int RawKindDialog::Choice() const { return satellite_->isChecked() ? 0 : 1; }

PositionDialog::PositionDialog(const ApproximatePosition& position, QWidget* parent) : QDialog(parent) {
    SetUpQuestion(this, "131");
    latitude_ = new FieldWidget(kFieldLat);
    latitude_->setObjectName(QStringLiteral("1012"));
    longitude_ = new FieldWidget(kFieldLong);
    longitude_->setObjectName(QStringLiteral("1013"));
    altitude_ = new FieldWidget(kFieldAlt);
    altitude_->setObjectName(QStringLiteral("1014"));
    latitude_->setValue(position.latitude);
    longitude_->setValue(position.longitude);
    altitude_->setValue(position.height);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Please, enter an approximated position :")));
    auto* form = new QFormLayout;
    form->setContentsMargins(16, 4, 0, 8);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(BuddyLabel(tr("&Lat :"), latitude_), latitude_);
    form->addRow(BuddyLabel(tr("L&ong :"), longitude_), longitude_);
    form->addRow(BuddyLabel(tr("&Alt :"), altitude_), altitude_);
    paste_ = new QLineEdit;
    paste_->setObjectName(QStringLiteral("paste"));
    paste_->setMinimumWidth(paste_->fontMetrics().averageCharWidth() * 30);
    paste_->setPlaceholderText(tr("35.1608 139.6138 68.2  or  X Y Z (m)"));
    paste_->setToolTip(tr("Latitude, longitude (decimal degrees) and height (m), or earth-centred X, Y, Z (m)"));
    form->addRow(BuddyLabel(tr("or &paste:"), paste_), paste_);
    pasteProblem_ = new QLabel;
    pasteProblem_->setObjectName(QStringLiteral("pasteProblem"));
    pasteProblem_->setWordWrap(true);
    pasteProblem_->setStyleSheet(QStringLiteral("color: #a00000"));
    pasteProblem_->hide();
    form->addRow(QString(), pasteProblem_);
    layout->addLayout(form);
    const DialogButtons buttons = AddOkCancel(this, layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(latitude_, longitude_);
    setTabOrder(longitude_, altitude_);
    setTabOrder(altitude_, paste_);
    setTabOrder(paste_, buttons.ok);
    setTabOrder(buttons.ok, buttons.cancel);
    latitude_->setFocus(Qt::OtherFocusReason);
    connect(paste_, &QLineEdit::textChanged, this, &PositionDialog::TakePasted);
}

void PositionDialog::TakePasted() {
    ApproximatePosition p;
    std::string reason;
    pasteUnreadable_ = !paste_->text().trimmed().isEmpty() &&
                       !ReadPastedPosition(paste_->text().toStdString(), p, reason);
    pasteProblem_->setText(tr("Cannot read the pasted position: %1.").arg(QString::fromStdString(reason)));
    pasteProblem_->setVisible(pasteUnreadable_);
    if (paste_->text().trimmed().isEmpty() || pasteUnreadable_) return;
    latitude_->setValue(p.latitude);
    longitude_->setValue(p.longitude);
    altitude_->setValue(p.height);
}

void PositionDialog::accept() {
    if (pasteUnreadable_) {
        paste_->setFocus(Qt::OtherFocusReason);
        return;
    }
    QDialog::accept();
}

ApproximatePosition PositionDialog::Position() const {
    ApproximatePosition p;
    p.latitude = latitude_->value();
    p.longitude = longitude_->value();
    p.height = altitude_->value();
    return p;
}
