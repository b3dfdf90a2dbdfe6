// Conversions through the window: the questions, the progress window and its
// Cancel, the main window out of reach meanwhile, the throttled event handling,
// and the files of one conversion compared with the command line's.
#include <QPlainTextEdit>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QtTest>

#include <sys/time.h>

#include <cmath>
#include <numbers>

#include "app/dialog/ControlIds.h"
#include "app/program/ConverterApp.h"
#include "app/gui/FieldWidget.h"
#include "app/gui/ProgressDialog.h"
#include "app/gui/QtWindowFactory.h"
#include "tests/app/gui/GuiTestSupport.h"
#include "tools/rawsim/Simulation.h"

namespace {

// A receiver-dated, dual-frequency binary recording of the given hours at 1 s in
// setup's folder; its path.
std::string LongRecording(const WindowSetup& s, double hours) {
    SynthRequest request;
    request.synth.start = NominalStart();
    request.synth.duration = hours * 3600;
    request.synth.dual = true;
    SimulationOutput output;
    output.rawPath = s.File("long.bin");
    SynthSummary summary;
    std::string error;
    if (!RunSynth(request, output, summary, error)) qWarning("%s", error.c_str());
    return output.rawPath;
}

// The window set for converting raw (binary, recorded on the simulation's day).
void Prepare(WindowSetup& s, const std::string& raw) {
    s.controls->SetText(ControlId::kSourcePath, raw);
    s.controls->SetSelection(ControlId::kFormat, 1);
    s.controls->SetValue(ControlId::kRecordedOn, std::floor(NominalStart().ToDays()));
    s.controls->SetText(ControlId::kObservationPath, s.File("long.obs"));
    s.controls->SetText(ControlId::kNavigationPath, s.File("long.nav"));
    s.window->Show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
}

QByteArray ReadFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

}  // namespace

class ConversionWindowTest : public QObject {
    Q_OBJECT

private slots:
    void rawKindQuestion() {
        struct Case {
            int radio, button;
            Answer who;
            RecordKind kind;
        };
        for (const Case& c : {Case{0, 1, Answer::Person, kRecordReceiverDated},
                              Case{1009, 1, Answer::Person, kRecordSatelliteDated},
                              Case{1009, 2, Answer::Cancelled, kRecordReceiverDated}}) {
            WindowSetup s;
            ModalResponder person([&](QWidget* w) {
                if (c.radio) Click(w, c.radio);
                Click(w, c.button);
            });
            RecordKind kind = kRecordReceiverDated;
            QCOMPARE(s.window->Ui().AskRawKind(kind), c.who);
            QCOMPARE(kind, c.kind);
            QCOMPARE(person.seen, QStringList{"129"});
        }
    }

    void positionQuestion() {
        WindowSetup s;
        QStringList order;
        ModalResponder person([&](QWidget* w) {
            order << w->focusWidget()->objectName();
            for (int i = 0; i < 5; ++i) {
                QTest::keyClick(w->focusWidget(), Qt::Key_Tab);
                order << w->focusWidget()->objectName();
            }
            auto* latitude = w->findChild<FieldWidget*>(QStringLiteral("1012"));
            QTest::mouseClick(latitude, Qt::LeftButton, {}, latitude->cellRect(2).center());
            QTest::keyClicks(latitude, QStringLiteral("4530000000n"));
            QTest::keyClick(latitude, Qt::Key_Return);  // Enter in a field is OK
        });
        ApproximatePosition p;
        p.height = 12.5;
        QCOMPARE(s.window->Ui().AskPosition(p), Answer::Person);
        QCOMPARE(order, (QStringList{"1012", "1013", "1014", "paste", "1", "2"}));
        QVERIFY2(std::fabs(p.latitude - 45.5 * std::numbers::pi / 180) < 1e-12,
                 qPrintable(QString::number(p.latitude)));
        QCOMPARE(p.longitude, 0.0);
        QCOMPARE(p.height, 12.5);
    }

    // Typing as on paper: a point and a sign in the altitude, a pasted position,
    // Escape.
    void positionTypedNaturallyOrPasted_data() {
        QTest::addColumn<QString>("field");  // object name, "" none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("who");
        QTest::addColumn<double>("latitude");  // degrees
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("height");  // m
        QTest::newRow("altitude 68.2") << "1014" << "68.2" << int(Answer::Person) << 0.0 << 0.0 << 68.2;
        QTest::newRow("altitude -5.5") << "1014" << "-5.5" << int(Answer::Person) << 0.0 << 0.0 << -5.5;
        QTest::newRow("pasted degrees") << "paste" << "35.1608 139.6138 68.2" << int(Answer::Person) << 35.1608
                                        << 139.6138 << 68.2;
        QTest::newRow("Escape") << "" << "" << int(Answer::Cancelled) << 0.0 << 0.0 << 0.0;
    }
    void positionTypedNaturallyOrPasted() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, who);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(double, height);
        WindowSetup s;
        ModalResponder person([&](QWidget* w) {
            if (auto* f = w->findChild<FieldWidget*>(field)) {
                f->setFocus();
                QTest::keyClick(f, Qt::Key_Home, Qt::ControlModifier);
                QTest::keyClicks(f, typed);
            } else if (auto* paste = w->findChild<QLineEdit*>(field)) {
                paste->setFocus();
                QTest::keyClicks(paste, typed);
            }
            QTest::keyClick(w->focusWidget(), field.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
        });
        ApproximatePosition p;
        QCOMPARE(int(s.window->Ui().AskPosition(p)), who);
        // Within a millimetre: an angle of 1 mm on the earth's surface is 1.6e-10 rad.
        constexpr double kDegree = std::numbers::pi / 180;
        QVERIFY2(std::fabs(p.latitude - latitude * kDegree) < 1.6e-10, qPrintable(QString::number(p.latitude / kDegree, 'f', 9)));
        QVERIFY2(std::fabs(p.longitude - longitude * kDegree) < 1.6e-10, qPrintable(QString::number(p.longitude / kDegree, 'f', 9)));
        QVERIFY2(std::fabs(p.height - height) < 1e-3, qPrintable(QString::number(p.height)));
    }

    // The person tries the main window during a long conversion, then presses Cancel.
    void theMainWindowIsOutOfReachAndCancelStopsALongConversion() {
        WindowSetup s;
        Prepare(s, LongRecording(s, 1));
        QWindow* main = s.window->windowHandle();
        QWidget* advanced = s.Widget(ControlId::kAdvanced);
        const QPoint at = advanced->mapTo(s.window.get(), advanced->rect().center());
        int advancedOpened = 0;
        Qt::WindowModality modality = Qt::NonModal;
        QStringList messages;
        ModalResponder person([&](QWidget* w) {
            if (w->objectName() == QStringLiteral("130")) {
                ++advancedOpened;
                Click(w, 2);
            } else if (w->objectName() == QStringLiteral("103")) {
                modality = w->windowModality();
                QTest::mouseClick(main, Qt::LeftButton, {}, at);
                QTest::keyClick(main, Qt::Key_E, Qt::AltModifier);
                Click(w, 2);
            } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
                messages << box->text();
                Press(box, QMessageBox::Ok);
            }
        }, 0);  // looks at every handling of events: the first ones of the conversion
        // The same click and mnemonic outside a conversion do open Advanced Options.
        QTest::mouseClick(main, Qt::LeftButton, {}, at);
        QCOMPARE(advancedOpened, 1);
        s.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        QTest::keyClick(main, Qt::Key_E, Qt::AltModifier);
        QTRY_COMPARE(advancedOpened, 2);  // a mnemonic clicks after a short animation

        QTest::mouseClick(s.Widget(ControlId::kGo), Qt::LeftButton);
        QCOMPARE(modality, Qt::WindowModal);
        QCOMPARE(s.dialog->LastResult().outcome, ConversionOutcome::Cancelled);
        QCOMPARE(messages, QStringList{"Operation canceled by user !"});
        // Cancel leaves no file: nothing cut short, no temporary file.
        QCOMPARE(QDir(QString::fromStdString(s.File("")))
                     .entryList(QStringList{"long.*", ".qern2rinex-*"}, QDir::Files | QDir::Hidden),
                 QStringList{"long.bin"});
        QTest::qWait(300);  // longer than a mnemonic's animation
        QCOMPARE(advancedOpened, 2);
        QVERIFY(!s.window->WindowSide().Progress());
    }

    void eventsAreHandledAtMostEvery50Milliseconds() {
        WindowSetup s;
        s.window->Show();
        WindowUi& ui = s.window->WindowSide();
        ui.BeginConversion();
        const long before = ui.Dispatches();
        QElapsedTimer clock;
        clock.start();
        long calls = 0;
        while (clock.elapsed() < 260) {
            ui.SetPosition(static_cast<unsigned>(calls % 100));
            ui.CheckCancel();
            ++calls;
        }
        const long dispatched = ui.Dispatches() - before;
        ui.EndConversion();
        QVERIFY2(calls > 2000, qPrintable(QString::number(calls)));  // handling events at every call: under 1000
        QVERIFY2(dispatched >= 2 && dispatched <= 260 / WindowUi::kDispatchInterval + 1,
                 qPrintable(QString::number(dispatched)));
    }

    void aConversionThroughTheWindowWritesTheCommandLinesFiles() {
        QTemporaryDir folder;
        const auto file = [&](const char* name) { return folder.filePath(QString::fromLatin1(name)).toStdString(); };
        QFile::copy(QStringLiteral(QERN_SOURCE_DIR "/testdata/app/sim_both_2min.bin"),
                    QString::fromStdString(file("Sample.bin")));
        // Dated 2015, far from its data's week (2024): the success message says so.
        const struct timeval dated[2] = {{1420113600, 0}, {1420113600, 0}};
        QCOMPARE(utimes(file("Sample.bin").c_str(), dated), 0);
        const QByteArray epoch = "1700000000";

        // The command line, silent, without a display.
        QProcess line;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(file("cli-config")));
        environment.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QString::fromLatin1(epoch));
        line.setProcessEnvironment(environment);
        line.start(QStringLiteral(QERN_BINARY_DIR "/app/main/qern2rinex"),
                   {QString::fromStdString(file("Sample.bin")), QString::fromStdString("OBS:" + file("line.obs")),
                    QString::fromStdString("NAV:" + file("line.nav")), QStringLiteral("S")});
        QVERIFY(line.waitForFinished(60000));
        QCOMPARE(line.exitCode(), 0);

        // The same through the window: "..." picks the file, the outputs are typed,
        // "Go...", the questions keep their preselected answers, "Close".
        qputenv("SOURCE_DATE_EPOCH", epoch);
        QtWindowFactory windows("qern2rinex");
        AppStartup startup;
        startup.profilePath = file("window-config/qern2rinex.ini");
        startup.currentDirectory = folder.path().toStdString();
        startup.windows = &windows;
        {
            // With the quality report on, the Quality window follows the success message.
            Profile profile(startup.profilePath);
            profile.WriteInt("Advanced", "QualityReport", 1);
        }
        QString success;
        QString qualityReport;
        QStringList filters;
        ModalResponder person([&](QWidget* w) {
            const QString name = w->objectName();
            if (name == QStringLiteral("102")) {
                Click(w, ControlId::kBrowseSource);
                for (const auto& [id, path] : {std::pair{ControlId::kObservationPath, file("window.obs")},
                                               std::pair{ControlId::kNavigationPath, file("window.nav")}}) {
                    auto* edit = w->findChild<QLineEdit*>(QString::number(id));
                    edit->selectAll();
                    QTest::keyClicks(edit, QString::fromStdString(path));
                }
                Click(w, ControlId::kGo);
                Click(w, ControlId::kClose);
            } else if (auto* picker = qobject_cast<QFileDialog*>(w)) {
                filters = picker->nameFilters();
                filters << picker->selectedNameFilter();
                // Typed into its name field (selectFile leaves a focused field alone).
                picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                    ->setText(QString::fromStdString(file("Sample.bin")));
                QMetaObject::invokeMethod(picker, "accept");
            } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
                success = box->text() + u'\n' + box->informativeText();
                Press(box, QMessageBox::Ok);
            } else if (name == QStringLiteral("quality")) {
                if (auto* table = w->findChild<QPlainTextEdit*>(QStringLiteral("qualityReport")))
                    qualityReport = table->toPlainText();
                QMetaObject::invokeMethod(w, "reject");
            } else {
                Click(w, 1);  // a question: its preselected answer
            }
        });
        CConverterApp app(startup);
        std::ostringstream out, err;
        const int status = app.Run({}, out, err);
        qunsetenv("SOURCE_DATE_EPOCH");
        QCOMPARE(status, 0);
        QCOMPARE(person.seen.first(), QStringLiteral("102"));
        // The raw file filters as Qt reads them (blanks between the patterns), "All Files" chosen.
        QCOMPARE(filters, (QStringList{"QERN ASCII Files (*.raw *.var *.txt)", "QERN Binary Files (*.bin *.dat *.d?\?)",
                                       "All Files (*)", "All Files (*)"}));
        QVERIFY2(success.startsWith(QStringLiteral("Source file\n\n") + QString::fromStdString(file("Sample.bin")) +
                                    QStringLiteral("\n\nsuccessfully converted to RINEX !\nObservation file: ")),
                 qPrintable(success));
        QVERIFY2(success.contains(QStringLiteral("11 epochs, 10 satellites,")), qPrintable(success));
        QVERIFY2(success.contains(QStringLiteral("weeks from the Recorded On date's week")), qPrintable(success));
        QVERIFY2(qualityReport.startsWith(QStringLiteral("QUALITY REPORT  window.obs")), qPrintable(qualityReport));
        QCOMPARE(ReadFile(file("window.obs")), ReadFile(file("line.obs")));
        QCOMPARE(ReadFile(file("window.nav")), ReadFile(file("line.nav")));
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<ConversionWindowTest>(); });

#include "ConversionWindowTest.moc"
