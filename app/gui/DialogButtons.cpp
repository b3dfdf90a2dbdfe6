#include "app/gui/DialogButtons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLabel>

DialogButtons AddOkCancel(QDialog* dialog, QBoxLayout* layout, QWidget* leading) {
    auto* ok = new QPushButton(QDialog::tr("OK"));
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QDialog::tr("Cancel"));
    cancel->setObjectName(QStringLiteral("2"));
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    if (leading) row->addWidget(leading);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    return {ok, cancel};
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}
