#include "app/gui/HeaderDialog.h"

#include <QDialogButtonBox>
#include <algorithm>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/gui/AppIcon.h"

HeaderDialog::HeaderDialog(const QString& header, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("headerPreview"));
    setWindowTitle(tr("Observation Header"));
    setWindowIcon(AppIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    text_ = new QPlainTextEdit;
    text_->setObjectName(QStringLiteral("headerText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QString lines = header;
    lines.remove(u'\r');
    if (lines.endsWith(u'\n')) lines.chop(1);
    text_->setPlainText(lines);
    // 80 columns and every line when the screen allows, else scroll bars.
    const QFontMetrics metrics(text_->font());
    const int width = metrics.horizontalAdvance(QString(82, u'0')) + text_->verticalScrollBar()->sizeHint().width();
    const int height = metrics.lineSpacing() * (static_cast<int>(lines.count(u'\n')) + 2);
    text_->setMinimumSize(width, std::min(height, 520));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
}

QString HeaderDialog::Text() const { return text_->toPlainText(); }
