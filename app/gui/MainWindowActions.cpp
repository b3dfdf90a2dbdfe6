#include "app/gui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QValidator>
#include <QVBoxLayout>

#include <algorithm>

#include "app/dialog/AsciiText.h"
#include "app/dialog/ControlIds.h"
#include "app/dialog/ConversionSummary.h"
#include "app/field/FieldFactory.h"
#include "app/gui/AboutDialog.h"
#include "app/gui/AdvancedDialog.h"
#include "app/gui/QualityWindow.h"
#include "app/gui/AppIcon.h"
#include "app/gui/DialogButtons.h"
#include "app/gui/FieldWidget.h"
#include "app/gui/FilesDialog.h"
#include "app/gui/HeaderDialog.h"
#include "app/gui/QualityCharts.h"
#include "app/gui/SourceInfoLine.h"
#include "convert/StringTable.h"
#include "platform/Version.h"

// The actions of the main window: its conversions, buttons, dropped files, the
// line of what the source holds and "Files...".

ConversionRunner MainWindow::Runner() {
    return [this](const ConversionRequest& request, ConversionState& state, ConversionUi& ui) {
        ui_.BeginConversion();
        const ConversionResult result = RunConversion(request, state, ui);
        ui_.EndConversion();
        if (result.success && !request.silent) {
            // The plots asked for are drawn before the message, so that it names every file written.
            RunReport report = MakeRunReport(request, result, true);
            if (request.qualityPlots && result.quality && result.qualitySeries) {
                ChartQualityPlotter plotter;
                std::string error;
                PlotRun(report, &plotter, error);
            }
            const QString folder = QFileInfo(QFile::decodeName(request.observationPath.c_str())).absolutePath();
            ui_.ShowSuccess(request.sourcePath, SuccessMessageLines(report), folder);
            if (result.quality && result.qualitySeries) {
                // The report of this conversion: its table and its charts.
                QFile report(QFile::decodeName((request.observationPath + ".qc").c_str()));
                const QString text = report.open(QIODevice::ReadOnly) ? QString::fromLatin1(report.readAll()) : QString();
                QualityWindow quality(*result.quality, *result.qualitySeries, text, this);
                quality.SetImagePrefix(QFile::decodeName((request.observationPath + ".qc").c_str()));
                quality.exec();
            }
        }
        return result;
    };
}

void MainWindow::Go() {
    if (busy_ || !dialog_) return;
    busy_ = true;
    dialog_->GoPressed();
    busy_ = false;
}

void MainWindow::OpenAdvanced() {
    if (!dialog_) return;
    AdvancedDialog advanced(dialog_->values, *profile_, this);
    if (advanced.exec() == QDialog::Accepted) dialog_->TakeAdvanced(advanced.Values());
}

void MainWindow::ShowHeader() {
    if (busy_ || !dialog_) return;
    busy_ = true;
    ui_.BeginConversion();
    const std::optional<std::string> header = dialog_->PreviewHeader();
    ui_.EndConversion();
    busy_ = false;
    if (!header) return;
    HeaderDialog preview(QString::fromLatin1(header->data(), static_cast<qsizetype>(header->size())), this);
    preview.exec();
}

void MainWindow::OpenAbout() {
    AboutDialog about(this);
    about.exec();
}

QString MainWindow::DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().first();
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) return {};
    return url.toLocalFile();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy_ && dialog_ && !DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (busy_ || !dialog_ || path.isEmpty()) return;
    event->acceptProposedAction();
    TakeDroppedFile(path);
}

void MainWindow::TakeDroppedFile(const QString& path) {
    chooser_.Preset(QFile::encodeName(path).toStdString());
    dialog_->BrowseSource();
    RefreshSourceInfo();
    activateWindow();
}

void MainWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RefreshSourceInfo();
}

void MainWindow::AttachSourceInfo() {
    // After the dialog's own handlers, connected before: they settle the source first.
    connect(browseSource_, &QPushButton::clicked, this, &MainWindow::RefreshSourceInfo);
    connect(source_, &QLineEdit::editingFinished, this, &MainWindow::RefreshSourceInfo);
    connect(format_, &QComboBox::activated, this, &MainWindow::RefreshSourceInfo);
    connect(recordedOn_, &FieldWidget::edited, this, &MainWindow::RefreshSourceInfo);
    connect(go_, &QPushButton::clicked, this, &MainWindow::RefreshSourceInfo);
    connect(files_, &QPushButton::clicked, this, &MainWindow::OpenFiles);
}

void MainWindow::RefreshSourceInfo() {
    if (!dialog_ || busy_) return;
    sourceInfo_->Follow(QFile::encodeName(source_->text().trimmed()).toStdString(), format_->currentIndex(),
                        controls_->Value(ControlId::kRecordedOn));
}

void MainWindow::TakeFilesRunner(FilesRunner runner) {
    filesRunner_ = std::move(runner);
    files_->setEnabled(static_cast<bool>(filesRunner_));
}

void MainWindow::OpenFiles() {
    if (busy_ || !dialog_ || !filesRunner_) return;
    FilesDialog* shown = nullptr;
    const auto run = [this, &shown](const std::vector<std::string>& files, bool oneRecording) {
        std::vector<FileRunRow> rows;
        if (!dialog_->TakeSettingsForFiles()) return rows;
        // The progress, Cancel and a splice's questions and messages over the list.
        WindowUi ui(shown);
        busy_ = true;
        ui.BeginConversion();
        rows = filesRunner_(files, oneRecording, *profile_, ui);
        ui.EndConversion();
        busy_ = false;
        return rows;
    };
    const QFileInfo source(source_->text().trimmed());
    FilesDialog dialog(run, source.dir().exists() ? source.dir().path() : QString(), this);
    shown = &dialog;
    dialog.exec();
}
