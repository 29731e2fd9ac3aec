#include "apps/demo/DriveSidePanel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <exception>
#include <string>

namespace vor::demo {
namespace {

constexpr std::int32_t kPanelTraceFlag = 0x20;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A drive elsewhere turns its own motor: its side is greyed out, and a turn asked of it does nothing.
template <class Turn>
void WithMotor(sim::MotionModel* motion, Turn turn) {
    if (motion != nullptr) {
        turn(*motion);
    }
}

}  // namespace

const std::vector<DriveSidePanel::SwitchSetting>& DriveSidePanel::Switches() {
    static const std::vector<SwitchSetting> switches{
        {"Online", [](Context& c) { return c.drive.Node()->IsOnline(); },
         [](Context& c, bool on) { c.drive.SetOnline(on); }},
        {"Drive enabled", [](Context& c) { return c.drive.DriveEnabled(); },
         [](Context& c, bool on) { c.drive.SetDriveEnabled(on); }},
        {"Tech support", [](Context& c) { return c.drive.Network()->AppEvents()->TechSupport(); },
         [](Context& c, bool on) { c.drive.RaiseTechSupportChanged(on); }},
        {"Motor page enabled", nullptr, [](Context& c, bool on) { c.drive.RaiseMotorPageEnableChanged(on); }},
        {"Panel enabled", [](Context& c) { return c.panel.Enabled(); },
         [](Context& c, bool on) { c.panel.SetEnabled(on); }},
        {"Commutation mode from list", [](Context& c) { return c.drive.Network()->CommModeSelectable(); },
         [](Context& c, bool on) { c.drive.SetCommModeSelectable(on); }},
        {"Panel trace lines",
         [](Context& c) { return (c.drive.Network()->TraceSink()->TraceFlags() & kPanelTraceFlag) != 0; },
         [](Context& c, bool on) {
             const std::int32_t flags = c.drive.Network()->TraceSink()->TraceFlags();
             c.drive.SetTraceFlags(on ? flags | kPanelTraceFlag : flags & ~kPanelTraceFlag);
         }},
    };
    return switches;
}

const std::vector<DriveSidePanel::NumberSetting>& DriveSidePanel::Numbers() {
    static const std::vector<NumberSetting> numbers{
        {"Access level", 0, 3, [](Context& c) { return static_cast<int>(c.drive.AccessLevel()); },
         [](Context& c, int level) { c.drive.SetAccessLevel(level); }},
        {"Node state", 0, 255, [](Context& c) { return static_cast<int>(c.drive.Node()->NodeState()); },
         [](Context& c, int state) { c.drive.SetNodeState(state); }},
        {"Motor speed (steps/tick)", -6, 6,
         [](Context& c) { return c.motion ? static_cast<int>(c.motion->Speed()) : 0; },
         [](Context& c, int speed) { WithMotor(c.motion, [speed](sim::MotionModel& m) { m.SetSpeed(speed); }); }},
    };
    return numbers;
}

const std::vector<DriveSidePanel::ButtonAction>& DriveSidePanel::Buttons() {
    static const std::vector<ButtonAction> buttons{
        {"Step back", [](Context& c) { WithMotor(c.motion, [](sim::MotionModel& m) { m.Step(-1); }); }},
        {"Step", [](Context& c) { WithMotor(c.motion, [](sim::MotionModel& m) { m.Step(1); }); }},
    };
    return buttons;
}

DriveSidePanel::DriveSidePanel(model::DriveModel& drive, sim::MotionModel* motion, MotorForm& panel,
                               std::function<void(std::string_view)> report, QWidget* parent)
    : QWidget(parent), m_context{drive, motion, panel}, m_report(std::move(report)) {
    auto* form = new QFormLayout(this);
    for (const NumberSetting& setting : Numbers()) {
        auto* number = new QSpinBox(this);
        number->setRange(setting.minimum, setting.maximum);
        number->setAccessibleName(Text(setting.label));
        form->addRow(Text(setting.label), number);
        QObject::connect(number, &QSpinBox::valueChanged, this,
                         [this, &setting](int value) { Guarded([&] { setting.set(m_context, value); }); });
        m_numbers.push_back(number);
    }
    for (const SwitchSetting& setting : Switches()) {
        auto* check = new QCheckBox(Text(setting.label), this);
        check->setChecked(true);
        check->setAccessibleName(Text(setting.label));
        form->addRow(check);
        QObject::connect(check, &QCheckBox::toggled, this,
                         [this, &setting](bool on) { Guarded([&] { setting.set(m_context, on); }); });
        m_switches.push_back(check);
    }
    auto* steps = new QHBoxLayout();
    for (const ButtonAction& setting : Buttons()) {
        auto* button = new QPushButton(Text(setting.label), this);
        button->setAccessibleName(Text(setting.label));
        QObject::connect(button, &QPushButton::clicked, this,
                         [this, &setting] { Guarded([&] { setting.run(m_context); }); });
        steps->addWidget(button);
    }
    form->addRow("Sensor code", steps);
    Refresh();
}

void DriveSidePanel::Refresh() {
    for (std::size_t i = 0; i < m_numbers.size(); ++i) {
        const QSignalBlocker blocker(m_numbers[i]);
        Guarded([&] { m_numbers[i]->setValue(Numbers()[i].get(m_context)); });
    }
    for (std::size_t i = 0; i < m_switches.size(); ++i) {
        if (const auto get = Switches()[i].get) {
            const QSignalBlocker blocker(m_switches[i]);
            Guarded([&] { m_switches[i]->setChecked(get(m_context)); });
        }
    }
}

QCheckBox* DriveSidePanel::Switch(std::string_view label) const {
    for (std::size_t i = 0; i < m_switches.size(); ++i) {
        if (Switches()[i].label == label) {
            return m_switches[i];
        }
    }
    return nullptr;
}

QSpinBox* DriveSidePanel::Number(std::string_view label) const {
    for (std::size_t i = 0; i < m_numbers.size(); ++i) {
        if (Numbers()[i].label == label) {
            return m_numbers[i];
        }
    }
    return nullptr;
}

void DriveSidePanel::Guarded(const std::function<void()>& change) {
    try {
        change();
    } catch (const std::exception& failure) {
        m_report(std::string("side panel: ") + failure.what());
    }
}

}  // namespace vor::demo
