#pragma once

#include <QCheckBox>
#include <QSpinBox>
#include <QWidget>
#include <functional>
#include <string_view>
#include <vector>

#include "vormotor/drivemodel/DriveModel.h"
#include "vormotor/drivesim/MotionModel.h"
#include "vormotor/panel/MotorForm.h"

namespace vor::demo {

// The drive's and the application's side of the demo: what a commissioning engineer would change
// on the drive or in the application while watching the panel. Every change goes to the
// simulated drive (or the panel's host interface), never to the panel's controls.
class DriveSidePanel final : public QWidget {
public:
    // `report` receives the failures of the changes. `motion` is the simulated drive's motor; a
    // drive elsewhere has none here.
    DriveSidePanel(model::DriveModel& drive, sim::MotionModel* motion, MotorForm& panel,
                   std::function<void(std::string_view)> report, QWidget* parent);

    // Shows the current state again: the panel and the drive change some of it themselves.
    void Refresh();

    // For tests: the switch or number box with this label.
    QCheckBox* Switch(std::string_view label) const;
    QSpinBox* Number(std::string_view label) const;

private:
    struct Context {
        model::DriveModel& drive;
        sim::MotionModel* motion;
        MotorForm& panel;
    };
    struct SwitchSetting {
        std::string_view label;
        bool (*get)(Context&);  // null: the switch only raises an event and keeps its own state
        void (*set)(Context&, bool);
    };
    struct NumberSetting {
        std::string_view label;
        int minimum;
        int maximum;
        int (*get)(Context&);
        void (*set)(Context&, int);
    };
    struct ButtonAction {
        std::string_view label;
        void (*run)(Context&);
    };
    static const std::vector<SwitchSetting>& Switches();
    static const std::vector<NumberSetting>& Numbers();
    static const std::vector<ButtonAction>& Buttons();

    void Guarded(const std::function<void()>& change);

    Context m_context;
    std::function<void(std::string_view)> m_report;
    std::vector<QCheckBox*> m_switches;  // in the order of Switches()
    std::vector<QSpinBox*> m_numbers;    // in the order of Numbers()
};

}  // namespace vor::demo
