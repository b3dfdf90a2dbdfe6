// The main window on its dialog logic: a start with automatic naming on, typing
// after a "Go...", Enter, the validation messages and the focus, a dropped raw
// file, Advanced Options, the remembered place and size.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include "app/dialog/ControlIds.h"
#include "app/dialog/DialogValues.h"
#include "app/gui/FieldWidget.h"
#include "app/gui/WindowChooser.h"
#include "tests/app/gui/GuiTestSupport.h"

namespace {

// A conversion that only counts.
struct CountingRunner {
    int runs = 0;
    ConversionRunner Runner() {
        return [this](const ConversionRequest&, ConversionState&, ConversionUi&) {
            ++runs;
            ConversionResult r;
            r.success = true;
            return r;
        };
    }
};

void TypeInto(QComboBox* combo, const QString& text) {
    combo->lineEdit()->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), text);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // A profile with automatic naming on; Enter in a combo box; then the person
    // types a marker name and a date.
    void automaticNamesFromTheStartAndAfterGo() {
        const QTemporaryDir out;
        const std::string dir = out.path().toStdString();
        CountingRunner runner;
        WindowSetup s([&](Profile& p) {
            p.SetInt("Defaults", "Auto", 1);
            p.SetString("Defaults", "ObsDir", dir);
            p.SetString("Defaults", "NavDir", dir);
        }, runner.Runner());
        QCOMPARE(s.controls->Text(ControlId::kObservationPath), dir + "/SITE0340.01O");
        QCOMPARE(s.controls->Text(ControlId::kNavigationPath), dir + "/SITE0340.01N");
        QVERIFY(!s.controls->Enabled(ControlId::kObservationPath));
        QVERIFY(s.controls->Shown(ControlId::kFileIndex));

        s.dialog->values.sourcePath = CopySample(s, "ab.bin");
        s.dialog->ExchangeValues(true);  // written by the dialog, not typed: no new source at "Go..."
        s.window->show();
        TypeInto(s.Control<QComboBox>(ControlId::kObserver), QStringLiteral("jane"));
        QTest::keyClick(s.Control<QComboBox>(ControlId::kObserver)->lineEdit(), Qt::Key_Return);
        QCOMPARE(runner.runs, 1);
        QCOMPARE(s.controls->Entries(ControlId::kObserver), std::vector<std::string>{"JANE"});

        // "Go..." put SITE at the top of the history and selected it; typing unselects.
        QCOMPARE(s.controls->Selection(ControlId::kMarkerName), 0);
        QLineEdit* marker = s.Control<QComboBox>(ControlId::kMarkerName)->lineEdit();
        TypeInto(s.Control<QComboBox>(ControlId::kMarkerName), QStringLiteral("xy"));
        QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\xc3\xa9"));
        QApplication::sendEvent(marker, &accented);
        QTest::keyClicks(marker, QStringLiteral("z"));
        QCOMPARE(s.controls->Text(ControlId::kMarkerName), std::string("XYEZ"));  // upper case, Latin letters plain
        QCOMPARE(s.controls->Text(ControlId::kObservationPath), dir + "/XYEZ0340.01O");
        auto* date = s.Control<FieldWidget>(ControlId::kRecordedOn);
        QTest::mouseClick(date, Qt::LeftButton, {}, date->cellRect(6).center());
        QTest::keyClicks(date, QStringLiteral("05"));
        QCOMPARE(s.controls->Text(ControlId::kObservationPath), dir + "/XYEZ0360.01O");
    }

    // A source path typed and ended with Enter counts as one chosen with "...",
    // but what the person typed since the last choice stays; a remembered
    // extension of the RINEX form gets the recording's year.
    void aTypedSourceIsTakenAsAChosenOne() {
        CountingRunner runner;
        WindowSetup s([](Profile& p) { p.SetString("Defaults", "ObsExt", "05o"); }, runner.Runner());
        const std::string day24 = CopySample(s, "DAY24.BIN"), day21 = CopySample(s, "DAY21.BIN");
        const auto stamp = [](const std::string& path, QDate date) {
            QFile f(QString::fromStdString(path));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime(date, QTime(12, 0)), QFileDevice::FileModificationTime));
        };
        stamp(day24, QDate(2005, 3, 1));
        stamp(day21, QDate(2010, 8, 6));
        const auto days = [](QDate date) { return double(QDate(1980, 1, 6).daysTo(date)); };
        s.window->show();
        static_cast<WindowChooser&>(s.window->Chooser()).Preset(day24);
        QVERIFY(s.dialog->BrowseSource());
        QCOMPARE(s.controls->Text(ControlId::kObservationPath), s.File("RAW/DAY24.05o"));
        const auto typeSource = [&](const std::string& path) {
            QLineEdit* edit = s.Control<QLineEdit>(ControlId::kSourcePath);
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromStdString(path));
            QTest::keyClick(edit, Qt::Key_Return);
        };
        typeSource(day21);
        QCOMPARE(runner.runs, 1);  // Enter is also "Go..."
        QCOMPARE(s.controls->Text(ControlId::kMarkerName), std::string("DAY21"));
        QCOMPARE(s.controls->Value(ControlId::kRecordedOn), days(QDate(2010, 8, 6)));
        QCOMPARE(s.controls->Text(ControlId::kObservationPath), s.File("RAW/DAY21.10o"));
        QCOMPARE(s.dialog->MakeRequest().markerName, std::string("DAY21"));

        // A marker name typed by hand stays; the rest follows the new source.
        TypeInto(s.Control<QComboBox>(ControlId::kMarkerName), QStringLiteral("hut1"));
        typeSource(day24);
        QCOMPARE(s.controls->Text(ControlId::kMarkerName), std::string("HUT1"));
        QCOMPARE(s.controls->Value(ControlId::kRecordedOn), days(QDate(2005, 3, 1)));
        QCOMPARE(s.controls->Text(ControlId::kObservationPath), s.File("RAW/DAY24.05o"));
    }

    void validationMessagesAndFocus_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("observation");
        QTest::addColumn<QString>("navigation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<int>("focus");
        QTest::newRow("missing source") << "none.bin" << "a.obs" << "a.nav" << "Please enter a valid file name !"
                                        << "Source path " << int(ControlId::kSourcePath);
        QTest::newRow("one file for both outputs") << "ab.bin" << "a.obs" << "a.obs"
                                                   << "Input and output files must all be differents !"
                                                   << "Observation path " << int(ControlId::kSourcePath);
        QTest::newRow("observation folder missing") << "ab.bin" << "nodir/a.obs" << "a.nav"
                                                    << "Please enter a valid file name !"
                                                    << "Observation path " << int(ControlId::kObservationPath);
        QTest::newRow("existing outputs, answered No")
            << "ab.bin" << "ab.bin.obs" << "ab.bin.nav" << "Output file(s) :\n\n%1/ab.bin.obs\n%1/ab.bin.nav\n\n"
                                                           "already exist(s) !\n\nOverwrite existing file(s) ?"
            << "" << 0;
    }
    void validationMessagesAndFocus() {
        QFETCH(QString, source);
        QFETCH(QString, observation);
        QFETCH(QString, navigation);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        QFETCH(int, focus);
        CountingRunner runner;
        WindowSetup s({}, runner.Runner());
        CopySample(s, "ab.bin");
        QFile(QString::fromStdString(s.File("ab.bin.obs"))).open(QIODevice::WriteOnly);
        QFile(QString::fromStdString(s.File("ab.bin.nav"))).open(QIODevice::WriteOnly);
        s.controls->SetText(ControlId::kSourcePath, s.File(source.toStdString()));
        s.controls->SetText(ControlId::kObservationPath, s.File(observation.toStdString()));
        s.controls->SetText(ControlId::kNavigationPath, s.File(navigation.toStdString()));
        s.window->show();
        QStringList texts, details;
        QList<int> icons;
        ModalResponder answer([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return;
            texts << box->text();
            details << box->informativeText();
            icons << box->icon();
            Press(box, box->icon() == QMessageBox::Question ? QMessageBox::No : QMessageBox::Ok);
        });
        QTest::mouseClick(s.Widget(ControlId::kGo), Qt::LeftButton);
        QCOMPARE(runner.runs, 0);
        QCOMPARE(texts, QStringList{message.contains(u'%') ? message.arg(s.folder.path()) : message});
        QCOMPARE(icons.first(), int(focus ? QMessageBox::Critical : QMessageBox::Question));
        if (detail.isEmpty())
            QVERIFY(details.first().isEmpty());
        else
            QVERIFY2(details.first().startsWith(detail), qPrintable(details.first()));
        if (!focus) return;
        QWidget* focused = s.window->focusWidget();
        QCOMPARE(focused, s.Widget(focus));
        auto* edit = qobject_cast<QLineEdit*>(focused);
        QVERIFY(edit && !edit->text().isEmpty());
        QCOMPARE(edit->selectedText(), edit->text());
    }

    void oneFolderForBothOutputs() {
        WindowSetup s;
        QDir(s.folder.path()).mkpath(QStringLiteral("out"));
        s.controls->SetText(ControlId::kObservationPath, s.File("RAW/ab.obs"));
        s.controls->SetText(ControlId::kNavigationPath, s.File("RAW/ab.nav"));
        QString title;
        ModalResponder person([&](QWidget* w) {
            title = w->windowTitle();
            w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(s.File("out/")));
            QMetaObject::invokeMethod(w, "accept");
        });
        QTest::mouseClick(s.Widget(ControlId::kBrowseOutputDirectory), Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Choose Directory"));
        QCOMPARE(s.controls->Text(ControlId::kObservationPath), s.File("out/ab.obs"));
        QCOMPARE(s.controls->Text(ControlId::kNavigationPath), s.File("out/ab.nav"));
        QCOMPARE(s.dialog->values.navigationDirectory, s.File("out"));  // no trailing "/"
    }

    void aDroppedRawFileIsTakenAsIfChosen() {
        WindowSetup s;
        const std::string raw = CopySample(s, "ab.bin");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(raw))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(s.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(s.window.get(), &drop);
        QCOMPARE(s.controls->Text(ControlId::kSourcePath), raw);  // letter case kept
        QCOMPARE(s.controls->Text(ControlId::kMarkerName), std::string("AB"));
        QCOMPARE(s.controls->Selection(ControlId::kFormat), 1);
        QCOMPARE(s.controls->Text(ControlId::kObservationPath), s.File("RAW/ab.RNX"));
        // A folder is no raw file.
        QMimeData folder;
        folder.setUrls({QUrl::fromLocalFile(s.folder.path())});
        QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &folder, Qt::LeftButton, {});
        QApplication::sendEvent(s.window.get(), &refused);
        QVERIFY(!refused.isAccepted());
    }

    void advancedOptions() {
        WindowSetup s;
        int step = 0;
        QStringList messages;
        ModalResponder answer([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                messages << box->text();
                Press(box, QMessageBox::Ok);
                return;
            }
            auto* tx = w->findChild<QComboBox*>(QStringLiteral("1031"));
            auto* version = w->findChild<QComboBox*>(QStringLiteral("rinexVersion"));
            QVERIFY(tx && version);
            if (step++ == 0) {
                // "Save As Defaults", then Cancel: stored, not taken.
                tx->setEditText(QStringLiteral("75ms"));
                Click(w, 1032);
                QCOMPARE(version->count(), 3);  // RINEX 2, 3 and 4
                version->setCurrentIndex(2);
                auto* quality = w->findChild<QCheckBox*>(QStringLiteral("qualityReport"));
                QVERIFY(quality && !quality->isChecked());
                quality->setChecked(true);
                for (const char* box : {"hatanaka", "gzip"}) {
                    auto* check = w->findChild<QCheckBox*>(QString::fromLatin1(box));
                    QVERIFY(check && !check->isChecked());
                    check->setChecked(true);
                }
                Click(w, 1035);
                Click(w, 2);
            } else {
                // Refused: the message, the focus on Tx, and the dialog stays open.
                for (const char* refused : {"abc", "-5", "5000"}) {
                    tx->setEditText(QString::fromLatin1(refused));
                    Click(w, 1);
                    QVERIFY(w->isVisible());
                    QVERIFY(w->focusWidget() == tx || w->focusWidget() == tx->lineEdit());
                }
                tx->setEditText(QStringLiteral("100"));
                Click(w, 1);
            }
        });
        QTest::mouseClick(s.Widget(ControlId::kAdvanced), Qt::LeftButton);
        QCOMPARE(s.profile->GetInt("Advanced", "Tx", 0), 75);
        QCOMPARE(s.profile->GetInt("Advanced", "SmouthedDopplers", 0), 1);
        QCOMPARE(s.profile->GetInt("Advanced", "RinexVersion", 2), 4);
        QCOMPARE(s.profile->GetInt("Advanced", "QualityReport", 0), 1);
        QCOMPARE(s.profile->GetInt("Advanced", "Hatanaka", 0), 1);
        QCOMPARE(s.profile->GetInt("Advanced", "Gzip", 0), 1);
        QCOMPARE(s.dialog->values.tx, 0.0);
        QCOMPARE(s.controls->Text(ControlId::kAdvancedSummary),
                 std::string("( Tr = Ts + 0 ms, using instantaneous dopplers )"));
        QTest::mouseClick(s.Widget(ControlId::kAdvanced), Qt::LeftButton);
        QCOMPARE(messages, (QStringList{"Please enter an integer.", "Please enter an integer between 0 and 1000.",
                                        "Please enter an integer between 0 and 1000."}));
        QCOMPARE(s.dialog->values.tx, 0.1);
        QCOMPARE(s.dialog->values.rinexVersion, 2);
        QCOMPARE(s.controls->Text(ControlId::kAdvancedSummary),
                 std::string("( Tr = Ts + 100 ms, using instantaneous dopplers )"));
    }

    void theWindowRemembersItsPlaceAndSize() {
        const QTemporaryDir shared;
        const std::string profilePath = shared.filePath(QStringLiteral("qern2rinex.ini")).toStdString();
        QRect placed;
        {
            WindowSetup s({}, {}, profilePath);
            s.window->Show();
            s.window->resize(900, 640);
            s.window->move(70, 50);
            placed = s.window->geometry();
            s.window->reject();  // Close
        }
        WindowSetup s({}, {}, profilePath);
        s.window->Show();
        QCOMPARE(s.window->geometry(), placed);
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<MainWindowTest>(); });

#include "MainWindowTest.moc"
