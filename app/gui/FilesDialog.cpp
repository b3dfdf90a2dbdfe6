#include "app/gui/FilesDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/gui/AppIcon.h"

namespace {

const QStringList kRawPatterns = {"*.raw", "*.var", "*.txt", "*.bin", "*.dat", "*.d??"};

QPushButton* Button(const QString& text, const char* name) {
    auto* b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// The names of the paths in text (separated by separator), without their folders.
QString Names(const QString& text, const QString& separator) {
    QStringList names;
    for (const QString& path : text.split(separator, Qt::SkipEmptyParts)) names << QFileInfo(path).fileName();
    return names.join(separator);
}

}  // namespace

QStringList RawFilesOf(const QString& folder) {
    QDir dir(folder);
    QStringList files;
    for (const QFileInfo& f : dir.entryInfoList(kRawPatterns, QDir::Files, QDir::Name | QDir::IgnoreCase))
        files << f.filePath();
    return files;
}

FilesDialog::FilesDialog(Run run, const QString& startFolder, QWidget* parent)
    : QDialog(parent), run_(std::move(run)), folder_(startFolder) {
    setObjectName(QStringLiteral("files"));
    setWindowTitle(tr("Files"));
    setWindowIcon(AppIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("fileList"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QPushButton* addFiles = Button(tr("Add &Files..."), "addFiles");
    QPushButton* addFolder = Button(tr("Add F&older..."), "addFolder");
    QPushButton* clear = Button(tr("C&lear"), "clearFiles");
    oneRecording_ = new QCheckBox(QStringLiteral("one recording"));
    oneRecording_->setObjectName(QStringLiteral("oneRecording"));
    oneRecording_->setToolTip(tr("Join the files of one receiver into one observation and one navigation file"));
    auto* picks = new QVBoxLayout;
    picks->addWidget(addFiles);
    picks->addWidget(addFolder);
    picks->addWidget(clear);
    picks->addStretch(1);
    picks->addWidget(oneRecording_);
    auto* top = new QHBoxLayout;
    top->addWidget(list_, 1);
    top->addLayout(picks);

    results_ = new QTableWidget(0, 5);
    results_->setObjectName(QStringLiteral("results"));
    results_->setHorizontalHeaderLabels({tr("File"), tr("Status"), tr("Epochs"), tr("Outputs"), tr("Reason")});
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->setSelectionBehavior(QAbstractItemView::SelectRows);
    results_->verticalHeader()->hide();
    results_->horizontalHeader()->setStretchLastSection(true);
    results_->setWordWrap(false);
    results_->hide();
    total_ = new QLabel;
    total_->setObjectName(QStringLiteral("total"));

    convert_ = Button(tr("&Convert"), "convert");
    convert_->setDefault(true);
    QPushButton* close = Button(tr("Close"), "2");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(total_, 1);
    buttons->addWidget(convert_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(results_, 2);
    layout->addLayout(buttons);
    resize(860, 440);

    connect(addFiles, &QPushButton::clicked, this, &FilesDialog::PickFiles);
    connect(addFolder, &QPushButton::clicked, this, &FilesDialog::PickFolder);
    connect(clear, &QPushButton::clicked, this, &FilesDialog::Clear);
    connect(convert_, &QPushButton::clicked, this, &FilesDialog::Convert);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    UpdateButtons();
}

void FilesDialog::AddPaths(const QStringList& paths) {
    for (const QString& path : paths) {
        const QStringList files = QFileInfo(path).isDir() ? RawFilesOf(path) : QStringList{path};
        for (const QString& file : files)
            if (list_->findItems(file, Qt::MatchExactly).isEmpty()) list_->addItem(file);
    }
    UpdateButtons();
}

std::vector<std::string> FilesDialog::Files() const {
    std::vector<std::string> files;
    for (int i = 0; i < list_->count(); ++i) files.push_back(QFile::encodeName(list_->item(i)->text()).toStdString());
    return files;
}

void FilesDialog::PickFiles() {
    QFileDialog picker(this, tr("Raw Data Files"), folder_);
    picker.setObjectName(QStringLiteral("filesPicker"));
    picker.setFileMode(QFileDialog::ExistingFiles);
    picker.setNameFilters({tr("QERN Raw Data Files (%1)").arg(kRawPatterns.join(u' ')), tr("All Files (*)")});
    if (picker.exec() != QDialog::Accepted) return;
    folder_ = picker.directory().path();
    AddPaths(picker.selectedFiles());
}

void FilesDialog::PickFolder() {
    QFileDialog picker(this, tr("Folder of Raw Data Files"), folder_);
    picker.setObjectName(QStringLiteral("folderDialog"));
    picker.setFileMode(QFileDialog::Directory);
    picker.setOption(QFileDialog::ShowDirsOnly, true);
    if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty()) return;
    folder_ = picker.selectedFiles().first();
    AddPaths({folder_});
}

void FilesDialog::Clear() {
    list_->clear();
    results_->setRowCount(0);
    results_->hide();
    total_->clear();
    UpdateButtons();
}

void FilesDialog::UpdateButtons() { convert_->setEnabled(list_->count() > 0); }

void FilesDialog::Convert() {
    if (list_->count() == 0 || !run_) return;
    const std::vector<FileRunRow> rows = run_(Files(), oneRecording_->isChecked());
    if (!rows.empty()) ShowResults(rows);
}

void FilesDialog::ShowResults(const std::vector<FileRunRow>& rows) {
    results_->setRowCount(static_cast<int>(rows.size()));
    int converted = 0;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const FileRunRow& row = rows[static_cast<size_t>(r)];
        converted += row.status == "ok";
        const QString source = QFile::decodeName(QByteArray::fromStdString(row.source));
        const QString outputs = QFile::decodeName(QByteArray::fromStdString(row.outputs));
        const QString texts[5] = {Names(source, QStringLiteral(", ")), QString::fromStdString(row.status),
                                  QString::number(row.epochs), Names(outputs, QStringLiteral(" ")),
                                  QString::fromStdString(row.reason)};
        const QString tips[5] = {source, texts[1], texts[2], outputs, texts[4]};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setToolTip(tips[c]);
            if (c == 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            results_->setItem(r, c, item);
        }
    }
    results_->resizeColumnsToContents();
    results_->show();
    total_->setText(oneRecording_->isChecked()
                        ? (converted == 1 ? tr("The files were converted as one recording.")
                                          : tr("The files were not converted."))
                        : tr("%1 of %2 files converted").arg(converted).arg(rows.size()));
}
