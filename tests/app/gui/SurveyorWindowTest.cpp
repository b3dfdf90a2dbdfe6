// What a surveyor types beside the header texts: the antenna group reaching the
// header, "Header..." showing the header that "Go..." then writes, the success
// message naming the files and opening their folder, and the run settings of
// Advanced Options reaching the conversion and the profile.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include <cmath>

#include "app/dialog/ControlIds.h"
#include "app/dialog/RunSettings.h"
#include "tests/app/gui/GuiTestSupport.h"
#include "tools/rawsim/Simulation.h"

namespace {

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The header of an observation file, its lines as the preview shows them.
QString HeaderOf(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("(missing)");
    QString text = QString::fromLatin1(f.readAll());
    text.remove(u'\r');
    return text.left(text.indexOf(u'\n', text.indexOf(QStringLiteral("END OF HEADER"))));
}

}  // namespace

class SurveyorWindowTest : public QObject {
    Q_OBJECT

private slots:
    void antennaGroupHeaderPreviewAndSuccessMessage() {
        WindowSetup s;
        const std::string raw = CopySample(s, "SITE.bin");
        s.controls->SetText(ControlId::kSourcePath, raw);
        s.dialog->SourceTyped();
        s.controls->SetSelection(ControlId::kFormat, 1);
        s.controls->SetValue(ControlId::kRecordedOn, std::floor(NominalStart().ToDays()));
        s.controls->SetText(ControlId::kObservationPath, s.File("site.obs"));
        s.controls->SetText(ControlId::kNavigationPath, s.File("site.nav"));
        s.controls->SetText(ControlId::kAntennaType, "trm41249.00");
        s.window->Show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        TypeInto(s.Control<QLineEdit>(ControlId::kAntennaHeight), QStringLiteral("1.5432"));
        TypeInto(s.Control<QLineEdit>(ControlId::kAntennaEast), QStringLiteral("0.0125"));
        TypeInto(s.Control<QLineEdit>(ControlId::kAntennaNorth), QStringLiteral("-0.0071"));

        QString preview, success, opened;
        s.window->WindowSide().openFolder = [&](const QString& folder) { opened = folder; };
        ModalResponder person([&](QWidget* w) {
            if (w->objectName() == QStringLiteral("headerPreview")) {  // "Header..."
                preview = w->findChild<QPlainTextEdit*>(QStringLiteral("headerText"))->toPlainText();
                QMetaObject::invokeMethod(w, "reject");
            } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
                success = box->text() + u'\n' + box->informativeText();
                if (auto* open = box->findChild<QAbstractButton*>(QStringLiteral("action"))) open->click();
            } else {
                Click(w, 1);  // a question: its preselected answer
            }
        });
        qputenv("SOURCE_DATE_EPOCH", "1700000000");  // the same creation time in both
        Click(s.window.get(), ControlId::kHeaderPreview);
        Click(s.window.get(), ControlId::kGo);
        qunsetenv("SOURCE_DATE_EPOCH");

        QCOMPARE(preview, HeaderOf(s.File("site.obs")));
        const QStringList lines = preview.split(u'\n');
        const auto record = [&](const char* label) {
            for (const QString& line : lines)
                if (line.mid(60).trimmed() == QLatin1String(label)) return line;
            return QString();
        };
        const QString delta = record("ANTENNA: DELTA H/E/N");
        QVERIFY2(std::fabs(delta.mid(0, 14).toDouble() - 1.5432) < 0.001, qPrintable(delta));
        QVERIFY2(std::fabs(delta.mid(14, 14).toDouble() - 0.0125) < 0.001, qPrintable(delta));
        QVERIFY2(std::fabs(delta.mid(28, 14).toDouble() + 0.0071) < 0.001, qPrintable(delta));
        QVERIFY(lines.contains(QStringLiteral("ANTENNA DELTA H/E/N AS ENTERED, RECORDED HEIGHT NOT USED").leftJustified(60) +
                               QStringLiteral("COMMENT").leftJustified(20)));
        QCOMPARE(record("ANT # / TYPE").mid(20, 20), QStringLiteral("TRM41249.00     NONE"));
        QVERIFY(!record("APPROX POSITION XYZ").startsWith(QStringLiteral("        0.0000")));  // the first fix

        for (const char* name : {"site.obs", "site.nav"})
            QVERIFY2(success.contains(QString::fromStdString(s.File(name))), qPrintable(success));
        QCOMPARE(opened, s.folder.path());
        Profile stored(s.profile->Path());
        QCOMPARE(stored.GetString("Defaults", "AntHeight", ""), std::string("1.5432"));
        QCOMPARE(stored.GetString("Defaults", "AntType", ""), std::string("TRM41249.00     NONE"));
    }

    void runSettingsOfAdvancedOptions() {
        std::vector<ConversionRequest> runs;
        WindowSetup s({}, [&](const ConversionRequest& r, ConversionState&, ConversionUi&) {
            runs.push_back(r);
            ConversionResult result;
            result.success = true;
            return result;
        });
        s.controls->SetText(ControlId::kSourcePath, CopySample(s, "SITE.bin"));
        s.dialog->SourceTyped();
        s.window->Show();
        QString refusal;
        bool focusOnInterval = false;
        ModalResponder person([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                refusal = box->text();
                Press(box, QMessageBox::Ok);
                return;
            }
            if (w->objectName() != QStringLiteral("130")) return;
            const auto edit = [w](const char* name) { return w->findChild<QLineEdit*>(QLatin1String(name)); };
            edit("from")->setText(QStringLiteral("2024-03-12 06:00:00"));
            edit("to")->setText(QStringLiteral("2024-03-12 18:00:00"));
            edit("interval")->setText(QStringLiteral("0.05"));
            edit("country")->setText(QStringLiteral("can"));
            Click(w, 1);  // refused: the dialog stays
            focusOnInterval = w->focusWidget() == edit("interval");
            edit("interval")->setText(QStringLiteral("30"));
            Click(w, 1035);
            Click(w, 1);
        });
        Click(s.window.get(), ControlId::kAdvanced);
        QCOMPARE(refusal, QStringLiteral("Interval : please enter a positive multiple of 0.1 s up to 86400, or nothing."));
        QVERIFY(focusOnInterval);
        Click(s.window.get(), ControlId::kGo);

        QCOMPARE(runs.size(), size_t(1));
        GpsTime from, to;
        ParseDateTime("2024-03-12 06:00:00", from);
        ParseDateTime("2024-03-12 18:00:00", to);
        QVERIFY(runs[0].from == from && runs[0].to == to);
        QCOMPARE(runs[0].interval, 30.0);
        Profile stored(s.profile->Path());
        QCOMPARE(stored.GetString("Advanced", "From", ""), std::string("2024-03-12 06:00:00"));
        QCOMPARE(stored.GetString("Advanced", "Interval", ""), std::string("30"));
        QCOMPARE(stored.GetString("Advanced", "Country", ""), std::string("CAN"));
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<SurveyorWindowTest>(); });

#include "SurveyorWindowTest.moc"
