#include "app/gui/ProgressDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/AppIcon.h"

ProgressDialog::ProgressDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("103"));
    setWindowTitle(Caption());
    setWindowIcon(AppIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("1005"));
    status_->setMinimumWidth(status_->fontMetrics().averageCharWidth() * 44);
    bar_ = new QProgressBar;
    bar_->setObjectName(QStringLiteral("1003"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    auto* cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &ProgressDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ProgressDialog::SetStatus(const QString& text) { status_->setText(text); }

void ProgressDialog::SetPosition(int percent) { bar_->setValue(percent); }

int ProgressDialog::Position() const { return bar_->value(); }

bool ProgressDialog::TakeCancel() {
    const bool cancel = cancel_;
    cancel_ = false;
    return cancel;
}

void ProgressDialog::reject() { cancel_ = true; }
