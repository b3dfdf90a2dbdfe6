#include "app/gui/AdvancedDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialog/RunSettings.h"
#include "app/dialog/Settings.h"
#include "app/dialog/TxText.h"
#include "app/gui/AppIcon.h"
#include "app/gui/DialogButtons.h"
#include "convert/StringTable.h"

AdvancedDialog::AdvancedDialog(const MainDialogValues& values, Profile& profile, QWidget* parent)
    : QDialog(parent), values_(values), profile_(profile) {
    setObjectName(QStringLiteral("130"));
    setWindowTitle(tr("Advanced Options"));
    setWindowIcon(AppIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    CreateExtrapolationControls();
    CreateOptionControls();
    auto* save = new QPushButton(tr("Save As &Defaults"));
    save->setObjectName(QStringLiteral("1035"));
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &AdvancedDialog::SaveAsDefaults);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Extrapolate satellite-dated raw data transmited at satellite time Ts")));
    layout->addLayout(BuildExtrapolationGrid());
    layout->addSpacing(8);
    layout->addWidget(smoothedCodes_);
    layout->addWidget(logFile_);
    layout->addWidget(quality_);
    layout->addLayout(BuildVersionRow());
    layout->addWidget(BuildRunSettingsGroup());
    layout->addWidget(BuildCompressionGroup());
    layout->addSpacing(8);
    const DialogButtons buttons = AddOkCancel(this, layout, save);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetTabOrder(save, buttons);
    ShowValues();
}

void AdvancedDialog::CreateExtrapolationControls() {
    instantaneous_ = new QRadioButton(tr("Using &instantaneous doppler measurements"));
    instantaneous_->setObjectName(QStringLiteral("1030"));
    smoothed_ = new QRadioButton(tr("Using &smoothed doppler measurements"));
    smoothed_->setObjectName(QStringLiteral("1032"));
    auto* modes = new QButtonGroup(this);
    modes->addButton(instantaneous_, 0);
    modes->addButton(smoothed_, 1);
    tx_ = new QComboBox;
    tx_->setObjectName(QStringLiteral("1031"));
    tx_->setEditable(true);
    tx_->setInsertPolicy(QComboBox::NoInsert);
    tx_->setCompleter(nullptr);
    tx_->addItems({QStringLiteral("0"), QStringLiteral("75"), QStringLiteral("100")});
    tx_->setMinimumContentsLength(6);
    tx_->lineEdit()->setAcceptDrops(false);
}

void AdvancedDialog::CreateOptionControls() {
    smoothedCodes_ = new QCheckBox(tr("Compute positions using smoothed &C/A code pseudoranges"));
    smoothedCodes_->setObjectName(QStringLiteral("1033"));
    logFile_ = new QCheckBox(tr("Write a &log file with all intermediate results"));
    logFile_->setObjectName(QStringLiteral("1028"));
    quality_ = new QCheckBox(tr("&Quality report (completeness, slips, multipath, position scatter)"));
    quality_->setObjectName(QStringLiteral("qualityReport"));
    rinexVersion_ = new QComboBox;
    rinexVersion_->setObjectName(QStringLiteral("rinexVersion"));
    rinexVersion_->addItems({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
}

QGridLayout* AdvancedDialog::BuildExtrapolationGrid() {
    auto* extrapolation = new QGridLayout;
    extrapolation->setContentsMargins(16, 0, 0, 0);
    extrapolation->addWidget(instantaneous_, 0, 0, 1, 4);
    extrapolation->addWidget(smoothed_, 1, 0, 1, 4);
    extrapolation->addWidget(new QLabel(tr("Upto reception time : Tr = Ts + Tx")), 2, 0, 1, 4);
    extrapolation->addWidget(BuddyLabel(tr("&Where Tx = "), tx_), 3, 0);
    extrapolation->addWidget(tx_, 3, 1);
    extrapolation->addWidget(new QLabel(tr("ms")), 3, 2);
    extrapolation->setColumnStretch(3, 1);
    return extrapolation;
}

QHBoxLayout* AdvancedDialog::BuildVersionRow() {
    auto* version = new QHBoxLayout;
    version->addWidget(BuddyLabel(tr("&RINEX version :"), rinexVersion_));
    version->addWidget(rinexVersion_);
    version->addStretch();
    return version;
}

QGroupBox* AdvancedDialog::BuildCompressionGroup() {
    hatanaka_ = new QCheckBox(tr("Compact RINEX observation file (&Hatanaka)"));
    hatanaka_->setObjectName(QStringLiteral("hatanaka"));
    gzip_ = new QCheckBox(tr("Gzip every RINEX file (.g&z)"));
    gzip_->setObjectName(QStringLiteral("gzip"));
    auto* group = new QGroupBox(tr("Compression"));
    auto* column = new QVBoxLayout(group);
    column->addWidget(hatanaka_);
    column->addWidget(gzip_);
    return group;
}

void AdvancedDialog::SetTabOrder(QPushButton* save, const DialogButtons& buttons) {
    setTabOrder(instantaneous_, smoothed_);
    setTabOrder(smoothed_, tx_);
    setTabOrder(tx_, smoothedCodes_);
    setTabOrder(smoothedCodes_, logFile_);
    setTabOrder(logFile_, quality_);
    setTabOrder(quality_, rinexVersion_);
    setTabOrder(rinexVersion_, from_);
    setTabOrder(from_, to_);
    setTabOrder(to_, interval_);
    setTabOrder(interval_, country_);
    setTabOrder(country_, hatanaka_);
    setTabOrder(hatanaka_, gzip_);
    setTabOrder(gzip_, save);
    setTabOrder(save, buttons.ok);
    setTabOrder(buttons.ok, buttons.cancel);
}

void AdvancedDialog::ShowValues() {
    if (values_.dopplerMode == 0) instantaneous_->setChecked(true);
    if (values_.dopplerMode == 1) smoothed_->setChecked(true);
    const QString tx = QString::fromStdString(TxText(values_.tx));
    tx_->setCurrentIndex(tx_->findText(tx));
    tx_->setEditText(tx);
    smoothedCodes_->setChecked(values_.smoothedPseudoranges);
    logFile_->setChecked(values_.logFile);
    quality_->setChecked(values_.qualityReport);
    rinexVersion_->setCurrentIndex(values_.rinexVersion == 3 || values_.rinexVersion == 4 ? values_.rinexVersion - 2 : 0);
    const RunSettingsText run = RunSettingsTextOf(values_);
    from_->setText(QString::fromStdString(run.from));
    to_->setText(QString::fromStdString(run.to));
    interval_->setText(QString::fromStdString(run.interval));
    country_->setText(QString::fromStdString(run.country));
    hatanaka_->setChecked(values_.hatanaka);
    gzip_->setChecked(values_.gzip);
}

bool AdvancedDialog::ReadControls() {
    double tx = 0;
    const bool integer = ParseTxText(tx_->currentText().toStdString(), tx);
    if (!integer || !TxInRange(tx)) {
        const QString text = integer ? QString::fromStdString(TxRangeMessage())
                                     : QString::fromLatin1(LoadString(kStrEnterInteger).data());
        QMessageBox box(QMessageBox::Warning, Caption(), text, QMessageBox::Ok, this);
        box.exec();
        tx_->setFocus(Qt::OtherFocusReason);
        tx_->lineEdit()->selectAll();
        return false;
    }
    values_.tx = tx;
    values_.dopplerMode = instantaneous_->isChecked() ? 0 : (smoothed_->isChecked() ? 1 : -1);
    values_.smoothedPseudoranges = smoothedCodes_->isChecked();
    values_.logFile = logFile_->isChecked();
    values_.qualityReport = quality_->isChecked();
    values_.rinexVersion = rinexVersion_->currentIndex() + 2;  // the items are 2, 3 and 4
    values_.hatanaka = hatanaka_->isChecked();
    values_.gzip = gzip_->isChecked();
    return ReadRunSettingsControls();
}

QGroupBox* AdvancedDialog::BuildRunSettingsGroup() {
    const auto edit = [](const char* name, int characters, const QString& placeholder) {
        auto* e = new QLineEdit;
        e->setObjectName(QString::fromLatin1(name));
        e->setPlaceholderText(placeholder);
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QString(characters, u'0')) + 16);
        e->setAcceptDrops(false);
        return e;
    };
    from_ = edit("from", 21, tr("first epoch"));
    to_ = edit("to", 21, tr("last epoch"));
    interval_ = edit("interval", 8, tr("every epoch"));
    country_ = edit("country", 4, QString());
    country_->setMaxLength(3);
    auto* group = new QGroupBox(tr("Run settings (GPS time \"YYYY-MM-DD hh:mm:ss\")"));
    group->setObjectName(QStringLiteral("runSettings"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(BuddyLabel(tr("&From :"), from_), 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(BuddyLabel(tr("T&o :"), to_), 0, 2);
    grid->addWidget(to_, 0, 3);
    grid->addWidget(BuddyLabel(tr("I&nterval :"), interval_), 1, 0);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(interval_);
    intervalRow->addWidget(new QLabel(tr("s")));
    grid->addLayout(intervalRow, 1, 1);
    grid->addWidget(BuddyLabel(tr("Co&untry code :"), country_), 1, 2);
    grid->addWidget(country_, 1, 3, Qt::AlignLeft);
    return group;
}

bool AdvancedDialog::ReadRunSettingsControls() {
    const RunSettingsText text{from_->text().toStdString(), to_->text().toStdString(),
                               interval_->text().toStdString(), country_->text().toStdString()};
    const std::optional<RunSettingRefusal> refusal = ReadRunSettings(text, values_);
    if (!refusal) return true;
    QLineEdit* const edits[] = {from_, to_, interval_, country_};
    QLineEdit* edit = edits[static_cast<int>(refusal->field)];
    QMessageBox box(QMessageBox::Warning, Caption(), QString::fromStdString(refusal->message), QMessageBox::Ok, this);
    box.exec();
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return false;
}

void AdvancedDialog::accept() {
    if (ReadControls()) QDialog::accept();
}

void AdvancedDialog::SaveAsDefaults() {
    if (!ReadControls()) return;
    if (!StoreAdvanced(values_, profile_))
        QMessageBox::warning(this, Caption(),
                             tr("The defaults could not be stored in %1.")
                                 .arg(profile_.Path().empty() ? tr("a profile (no configuration folder)")
                                                              : QString::fromStdString(profile_.Path())));
}
