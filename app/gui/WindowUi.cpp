#include "app/gui/WindowUi.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>
#include <algorithm>
#include <QGridLayout>
#include <QPushButton>

#include "app/gui/AppIcon.h"
#include "app/gui/ProgressDialog.h"
#include "app/gui/QuestionDialogs.h"
#include "convert/StringTable.h"

QString WrapLines(const std::vector<std::string>& lines, int width) {
    QStringList out;
    for (const std::string& line : lines) {
        const QString text = QString::fromStdString(line);
        if (text.size() <= width) {
            out << text;
            continue;
        }
        // Pieces ending at ", ", or at the first ": " of a line without commas.
        QStringList pieces;
        if (text.contains(QStringLiteral(", "))) {
            pieces = text.split(QStringLiteral(", "));
            for (qsizetype i = 0; i + 1 < pieces.size(); ++i) pieces[i] += u',';
        } else {
            const qsizetype colon = text.indexOf(QStringLiteral(": "));
            pieces = colon < 0 ? QStringList{text} : QStringList{text.left(colon + 1), text.mid(colon + 2)};
        }
        QString current;
        bool started = false;  // current holds a piece
        for (const QString& piece : pieces) {
            if (started && current.size() + 1 + piece.size() > width) {
                out << current;
                current = QStringLiteral("  ");
                started = false;
            }
            if (started) current += u' ';
            current += piece;
            started = true;
        }
        out << current;
    }
    return out.join(u'\n');
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop: return QMessageBox::Critical;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::Exclamation: return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

WindowUi::~WindowUi() { delete progress_; }

void WindowUi::BeginConversion() {
    converting_ = true;
    percent_ = 0;
    delete progress_;
    progress_ = new ProgressDialog(owner_);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->show();
    Dispatch(true);
}

void WindowUi::EndConversion() {
    converting_ = false;
    delete progress_;
    progress_ = nullptr;
}

void WindowUi::Dispatch(bool force) {
    if (!progress_) return;
    if (!force && sinceDispatch_.isValid() && sinceDispatch_.elapsed() < kDispatchInterval) return;
    progress_->SetPosition(static_cast<int>(percent_));
    QCoreApplication::processEvents();
    ++dispatches_;
    sinceDispatch_.start();
}

void WindowUi::SetStatus(const std::string& text) {
    if (!progress_) return;
    progress_->SetStatus(QString::fromStdString(text));
    Dispatch(true);
}

void WindowUi::SetPosition(unsigned percent) {
    percent_ = percent > 100 ? 100 : percent;
    Dispatch(false);
}

bool WindowUi::CheckCancel() {
    if (!progress_) return false;
    Dispatch(false);
    return progress_->TakeCancel();
}

QWidget* WindowUi::MessageOwner() const {
    if (progress_) return progress_;
    return owner_;
}

bool WindowUi::ShowBox(QMessageBox::Icon icon, const QString& text, const QString& detailText, bool question,
                       const QString& action, bool* chosen) {
    QMessageBox box(icon, Caption(), text, question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    MessageOwner());
    box.setObjectName(QStringLiteral("message"));
    box.setTextFormat(Qt::PlainText);
    if (!detailText.isEmpty()) {
        box.setInformativeText(detailText);
        // Wide enough for the longest line, which the box would otherwise wrap again.
        if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
            int width = 0;
            for (const QString& line : detailText.split(u'\n'))
                width = std::max(width, box.fontMetrics().horizontalAdvance(line));
            width = std::min(width + box.iconPixmap().width() + 48, 960);
            grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                          grid->columnCount());
        }
    }
    if (question) box.setDefaultButton(QMessageBox::Yes);
    QPushButton* actionButton = action.isEmpty() ? nullptr : box.addButton(action, QMessageBox::ActionRole);
    if (actionButton) actionButton->setObjectName(QStringLiteral("action"));
    const int answer = box.exec();
    if (chosen) *chosen = actionButton && box.clickedButton() == actionButton;
    return answer != QMessageBox::No;
}

bool WindowUi::ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args) {
    // The success message waits for the summary of the outputs.
    if (converting_ && id == kStrConverted) return true;
    const std::string more = details ? details(id) : std::string();
    return ShowBox(BoxIcon(icon), QString::fromStdString(FormatString(id, args)), QString::fromStdString(more),
                   icon == MessageIcon::Question);
}

void WindowUi::ShowSuccess(const std::string& sourcePath, const std::vector<std::string>& lines,
                           const QString& folder) {
    bool open = false;
    ShowBox(QMessageBox::Information, QString::fromStdString(FormatString(kStrConverted, {sourcePath})),
            WrapLines(lines, kSummaryWidth), false, folder.isEmpty() ? QString() : QObject::tr("Open Folder"), &open);
    if (!open) return;
    if (openFolder)
        openFolder(folder);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

Answer WindowUi::AskRawKind(RecordKind& kind) {
    RawKindDialog dialog(RawKindIndex(kind), MessageOwner());
    if (dialog.exec() != QDialog::Accepted) return Answer::Cancelled;
    kind = RawKindOfIndex(dialog.Choice());
    return Answer::Person;
}

Answer WindowUi::AskPosition(ApproximatePosition& position) {
    PositionDialog dialog(position, MessageOwner());
    if (dialog.exec() != QDialog::Accepted) return Answer::Cancelled;
    position = dialog.Position();
    return Answer::Person;
}
