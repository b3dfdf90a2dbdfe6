// The line under the source, and "Files...": many raw files converted from the
// window as --batch and --splice convert them, with Cancel.
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "app/dialog/ControlIds.h"
#include "app/dialog/SourceSummary.h"
#include "app/gui/FilesDialog.h"
#include "app/gui/SourceInfoLine.h"
#include "app/program/ConverterApp.h"
#include "tests/app/gui/GuiTestSupport.h"
#include "tools/rawsim/Simulation.h"

namespace {

// A receiver-dated binary recording at 1 s from minutes after the simulation's
// start, for the given minutes; its path.
std::string Recording(const QString& path, double fromMinute, double minutes) {
    SynthRequest request;
    request.synth.start = NominalStart().AddSeconds(fromMinute * 60);
    request.synth.duration = minutes * 60;
    request.synth.events = true;
    SimulationOutput output;
    output.rawPath = path.toStdString();
    SynthSummary summary;
    std::string error;
    if (!RunSynth(request, output, summary, error)) qWarning("%s", error.c_str());
    return output.rawPath;
}

// The files of folder with their bytes.
QMap<QString, QByteArray> Contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile f(folder + u'/' + name);
        files[name] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    return files;
}

// The texts of the results table, a row a line, cells separated by "|".
QStringList Rows(const QTableWidget* table) {
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
        rows << cells.join(u'|');
    }
    return rows;
}

// "Files..." in s's window: adds files, checks "one recording" as asked,
// Convert, then Close; the questions keep their preselected answers, message
// boxes are read and closed, the progress window is cancelled when asked.
QStringList RunFiles(WindowSetup& s, const QStringList& files, bool oneRecording, bool cancel,
                     QStringList* messages = nullptr) {
    QStringList rows;
    ModalResponder person([&](QWidget* w) {
        if (auto* dialog = qobject_cast<FilesDialog*>(w)) {
            dialog->AddPaths(files);
            dialog->findChild<QCheckBox*>(QStringLiteral("oneRecording"))->setChecked(oneRecording);
            dialog->findChild<QPushButton*>(QStringLiteral("convert"))->click();
            rows = Rows(dialog->findChild<QTableWidget*>(QStringLiteral("results")));
            Click(dialog, 2);
        } else if (w->objectName() == QStringLiteral("103")) {
            if (cancel) Click(w, 2);
        } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
            if (messages) *messages << box->text();
            Press(box, QMessageBox::Ok);
        } else {
            Click(w, 1);
        }
    }, 0);
    Click(s.window.get(), ControlId::kFiles);
    return rows;
}

}  // namespace

class FilesWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theLineUnderTheSourceShowsWhatATypedFileHolds() {
        WindowSetup s;
        const std::string sample = CopySample(s, "Sample.bin");
        s.window->Show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        auto* line = s.Control<QLabel>(ControlId::kSourceInfo);
        auto* source = s.Control<QLineEdit>(ControlId::kSourcePath);
        source->setFocus();
        source->selectAll();
        QTest::keyClicks(source, QString::fromStdString(sample));
        QTest::keyClick(source, Qt::Key_Tab);
        const QString expected = QString::fromStdString(SummarizeSource(sample, 1, 0));
        QVERIFY(expected.startsWith(QStringLiteral("2024-02-07 (from the data), ")));
        QTRY_COMPARE(line->text(), expected);
    }

    // A day of data is read beside the window; a newer file drops the older scan.
    void aNewerFileDropsTheScanOfTheOlder() {
        QTemporaryDir folder;
        const std::string day = Recording(folder.filePath(QStringLiteral("day.bin")), 0, 24 * 60);
        const std::string sample = QERN_SOURCE_DIR "/testdata/app/sim_both_2min.bin";
        SourceInfoLine line;
        QSignalSpy scanned(&line, &SourceInfoLine::scanned);
        line.Follow(day, 1, 0);
        QVERIFY(line.Scanning());  // Follow returned before the scan ended
        QCOMPARE(line.text(), QStringLiteral("Reading the file..."));
        line.Follow(sample, 1, 0);
        QTRY_COMPARE(scanned.count(), 1);
        QTest::qWait(100);
        QCOMPARE(scanned.count(), 1);
        QCOMPARE(line.text().toStdString(), SummarizeSource(sample, 1, 0));
        line.Follow(day, 1, 0);
        QTRY_COMPARE_WITH_TIMEOUT(scanned.count(), 2, 60000);
        QVERIFY2(line.text().contains(QStringLiteral(", 86400 receiver-dated epochs, ")), qPrintable(line.text()));
    }

    void filesConvertAsTheCommandLineConvertsThem() {
        for (const bool oneRecording : {false, true}) {
            QTemporaryDir folder;
            const auto path = [&](const char* name) { return folder.filePath(QLatin1String(name)); };
            QDir(folder.path()).mkpath(QStringLiteral("window"));
            QDir(folder.path()).mkpath(QStringLiteral("line"));
            const QStringList raw = {path("b.bin"), path("a.bin"), path("junk.bin")};
            Recording(raw[0], 10, 10);
            Recording(raw[1], 0, 10);
            QFile junk(raw[2]);
            QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("\x01\x02\x03") == 3);
            junk.close();
            const QStringList files = oneRecording ? raw.mid(0, 2) : raw;
            const std::string profilePath = path("window.ini").toStdString();
            qputenv("SOURCE_DATE_EPOCH", "1700000000");
            WindowSetup s(
                [&](Profile& p) {
                    p.SetInt("Defaults", "Auto", 1);
                    for (const char* key : {"ObsDir", "NavDir"}) p.SetString("Defaults", key, path("window").toStdString());
                },
                {}, profilePath);
            s.window->TakeFilesRunner(FilesRunnerOf(s.File("RAW"), k3Feb2001));
            s.window->Show();
            const QStringList rows = RunFiles(s, files, oneRecording, false);
            QCOMPARE(rows.size(), oneRecording ? 1 : 3);
            QVERIFY2(rows[0].contains(QStringLiteral("|ok|")), qPrintable(rows.join(u'\n')));
            if (!oneRecording) QVERIFY2(rows[2].contains(QStringLiteral("|failed|0||")), qPrintable(rows[2]));

            // The command line with the settings the window stored, its outputs in a folder of their own.
            QDir(folder.path()).mkpath(QStringLiteral("line-config"));
            QVERIFY(QFile::copy(QString::fromStdString(profilePath), path("line-config/qern2rinex.ini")));
            Profile line(path("line-config/qern2rinex.ini").toStdString());
            for (const char* key : {"ObsDir", "NavDir"}) line.SetString("Defaults", key, path("line").toStdString());
            QVERIFY(line.Save());
            QProcess program;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                environment.remove(QLatin1String(name));
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path("line-config"));
            environment.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("1700000000"));
            program.setProcessEnvironment(environment);
            program.start(QStringLiteral(QERN_BINARY_DIR "/app/main/qern2rinex"),
                          QStringList{oneRecording ? QStringLiteral("--splice") : QStringLiteral("--batch")} + files +
                              QStringList{QStringLiteral("S")});
            QVERIFY(program.waitForFinished(60000));
            qunsetenv("SOURCE_DATE_EPOCH");
            QCOMPARE(program.exitCode(), oneRecording ? 0 : 1);
            const QMap<QString, QByteArray> window = Contents(path("window"));
            QCOMPARE(window.keys(), Contents(path("line")).keys());
            QCOMPARE(window.size(), oneRecording ? 2 : 4);
            QVERIFY(window == Contents(path("line")));
        }
    }

    void cancelStopsTheFiles() {
        for (const bool oneRecording : {false, true}) {
            WindowSetup s([&](Profile& p) { p.SetInt("Defaults", "Auto", 1); });
            const QStringList files = {QString::fromStdString(Recording(QString::fromStdString(s.File("RAW/a.bin")), 0, 90)),
                                       QString::fromStdString(Recording(QString::fromStdString(s.File("RAW/b.bin")), 90, 90))};
            s.window->TakeFilesRunner(FilesRunnerOf(s.File("RAW"), k3Feb2001));
            s.window->Show();
            QStringList messages;
            const QStringList rows = RunFiles(s, files, oneRecording, true, &messages);
            QCOMPARE(rows.size(), oneRecording ? 1 : 2);
            for (const QString& row : rows) QVERIFY2(row.contains(QStringLiteral("|cancelled|0||")), qPrintable(row));
            QCOMPARE(messages, oneRecording ? QStringList{"Operation canceled by user !"} : QStringList());
            QCOMPARE(QDir(QString::fromStdString(s.File("RAW"))).entryList(QDir::Files | QDir::Hidden),
                     (QStringList{"a.bin", "b.bin"}));
        }
    }
};

static RegisterGuiTest registerFilesWindowTest([] { return std::make_unique<FilesWindowTest>(); });

#include "FilesWindowTest.moc"
