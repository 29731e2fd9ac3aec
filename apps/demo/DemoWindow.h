#pragma once

#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string_view>

#include "apps/demo/DriveLog.h"
#include "apps/demo/DriveSidePanel.h"
#include "apps/demo/LogPane.h"
#include "apps/demo/SensorPlot.h"
#include "apps/demo/StatusLine.h"
#include "vormotor/core/Diagnostics.h"
#include "vormotor/drivemodel/DriveModel.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/qt/DisabledReasonTips.h"
#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/QtCursor.h"
#include "vormotor/toolkit/ModalMessageBox.h"

namespace vor::demo {

// The demo application's window: the motor panel on a simulated drive, the log of what the panel
// did below it, the drive's and the application's side and a live plot of the commutation sensors
// beside it, and the drive's state in the status bar. It is the panel's host:
// it creates, shows, sizes and attaches the panel, answers its message box with a real dialog,
// shows its busy cursor, and runs the application's 100 ms timer tick.
class DemoWindow final : public QMainWindow {
public:
    static constexpr int kTickMilliseconds = 100;
    // The least the log and the plot get, in pixels.
    static constexpr int kLogHeight = 160;
    static constexpr int kPlotHeight = 220;

    // A simulated drive, or the model of a drive elsewhere, whose motor turns by itself.
    explicit DemoWindow(std::unique_ptr<model::DriveModel> drive, QWidget* parent = nullptr);
    ~DemoWindow() override;

    // Shows the window, attaches the panel to the drive and starts the timer.
    void Start();
    // Runs timer ticks now, as the timer would.
    void Tick(int count = 1);
    void SetTimerRunning(bool running);
    // The whole window as a picture; works off screen too. With `tipOf`, the picture shows that
    // control's tool tip of reasons as well.
    QImage Render(Control* tipOf = nullptr);

    model::DriveModel& Drive() noexcept { return *m_drive; }
    // The simulated drive, when the window has one.
    sim::SimDrive* Simulator() noexcept { return m_simulator; }
    MotorForm& Panel() noexcept { return *m_panel; }
    qt::PanelView& View() noexcept { return *m_view; }
    DriveSidePanel& Side() noexcept { return *m_side; }
    DriveLog& Log() noexcept { return m_logPane->Log(); }
    SensorPlot& Plot() noexcept { return *m_plot; }
    StatusLine& Status() noexcept { return *m_status; }
    qt::DisabledReasonTips& ReasonTips() noexcept { return *m_reasonTips; }

private:
    void Report(std::string_view line);
    MessageBoxResult Ask(const MessageBoxRequest& request);
    // Everything that shows the drive, after the drive or the panel changed.
    void ShowDrive();
    // The status line answers a click on a control that cannot be operated.
    void ShowWhy(Control& control, const std::vector<std::string>& reasons);

    std::unique_ptr<model::DriveModel> m_drive;
    sim::SimDrive* m_simulator;  // m_drive, when it is simulated
    std::shared_ptr<MotorForm> m_panel;
    qt::QtCursor m_cursor;
    ModalMessageBox::Responder m_previousResponder;
    Diagnostics::Sink m_previousSink;

    // Children of the window; the panel's view goes before the panel.
    qt::PanelView* m_view;
    qt::DisabledReasonTips* m_reasonTips;  // a child of the view
    LogPane* m_logPane;
    DriveSidePanel* m_side;
    SensorPlot* m_plot;
    StatusLine* m_status;
    QTimer m_timer;
    int m_ticks = 0;  // the plot's clock
};

}  // namespace vor::demo
