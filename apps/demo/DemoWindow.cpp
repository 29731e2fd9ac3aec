#include "apps/demo/DemoWindow.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <string>

#include "apps/demo/WindowPicture.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/qt/QtMessageBox.h"

namespace vor::demo {
namespace {

constexpr const char* kRegistryName = "VorMotorCtl";
constexpr const char* kRegistrySection = "Motor";
// How long the status line shows why a control cannot be changed before the drive's state returns.
constexpr int kWhyMilliseconds = 10000;

// The window hosts the panel, so it registers the editor classes the form is built from.
std::shared_ptr<MotorForm> NewPanel() {
    editors::EditorClasses::Register();
    return MotorForm::Create();
}

}  // namespace

DemoWindow::DemoWindow(std::unique_ptr<model::DriveModel> drive, QWidget* parent)
    : QMainWindow(parent),
      m_drive(std::move(drive)),
      m_simulator(dynamic_cast<sim::SimDrive*>(m_drive.get())),
      m_panel(NewPanel()) {
    setWindowTitle(QString::fromStdString("Motor settings - " + m_drive->Name()));

    auto* splitter = new QSplitter(Qt::Vertical);
    m_view = new PanelView(m_panel->GetForm(), splitter);
    m_logPane = new LogPane(*m_drive, splitter);
    splitter->addWidget(m_view);
    splitter->addWidget(m_logPane);
    splitter->setStretchFactor(0, 1);
    splitter->setCollapsible(0, false);
    m_reasonTips = new DisabledReasonTips(
        *m_view, m_panel->GetForm(), [this](Control& control) { return ReasonTexts(m_panel->EnableReasons(control)); },
        [this](Control& control, const std::vector<std::string>& reasons) { ShowWhy(control, reasons); });

    auto* sideBox = new QGroupBox("Drive and application");
    auto* sideLayout = new QVBoxLayout(sideBox);
    m_side = new DriveSidePanel(
        *m_drive, m_simulator ? &m_simulator->Motion() : nullptr, *m_panel,
        [this](std::string_view line) { Report(line); }, sideBox);
    sideLayout->addWidget(m_side);
    auto* plotBox = new QGroupBox("Commutation sensors, last 10 s");
    auto* plotLayout = new QVBoxLayout(plotBox);
    m_plot = new SensorPlot(*m_drive, plotBox);
    plotLayout->addWidget(m_plot);
    auto* right = new QVBoxLayout();
    right->addWidget(sideBox);
    right->addWidget(plotBox, 1);

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(splitter, 1);
    layout->addLayout(right);
    setCentralWidget(central);
    m_status = new StatusLine(*m_drive, this);
    statusBar()->addWidget(m_status, 1);

    // The panel gets the width it opens with, so that its frames show without empty bands
    // beside them; the log takes what the drive's side leaves below the panel.
    const int sideHeight = sideBox->sizeHint().height() + kPlotHeight;
    splitter->setSizes({m_view->sizeHint().height(), std::max(kLogHeight, sideHeight - m_view->sizeHint().height())});
    resize(m_view->sizeHint().width() + sideBox->sizeHint().width() + layout->spacing() +
               layout->contentsMargins().left() + layout->contentsMargins().right(),
           std::max(m_view->sizeHint().height() + kLogHeight, sideHeight) + layout->contentsMargins().top() +
               layout->contentsMargins().bottom() + statusBar()->sizeHint().height() + splitter->handleWidth());

    m_previousResponder =
        ModalMessageBox::SetResponder([this](const MessageBoxRequest& request) { return Ask(request); });
    m_previousSink = Diagnostics::SetSink([this](std::string_view origin, std::string_view what) {
        Report("diagnostics " + std::string(origin) + ": " + std::string(what));
    });
    m_timer.setInterval(kTickMilliseconds);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
}

DemoWindow::~DemoWindow() {
    m_timer.stop();
    // The view lets go of the panel's controls before the panel goes.
    delete m_view;
    m_panel->ReleaseControl();
    m_panel.reset();
    Diagnostics::SetSink(std::move(m_previousSink));
    ModalMessageBox::SetResponder(std::move(m_previousResponder));
}

void DemoWindow::Start() {
    show();
    // Where no window manager hands out the keyboard (a bare X server), the window takes it.
    activateWindow();
    try {
        m_panel->AttachControl(m_drive->Network(), m_drive->Node(), nullptr, kRegistryName, kRegistrySection);
        Report("attached the panel to the simulated drive \"" + m_drive->Name() + "\"");
    } catch (const std::exception& failure) {
        Report(std::string("attach: ") + failure.what());
    }
    ShowDrive();
    m_plot->Sample(0);
    m_timer.start();
}

void DemoWindow::Tick(int count) {
    for (int i = 0; i < count; ++i) {
        try {
            m_drive->RaiseTimerTick();
        } catch (const std::exception& failure) {
            Report(std::string("timer tick: ") + failure.what());
        }
        ++m_ticks;
        m_plot->Sample(m_ticks * kTickMilliseconds / 1000.0);
    }
    ShowDrive();
}

void DemoWindow::ShowDrive() {
    Log().CatchUp();
    m_reasonTips->UpdateDescriptions();
    m_side->Refresh();
    m_status->Refresh();
}

void DemoWindow::SetTimerRunning(bool running) {
    if (running) {
        m_timer.start();
    } else {
        m_timer.stop();
    }
}

QImage DemoWindow::Render(Control* tipOf) {
    // No text cursor in the picture: the window keeps the focus itself, taken before the pending
    // paint, so that no field is drawn with the focus first and again without it.
    setFocus();
    QApplication::processEvents();
    // A tip goes away when the focus moves, so it comes after.
    if (tipOf != nullptr) {
        m_reasonTips->ShowTip(*tipOf);
        QApplication::processEvents();
    }
    QImage picture = WindowPicture(*this);
    // A tool tip is a window of its own; it goes into the picture where it stands over this one.
    for (QWidget* tip : QApplication::topLevelWidgets()) {
        if (tip->inherits("QTipLabel") && tip->isVisible()) {
            QPainter painter(&picture);
            painter.drawPixmap(tip->pos() - mapToGlobal(QPoint(0, 0)), tip->grab());
        }
    }
    return picture;
}

void DemoWindow::ShowWhy(Control& control, const std::vector<std::string>& reasons) {
    const auto* editor = dynamic_cast<const editors::TarvineEditor*>(&control);
    std::string text = editor != nullptr && !editor->Caption().empty() ? editor->Caption() : control.Name();
    const char* separator = ": ";
    for (const std::string& reason : reasons) {
        text += separator + reason;
        separator = "; ";
    }
    statusBar()->showMessage(QString::fromStdString(text), kWhyMilliseconds);
}

void DemoWindow::Report(std::string_view line) {
    Log().Append(line);
}

// The application's timer goes on ticking while the question is open: the dialog's event loop
// delivers the ticks, as the host application's message loop would.
MessageBoxResult DemoWindow::Ask(const MessageBoxRequest& request) {
    const MessageBoxResult answer = qt::QtMessageBox::Ask(request, this);
    Report(std::string("message box \"") + request.title + "\": " + (answer == MessageBoxResult::Ok ? "OK" : "Cancel"));
    return answer;
}

}  // namespace vor::demo
