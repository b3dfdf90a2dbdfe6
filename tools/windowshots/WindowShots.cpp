// window_shots OUTDIR: one PNG per window of the program, filled as a surveyor
// would see it: the main window (with its antenna group), the main window under
// the progress window, Advanced Options (with run settings), the header preview,
// the position and raw-data kind questions, the folder chooser, the file chooser,
// About, the success and validation messages, the line of what a raw file holds,
// "Files..." before and after converting, and the Quality window: its report,
// its table, every chart at 1024 x 768 and two zoomed.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QDir>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTableWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numbers>

#include "app/dialog/ControlIds.h"
#include "app/dialog/MainDialog.h"
#include "app/dialog/RunSettings.h"
#include "app/gui/AboutDialog.h"
#include "app/gui/AdvancedDialog.h"
#include "app/gui/FilesDialog.h"
#include "app/gui/HeaderDialog.h"
#include "app/gui/SourceInfoLine.h"
#include "app/gui/MainWindow.h"
#include "app/gui/ProgressDialog.h"
#include "app/gui/QuestionDialogs.h"
#include "app/gui/QtWindowFactory.h"
#include "app/gui/QualityCharts.h"
#include "app/gui/QualityWindow.h"
#include "app/program/ConverterApp.h"
#include "convert/ConversionDriver.h"
#include "convert/HeadlessUi.h"
#include "tools/rawsim/Simulation.h"
#include "convert/StringTable.h"
#include "platform/Profile.h"

namespace {

QDir out;
int failures = 0;

void Pause(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void Save(const QPixmap& pixmap, const QString& name) {
    const QString path = out.filePath(name + QStringLiteral(".png"));
    if (pixmap.isNull() || !pixmap.save(path)) {
        std::fprintf(stderr, "window_shots: cannot write %s\n", qPrintable(path));
        ++failures;
    } else {
        std::printf("%s\n", qPrintable(path));
    }
}

// The window as drawn.
void Shoot(QWidget* w, const QString& name) {
    w->activateWindow();
    Pause(150);
    Save(w->grab(), name);
}

// The window with the dialog above it where it stands, framed and shadowed (the
// X server of the screenshots has no window manager to draw frames).
void ShootOver(QWidget* window, QWidget* dialog, const QString& name) {
    Pause(150);
    QPixmap picture = window->grab();
    const QPixmap above = dialog->grab();
    QPoint at = dialog->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0));
    at.setX(std::clamp(at.x(), 8, std::max(8, picture.width() - above.width() - 8)));
    at.setY(std::clamp(at.y(), 8, std::max(8, picture.height() - above.height() - 8)));
    QPainter p(&picture);
    for (int i = 6; i > 0; --i)
        p.fillRect(QRect(at, above.size()).adjusted(-i + 3, -i + 3, i + 3, i + 3), QColor(0, 0, 0, 14));
    p.drawPixmap(at, above);
    p.setPen(QColor(90, 90, 90));
    p.drawRect(QRect(at, above.size()).adjusted(-1, -1, 0, 0));
    p.end();
    Save(picture, name);
}

// Opens a modal window with open (which returns when it closes) and shoots it
// once it is up, then closes it with reject.
void ShootModal(const QString& name, const std::function<void()>& open) {
    QTimer::singleShot(0, [name] {
        QElapsedTimer t;
        t.start();
        while (!QApplication::activeModalWidget() && t.elapsed() < 3000) Pause(20);
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            std::fprintf(stderr, "window_shots: %s did not open\n", qPrintable(name));
            ++failures;
            return;
        }
        Shoot(modal, name);
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    });
    open();
}

// A left-button drag over w from one point to another, as the mouse makes it.
void Drag(QWidget* w, QPoint from, QPoint to) {
    const auto send = [w](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step) send(QEvent::MouseMove, from + (to - from) * step / 4, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    Pause(100);
}

void Put(IDialogControls& c, int id, const char* text) { c.SetText(id, text); }

}  // namespace

int main(int argc, char** argv) {
    auto application = StartApplication(argc, argv);
    out.setPath(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QTemporaryDir folder;
    const std::string data = folder.path().toStdString();
    QDir(folder.path()).mkpath(QStringLiteral("RAW"));

    // A profile with histories, as after a few conversions.
    Profile profile(data + "/qern2rinex.ini");
    profile.SetString("Defaults", "Observer", "J. SMITH");
    profile.SetString("Defaults", "Agency", "NATIONAL GEODETIC SURVEY");
    profile.SetString("Defaults", "RecNum", "QX4-00817");
    profile.SetString("Defaults", "RecType", "QERN QX4");
    profile.SetString("Defaults", "RecVer", "3.12");
    profile.SetString("Defaults", "AntNum", "A-2231");
    profile.SetString("Defaults", "AntType", "QRN702GG        NONE");
    profile.SetString("Defaults", "AntHeight", "1.5430");
    profile.SetString("Defaults", "AntNorth", "-0.0050");
    profile.SetString("MarkerNames", "History00", "ALGO");
    profile.SetString("MarkerNames", "History01", "BRUX");
    profile.SetInt("Advanced", "Tx", 75);
    profile.Save();

    MainWindow window;
    DialogEnvironment environment;
    environment.dataDirectory = data + "/RAW";
    environment.today = 16140;  // 15 March 2024
    CMainDialog dialog(environment, window.Controls(), window.Ui(), window.Chooser(), profile, window.Runner());
    dialog.InitMainDialog();
    window.Attach(dialog, profile);
    window.TakeFilesRunner(FilesRunnerOf(data + "/RAW", environment.today));
    IDialogControls& c = window.Controls();
    Put(c, ControlId::kSourcePath, "/home/surveyor/campaign-2024/raw/algo0720.bin");
    Put(c, ControlId::kMarkerName, "ALGO");
    c.SetSelection(ControlId::kFormat, 1);
    Put(c, ControlId::kMarkerNumber, "40104M002");
    Put(c, ControlId::kObservationPath, "/home/surveyor/campaign-2024/rinex/ALGO0720.24O");
    Put(c, ControlId::kNavigationPath, "/home/surveyor/campaign-2024/rinex/ALGO0720.24N");
    window.resize(window.sizeHint());
    window.move(40, 40);
    window.Show();
    Shoot(&window, QStringLiteral("main-window"));

    // Automatic naming on: the output edits disabled, the file index shown.
    c.SetChecked(ControlId::kAutoNaming, true);
    dialog.ToggleAutoNaming();
    Shoot(&window, QStringLiteral("main-window-automatic-naming"));
    c.SetChecked(ControlId::kAutoNaming, false);
    dialog.ToggleAutoNaming();
    Put(c, ControlId::kObservationPath, "/home/surveyor/campaign-2024/rinex/ALGO0720.24O");
    Put(c, ControlId::kNavigationPath, "/home/surveyor/campaign-2024/rinex/ALGO0720.24N");

    // A raw file typed in: the line under it says what the file holds.
    {
        const std::string sample = data + "/RAW/ALGO0380.bin";
        QFile::copy(QStringLiteral(QERN_SAMPLE), QString::fromStdString(sample));
        auto* source = window.findChild<QLineEdit*>(QString::number(ControlId::kSourcePath));
        source->setText(QString::fromStdString(sample));
        emit source->editingFinished();
        auto* line = window.findChild<SourceInfoLine*>();
        QElapsedTimer t;
        t.start();
        while (line->Scanning() && t.elapsed() < 5000) Pause(20);
        Shoot(&window, QStringLiteral("main-window-file-information"));
        Put(c, ControlId::kSourcePath, "/home/surveyor/campaign-2024/raw/algo0720.bin");
        Put(c, ControlId::kObservationPath, "/home/surveyor/campaign-2024/rinex/ALGO0720.24O");
        Put(c, ControlId::kNavigationPath, "/home/surveyor/campaign-2024/rinex/ALGO0720.24N");
    }

    // "Files...": three raw files (one unreadable), then the table of results.
    {
        for (const char* name : {"/RAW/BRUX0380.bin", "/RAW/WTZR0380.bin"})
            QFile::copy(QStringLiteral(QERN_SAMPLE), QString::fromStdString(data + name));
        QFile junk(QString::fromStdString(data + "/RAW/junk.bin"));
        if (junk.open(QIODevice::WriteOnly)) junk.write("\x01\x02\x03");
        junk.close();
        const FilesRunner runner = FilesRunnerOf(data + "/RAW", environment.today);
        HeadlessUi quiet(nullptr);
        FilesDialog files([&](const std::vector<std::string>& paths, bool oneRecording) {
            return runner(paths, oneRecording, profile, quiet);
        }, QString::fromStdString(data + "/RAW"), &window);
        files.AddPaths({QString::fromStdString(data + "/RAW")});
        files.show();
        Shoot(&files, QStringLiteral("files"));
        files.Convert();
        Shoot(&files, QStringLiteral("files-results"));
        files.hide();
    }

    // The progress window over the main window.
    WindowUi& ui = window.WindowSide();
    ui.BeginConversion();
    ui.SetStatus(std::string(LoadString(kStrWritingObservation)));
    ui.Progress()->SetPosition(42);
    ShootOver(&window, ui.Progress(), QStringLiteral("progress-window"));
    Shoot(ui.Progress(), QStringLiteral("progress-dialog"));
    ui.EndConversion();

    // Advanced Options with a time window, an interval and a country code.
    MainDialogValues runSettings = dialog.values;
    ParseDateTime("2024-03-12 06:00:00", runSettings.from.emplace());
    ParseDateTime("2024-03-12 18:00:00", runSettings.to.emplace());
    runSettings.interval = 30;
    runSettings.country = "CAN";
    AdvancedDialog advanced(runSettings, profile, &window);
    advanced.show();
    Shoot(&advanced, QStringLiteral("advanced-options"));
    advanced.hide();
    // Taken with OK: the main window's summary shows the time window and interval.
    const MainDialogValues before = dialog.values;
    dialog.TakeAdvanced(runSettings);
    Shoot(&window, QStringLiteral("main-window-run-settings"));
    dialog.TakeAdvanced(before);

    ApproximatePosition position;
    position.latitude = 45.9558 * std::numbers::pi / 180;
    position.longitude = -78.0714 * std::numbers::pi / 180;
    position.height = 201.9;
    PositionDialog positionDialog(position, &window);
    positionDialog.show();
    Shoot(&positionDialog, QStringLiteral("position-question"));
    // A pasted text that does not read: the reason under the line.
    if (auto* paste = positionDialog.findChild<QLineEdit*>(QStringLiteral("paste"))) {
        paste->setText(QStringLiteral("35.1608N 139.6138E"));
        Shoot(&positionDialog, QStringLiteral("position-question-paste-refused"));
        paste->clear();
    }
    positionDialog.hide();

    RawKindDialog rawKind(1, &window);
    rawKind.show();
    Shoot(&rawKind, QStringLiteral("raw-kind-question"));
    rawKind.hide();

    AboutDialog about(&window);
    about.show();
    Shoot(&about, QStringLiteral("about"));
    about.hide();

    ShootModal(QStringLiteral("success-message"), [&] {
        ui.ShowSuccess("/home/surveyor/campaign-2024/raw/algo0720.bin",
                       {"Observation file: /home/surveyor/campaign-2024/rinex/ALGO0720.24O",
                        "Navigation file: /home/surveyor/campaign-2024/rinex/ALGO0720.24N",
                        "Log files: /home/surveyor/campaign-2024/rinex/ALGO0720.24O.log, "
                        "/home/surveyor/campaign-2024/rinex/ALGO0720.24O.pos",
                        "Quality report: /home/surveyor/campaign-2024/rinex/ALGO0720.24O.qc",
                        "Plot: /home/surveyor/campaign-2024/rinex/ALGO0720.24O.qc.sky.png",
                        "Plot: /home/surveyor/campaign-2024/rinex/ALGO0720.24O.qc.cn0.png",
                        "2880 epochs, 11 satellites, 2024-03-12 00:00:00.0000000 to 2024-03-12 23:59:30.0000000 GPS, "
                        "position latitude 45.95580000, longitude -78.07140000, height 201.900 m"},
                       QStringLiteral("/home/surveyor/campaign-2024/rinex"));
    });
    // "Header...": the header of the test sample as it would be written.
    {
        Put(c, ControlId::kSourcePath, QERN_SAMPLE);
        c.SetSelection(ControlId::kFormat, 1);
        const std::optional<std::string> header = dialog.PreviewHeader();
        if (header) {
            HeaderDialog preview(QString::fromStdString(*header), &window);
            preview.show();
            Shoot(&preview, QStringLiteral("header-preview"));
            preview.hide();
        } else {
            std::fprintf(stderr, "window_shots: no header preview of the sample\n");
            ++failures;
        }
    }
    ShootModal(QStringLiteral("validation-message"), [&] {
        Put(c, ControlId::kSourcePath, "/home/surveyor/campaign-2024/raw/missing.bin");
        dialog.GoPressed();
    });
    ShootModal(QStringLiteral("folder-chooser"), [&] {
        std::string folderPath = data;
        window.Chooser().ChooseDirectory(folderPath);
    });
    ShootModal(QStringLiteral("file-chooser"), [&] {
        std::string path = data + "/RAW/*.*";
        window.Chooser().ChooseFile(FileDialogMode::Open, path,
                                    {{"QERN ASCII Files (*.raw; *.var; *.txt)", "*.raw;*.var;*.txt"},
                                     {"QERN Binary Files (*.bin; *.dat; *.dXX)", "*.bin;*.dat;*.d??"}},
                                    2);
    });
    // The Quality window of a conversion of the test sample with the report on.
    {
        const QTemporaryDir scratch;
        ConversionRequest request;
        request.sourcePath = QERN_SAMPLE;
        request.formatIndex = kRawBinary;
        request.recordingDate = NominalStart().ToDays();
        request.observationPath = scratch.filePath(QStringLiteral("ALGO0380.24O")).toStdString();
        request.navigationPath = scratch.filePath(QStringLiteral("ALGO0380.24N")).toStdString();
        request.quality = true;
        request.silent = true;
        ConversionState state;
        HeadlessUi quiet(nullptr);
        const ConversionResult result = RunConversion(request, state, quiet);
        if (result.quality && result.qualitySeries) {
            QFile report(QString::fromStdString(request.observationPath + ".qc"));
            report.open(QIODevice::ReadOnly);
            QualityWindow quality(*result.quality, *result.qualitySeries, QString::fromLatin1(report.readAll()), &window);
            quality.show();
            Shoot(&quality, QStringLiteral("quality-report"));
            // The table of the satellites, sorted by MP1 RMS, highest first.
            auto* pages = quality.findChild<QTabWidget*>(QStringLiteral("qualityPages"));
            if (auto* table = quality.findChild<QTableWidget*>(QStringLiteral("satelliteTable"))) {
                pages->setCurrentWidget(table);
                table->sortByColumn(8, Qt::DescendingOrder);
                Shoot(&quality, QStringLiteral("quality-table"));
                table->sortByColumn(0, Qt::AscendingOrder);
            }
            // Every chart page with the window as large as a 1024 x 768 screen.
            quality.resize(1024, 768);
            for (int page = 0; page < pages->count(); ++page) {
                const QString name = pages->widget(page)->objectName();
                if (!name.startsWith(QStringLiteral("page-"))) continue;
                pages->setCurrentIndex(page);
                Shoot(&quality, QStringLiteral("quality-") + name.mid(5));
            }
            // Zoomed with a rubber band: the scatter (keeping equal scales) and the
            // multipath, then the scatter at the size the window opens with.
            for (const char* name : {"position-scatter", "multipath"}) {
                auto* view = quality.findChild<QualityChartView*>(QStringLiteral("chart-") + name);
                if (!view) continue;
                pages->setCurrentWidget(view->parentWidget());
                Pause(100);
                const QRect area = view->chart()->plotArea().toRect();
                Drag(view->viewport(), area.center() - QPoint(area.width() / 10, area.height() / 10),
                     area.center() + QPoint(area.width() / 6, area.height() / 12));
                Shoot(&quality, QStringLiteral("quality-%1-zoomed").arg(name));
                view->ResetZoom();
            }
            quality.resize(QualityWindow::kWidth, QualityWindow::kHeight);
            Shoot(&quality, QStringLiteral("quality-position-scatter-as-opened"));
            quality.hide();
            // The --qc-plots files of the same report.
            ChartQualityPlotter plotter;
            std::string error;
            for (const std::string& png : plotter.WritePlots(*result.quality, *result.qualitySeries,
                                                             out.filePath(QStringLiteral("qc-plot")).toStdString(), error))
                std::printf("%s\n", png.c_str());
        } else {
            std::fprintf(stderr, "window_shots: the sample's conversion failed\n");
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
