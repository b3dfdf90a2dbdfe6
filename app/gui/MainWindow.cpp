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

namespace {

// Header texts as RINEX holds them: printable ASCII, letters in upper case. Latin
// letters are written plain as they are typed (Ü U, ß SS); characters without an
// ASCII form stay, for the reading of the texts to refuse with the field's name.
class HeaderTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        const auto plain = [](const QString& s) {
            return QString::fromStdString(ToUpperText(ToAsciiText(s.toStdString()).text));
        };
        pos = static_cast<int>(plain(input.left(pos)).size());
        input = plain(input);
        return Acceptable;
    }
};

// The nine header texts: label (with its mnemonic) and object name, in the order
// of HeaderText.
struct HeaderLabel {
    const char* label;
    int id;
};
constexpr HeaderLabel kHeaderLabels[kHeaderTextCount] = {
    {"&Marker Name :", ControlId::kMarkerName},         {"Marker N&umber :", ControlId::kMarkerNumber},
    {"O&bserver Name :", ControlId::kObserver},          {"Observer Agenc&y :", ControlId::kAgency},
    {"Rece&iver Number :", ControlId::kReceiverNumber},  {"Receiver &Type :", ControlId::kReceiverType},
    {"Receiver &Version :", ControlId::kReceiverVersion}, {"&Antenna Number :", ControlId::kAntennaNumber},
    {"Antenna Ty&pe :", ControlId::kAntennaType},
};

QString Id(int id) { return QString::number(id); }

QPushButton* BrowseButton(int id, const QString& tip) {
    auto* b = new QPushButton(QStringLiteral("..."));
    b->setObjectName(Id(id));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    b->setAutoDefault(false);
    const int width = b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16;
    b->setMaximumWidth(width);
    b->setMinimumWidth(width);
    return b;
}

QLineEdit* PathEdit(int id) {
    auto* e = new QLineEdit;
    e->setObjectName(Id(id));
    e->setMinimumWidth(e->fontMetrics().averageCharWidth() * 48);
    e->setAcceptDrops(false);  // a dropped file goes to the window
    return e;
}

QComboBox* HistoryCombo(int id, QWidget* parent) {
    auto* c = new QComboBox;
    c->setObjectName(Id(id));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);
    c->setMaxVisibleItems(15);
    c->setMinimumContentsLength(20);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setValidator(new HeaderTextValidator(parent));
    c->lineEdit()->setAcceptDrops(false);
    return c;
}

QComboBox* ListCombo(int id) {
    auto* c = new QComboBox;
    c->setObjectName(Id(id));
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return c;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QDialog(parent), ui_(this), chooser_(this) {
    setObjectName(Id(102));
    setWindowTitle(QString::fromLatin1(kProgramTitle));
    setWindowIcon(AppIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setSizeGripEnabled(true);
    setAcceptDrops(true);

    QGroupBox* input = BuildInputGroup();
    QGridLayout* headerGrid = BuildHeaderGrid();
    QGroupBox* antenna = BuildAntennaGroup();
    QGroupBox* output = BuildOutputGroup();
    // The path edits of both groups start at one edge.
    auto* inputGrid = static_cast<QGridLayout*>(input->layout());
    auto* outputGrid = static_cast<QGridLayout*>(output->layout());
    const int labelWidth = std::max(inputGrid->itemAtPosition(0, 0)->widget()->sizeHint().width(),
                                    outputGrid->itemAtPosition(0, 0)->widget()->sizeHint().width());
    inputGrid->setColumnMinimumWidth(0, labelWidth);
    outputGrid->setColumnMinimumWidth(0, labelWidth);
    QHBoxLayout* buttons = BuildButtonRow();
    QMenuBar* menuBar = BuildMenuBar();

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(input);
    layout->addLayout(headerGrid);
    layout->addWidget(antenna);
    layout->addWidget(output);
    layout->addLayout(buttons);

    SetTabOrder();
    controls_ = std::make_unique<WidgetControls>(this);
}

QGroupBox* MainWindow::BuildInputGroup() {
    source_ = PathEdit(ControlId::kSourcePath);
    browseSource_ = BrowseButton(ControlId::kBrowseSource, tr("Choose the raw data file"));
    recordedOn_ = new FieldWidget(kFieldDate);
    recordedOn_->setObjectName(Id(ControlId::kRecordedOn));
    format_ = ListCombo(ControlId::kFormat);
    auto* input = new QGroupBox(tr("QERN INPUT FILE"));
    auto* inputGrid = new QGridLayout(input);
    QLabel* sourceLabel = BuddyLabel(tr("&Raw Data File :"), source_);
    inputGrid->addWidget(sourceLabel, 0, 0);
    inputGrid->addWidget(source_, 0, 1, 1, 3);
    inputGrid->addWidget(browseSource_, 0, 4);
    inputGrid->addWidget(BuddyLabel(tr("Recorded &On :"), recordedOn_), 1, 0);
    inputGrid->addWidget(recordedOn_, 1, 1, Qt::AlignLeft);
    auto* formatLabel = BuddyLabel(tr("File &Format :"), format_);
    inputGrid->addWidget(formatLabel, 1, 2, Qt::AlignRight);
    inputGrid->addWidget(format_, 1, 3);
    // Every letter of its name is another control's mnemonic: Alt+. it is.
    files_ = new QPushButton(tr("Files&..."));
    files_->setObjectName(Id(ControlId::kFiles));
    files_->setToolTip(tr("Convert many raw data files at once"));
    files_->setAutoDefault(false);
    files_->setEnabled(false);  // until the program gives what it runs
    inputGrid->addWidget(files_, 0, 5);
    sourceInfo_ = new SourceInfoLine;
    inputGrid->addWidget(sourceInfo_, 2, 1, 1, 5);
    inputGrid->setColumnStretch(1, 1);
    return input;
}

QGridLayout* MainWindow::BuildHeaderGrid() {
    auto* headerGrid = new QGridLayout;
    for (int i = 0; i < kHeaderTextCount; ++i) {
        header_[i] = HistoryCombo(kHeaderLabels[i].id, this);
        // Receiver version stands alone on its row, so that the antenna pair shares one.
        const int slot = i <= kReceiverVersion ? i : i + 1;
        const int row = slot / 2;
        const int column = (slot % 2) * 2;
        headerGrid->addWidget(BuddyLabel(tr(kHeaderLabels[i].label), header_[i]), row, column);
        headerGrid->addWidget(header_[i], row, column + 1);
    }
    headerGrid->setColumnStretch(1, 1);
    headerGrid->setColumnStretch(3, 1);
    headerGrid->setHorizontalSpacing(10);
    headerGrid->setColumnMinimumWidth(2, 0);
    headerGrid->setContentsMargins(10, 4, 10, 4);
    return headerGrid;
}

QGroupBox* MainWindow::BuildAntennaGroup() {
    // Every letter of the window is a mnemonic already: the three take digits, in H/E/N order.
    struct Edit {
        int id;
        const char* label;
        const char* placeholder;
        const char* tip;
    };
    static constexpr Edit kEdits[3] = {
        {ControlId::kAntennaHeight, "Height to ARP (&1) :", "recorded",
         "Vertical height of the antenna reference point above the marker, in metres "
         "(empty: the height the receiver recorded)"},
        {ControlId::kAntennaEast, "East (&2) :", "0", "Offset of the antenna reference point east of the marker, in metres"},
        {ControlId::kAntennaNorth, "North (&3) :", "0", "Offset of the antenna reference point north of the marker, in metres"},
    };
    auto* group = new QGroupBox(tr("ANTENNA REFERENCE POINT (ANTENNA: DELTA H/E/N)"));
    auto* row = new QHBoxLayout(group);
    for (int k = 0; k < 3; ++k) {
        auto* e = new QLineEdit;
        e->setObjectName(Id(kEdits[k].id));
        e->setPlaceholderText(tr(kEdits[k].placeholder));
        e->setToolTip(tr(kEdits[k].tip));
        e->setAccessibleName(tr(kEdits[k].tip));
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-999.99990")) + 16);
        e->setAcceptDrops(false);
        antenna_[k] = e;
        if (k > 0) row->addSpacing(16);
        row->addWidget(BuddyLabel(tr(kEdits[k].label), e));
        row->addWidget(e);
        row->addWidget(new QLabel(tr("m")));
    }
    row->addStretch();
    return group;
}

QGroupBox* MainWindow::BuildOutputGroup() {
    observation_ = PathEdit(ControlId::kObservationPath);
    navigation_ = PathEdit(ControlId::kNavigationPath);
    browseObservation_ = BrowseButton(ControlId::kBrowseObservation, tr("Choose the observation file"));
    browseNavigation_ = BrowseButton(ControlId::kBrowseNavigation, tr("Choose the navigation file"));
    browseFolder_ = BrowseButton(ControlId::kBrowseOutputDirectory, tr("Choose one folder for both files"));
    browseFolder_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    autoNaming_ = new QCheckBox(tr("Automatic &naming according to RINEX conventions"));
    autoNaming_->setObjectName(Id(ControlId::kAutoNaming));
    fileIndex_ = ListCombo(ControlId::kFileIndex);
    auto* fileIndexLabel = BuddyLabel(tr("File Inde&x :"), fileIndex_);
    fileIndexLabel->setObjectName(Id(ControlId::kFileIndexLabel));
    for (QWidget* w : {static_cast<QWidget*>(fileIndexLabel), static_cast<QWidget*>(fileIndex_)}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }
    auto* output = new QGroupBox(tr("RINEX OUTPUT FILES"));
    auto* outputGrid = new QGridLayout(output);
    QLabel* observationLabel = BuddyLabel(tr("Ob&servation File :"), observation_);
    outputGrid->addWidget(observationLabel, 0, 0);
    outputGrid->addWidget(observation_, 0, 1, 1, 3);
    outputGrid->addWidget(browseObservation_, 0, 4);
    outputGrid->addWidget(BuddyLabel(tr("Navigation Fi&le :"), navigation_), 1, 0);
    outputGrid->addWidget(navigation_, 1, 1, 1, 3);
    outputGrid->addWidget(browseNavigation_, 1, 4);
    outputGrid->addWidget(browseFolder_, 0, 5, 2, 1);
    outputGrid->addWidget(autoNaming_, 2, 0, 1, 2);
    outputGrid->addWidget(fileIndexLabel, 2, 2, Qt::AlignRight);
    outputGrid->addWidget(fileIndex_, 2, 3, 1, 3);
    outputGrid->setColumnStretch(1, 1);
    return output;
}

QHBoxLayout* MainWindow::BuildButtonRow() {
    summary_ = new QLabel;
    summary_->setObjectName(Id(ControlId::kAdvancedSummary));
    advanced_ = new QPushButton(tr("Advanc&ed..."));
    advanced_->setObjectName(Id(ControlId::kAdvanced));
    advanced_->setAutoDefault(false);
    headerPreview_ = new QPushButton(tr("Hea&der..."));
    headerPreview_->setObjectName(Id(ControlId::kHeaderPreview));
    headerPreview_->setToolTip(tr("Show the observation header as it will be written"));
    headerPreview_->setAutoDefault(false);
    go_ = new QPushButton(tr("&Go..."));
    go_->setObjectName(Id(ControlId::kGo));
    go_->setDefault(true);
    close_ = new QPushButton(tr("&Close"));
    close_->setObjectName(Id(ControlId::kClose));
    close_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    buttons->addWidget(headerPreview_);
    buttons->addWidget(advanced_);
    buttons->addSpacing(12);
    buttons->addWidget(go_);
    buttons->addWidget(close_);
    return buttons;
}

QMenuBar* MainWindow::BuildMenuBar() {
    auto* menuBar = new QMenuBar(this);
    QMenu* help = menuBar->addMenu(tr("&Help"));
    QAction* about = help->addAction(QString::fromLatin1(LoadString(kStrAboutMenu).data()));
    about->setObjectName(QStringLiteral("about"));
    connect(about, &QAction::triggered, this, &MainWindow::OpenAbout);
    return menuBar;
}

void MainWindow::SetTabOrder() {
    QWidget* order[] = {source_,   browseSource_, files_, recordedOn_, format_,    header_[0],        header_[1],
                        header_[2], header_[3],    header_[4],  header_[5], header_[6],        header_[7],
                        header_[8], antenna_[0], antenna_[1], antenna_[2], observation_,  browseObservation_, navigation_, browseNavigation_,
                        browseFolder_, autoNaming_, fileIndex_, headerPreview_, advanced_, go_, close_};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

MainWindow::~MainWindow() = default;

void MainWindow::Attach(CMainDialog& dialog, Profile& profile) {
    dialog_ = &dialog;
    profile_ = &profile;
    connect(browseSource_, &QPushButton::clicked, this, [this] { dialog_->BrowseSource(); });
    // A typed source path counts once the focus leaves it or Enter is pressed.
    connect(source_, &QLineEdit::editingFinished, this, [this] {
        if (!busy_) dialog_->SourceTyped();
    });
    connect(browseObservation_, &QPushButton::clicked, this, [this] { dialog_->BrowseObservation(); });
    connect(browseNavigation_, &QPushButton::clicked, this, [this] { dialog_->BrowseNavigation(); });
    connect(browseFolder_, &QPushButton::clicked, this, [this] { dialog_->BrowseOutputDirectory(); });
    connect(autoNaming_, &QCheckBox::clicked, this, [this] { dialog_->ToggleAutoNaming(); });
    connect(recordedOn_, &FieldWidget::edited, this, [this] { dialog_->RefreshAutoNames(); });
    QComboBox* marker = header_[kMarkerName];
    connect(marker, &QComboBox::activated, this, [this] { dialog_->RefreshAutoNames(); });
    connect(marker->lineEdit(), &QLineEdit::textEdited, this, [this] { dialog_->RefreshAutoNames(); });
    connect(fileIndex_, &QComboBox::activated, this, [this] { dialog_->RefreshAutoNames(); });
    connect(advanced_, &QPushButton::clicked, this, &MainWindow::OpenAdvanced);
    connect(headerPreview_, &QPushButton::clicked, this, &MainWindow::ShowHeader);
    connect(go_, &QPushButton::clicked, this, &MainWindow::Go);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    // A refused path: the message says which and why.
    ui_.details = [this](int id) -> std::string {
        if (id != kStrInvalidFileName && id != kStrInvalidPath && id != kStrFilesMustDiffer) return {};
        const PathCheckFailure& f = dialog_->PathFailure();
        if (f.which.empty()) return {};
        std::string which = f.which;
        which[0] = static_cast<char>(which[0] - 'a' + 'A');
        return which + " path " + f.path + ": " + f.reason;
    };
    AttachSourceInfo();
    const std::string geometry = profile.GetString(kWindowSection, kGeometryKey, "");
    if (!geometry.empty()) restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(geometry)));
}

void MainWindow::Show() {
    show();
    raise();
    activateWindow();
}

void MainWindow::RunUntilClosed() {
    // exec shows the window itself: shown before, it would not become modal.
    exec();
}

void MainWindow::done(int result) {
    StoreGeometry();
    QDialog::done(result);
}

void MainWindow::StoreGeometry() {
    if (!profile_ || !isVisible()) return;
    profile_->WriteString(kWindowSection, kGeometryKey, saveGeometry().toBase64().toStdString());
}
