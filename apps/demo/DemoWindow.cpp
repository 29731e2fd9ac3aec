#include "apps/demo/DemoWindow.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>
#include <exception>
#include <string>

#include "vormotor/qt/QtMessageBox.h"

namespace vor::demo {
namespace {

constexpr const char* kRegistryName = "VorMotorCtl";
constexpr const char* kRegistrySection = "Motor";

}  // namespace

DemoWindow::DemoWindow(std::unique_ptr<SimDrive> drive, QWidget* parent)
    : QMainWindow(parent), m_drive(std::move(drive)), m_panel(MotorForm::Create()) {
    setWindowTitle(QString::fromStdString("Motor settings - " + m_drive->Name()));

    auto* splitter = new QSplitter(Qt::Vertical);
    m_view = new PanelView(m_panel->GetForm(), splitter);
    m_log = new DriveLog(*m_drive, splitter);
    splitter->addWidget(m_view);
    splitter->addWidget(m_log);
    splitter->setStretchFactor(0, 1);
    splitter->setCollapsible(0, false);

    auto* sideBox = new QGroupBox("Drive and application");
    auto* sideLayout = new QVBoxLayout(sideBox);
    m_side = new DriveSidePanel(
        *m_drive, *m_panel, [this](std::string_view line) { Report(line); }, sideBox);
    sideLayout->addWidget(m_side);
    sideLayout->addStretch(1);

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(splitter, 1);
    layout->addWidget(sideBox);
    setCentralWidget(central);
    resize(m_view->sizeHint().width() + sideBox->sizeHint().width() + 40, m_view->sizeHint().height() + 220);

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
    try {
        m_panel->AttachControl(m_drive->Network(), m_drive->Node(), nullptr, kRegistryName, kRegistrySection);
        Report("attached the panel to the simulated drive \"" + m_drive->Name() + "\"");
    } catch (const std::exception& failure) {
        Report(std::string("attach: ") + failure.what());
    }
    m_log->CatchUp();
    m_side->Refresh();
    m_timer.start();
}

void DemoWindow::Tick(int count) {
    for (int i = 0; i < count; ++i) {
        try {
            m_drive->RaiseTimerTick();
        } catch (const std::exception& failure) {
            Report(std::string("timer tick: ") + failure.what());
        }
    }
    m_log->CatchUp();
    m_side->Refresh();
}

void DemoWindow::SetTimerRunning(bool running) {
    if (running) {
        m_timer.start();
    } else {
        m_timer.stop();
    }
}

QImage DemoWindow::Render() {
    // No text cursor in the picture: the window keeps the focus itself.
    QApplication::processEvents();
    setFocus();
    QApplication::processEvents();
    return grab().toImage();
}

void DemoWindow::Report(std::string_view line) {
    m_log->Append(line);
}

// The application's timer goes on ticking while the question is open: the dialog's event loop
// delivers the ticks, as the host application's message loop would.
MessageBoxResult DemoWindow::Ask(const MessageBoxRequest& request) {
    const MessageBoxResult answer = QtMessageBox::Ask(request, this);
    Report(std::string("message box \"") + request.title + "\": " + (answer == MessageBoxResult::Ok ? "OK" : "Cancel"));
    return answer;
}

}  // namespace vor::demo
