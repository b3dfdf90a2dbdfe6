// The IDialogControls contract on the Qt adapter over the main window (test_app
// runs it on MemoryControls).
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "app/gui/WidgetControls.h"
#include "tests/app/DialogControlsContract.h"
#include "tests/app/gui/GuiTestSupport.h"

namespace {

class WindowUnderTest : public ControlsUnderTest {
public:
    IDialogControls& Controls() override { return *setup.controls; }
    void Type(int id, const std::string& text) override {
        QLineEdit* edit = setup.Control<QComboBox>(id)->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromStdString(text));
    }
    int FocusId() override {
        // The line edit of a combo box has the focus for its combo box.
        for (QWidget* w = setup.window->focusWidget(); w; w = w->parentWidget())
            if (const int id = w->objectName().toInt(); id > 0) return id;
        return 0;
    }
    bool FocusSelectsText() override {
        auto* edit = qobject_cast<QLineEdit*>(setup.window->focusWidget());
        return edit && !edit->text().isEmpty() && edit->selectedText() == edit->text();
    }
    WindowSetup setup;
};

}  // namespace

class WidgetControlsTest : public QObject {
    Q_OBJECT

private slots:
    void contractHolds_data() {
        QTest::addColumn<int>("index");
        const std::vector<ControlsContractCase>& cases = DialogControlsContract();
        for (size_t i = 0; i < cases.size(); ++i) QTest::newRow(cases[i].name) << static_cast<int>(i);
    }
    void contractHolds() {
        QFETCH(int, index);
        // The window is not shown: shown and enabled states must not depend on it.
        WindowUnderTest window;
        const std::string failure = DialogControlsContract()[index].run(window);
        QVERIFY2(failure.empty(), failure.c_str());
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<WidgetControlsTest>(); });

#include "WidgetControlsTest.moc"
