#include "app/gui/AboutDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/gui/AppIcon.h"
#include "platform/Version.h"

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("100"));
    setWindowTitle(tr("About QERN to RINEX"));
    setWindowIcon(AppIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* icon = new QToolButton;
    icon->setObjectName(QStringLiteral("1008"));
    const int side = 2 * style()->pixelMetric(QStyle::PM_LargeIconSize);
    icon->setIcon(AppIcon());
    icon->setIconSize(QSize(side, side));
    icon->setAutoRaise(true);
    icon->setFocusPolicy(Qt::NoFocus);
    auto* name = new QLabel(tr("QERN to RINEX  Version %1").arg(QString::fromLatin1(kProgramVersion)));
    name->setObjectName(QStringLiteral("1001"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSize(10);
    name->setFont(bold);
    auto* ok = new QPushButton(tr("OK"));
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(8);
    top->addWidget(name);
    top->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
