#pragma once

#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <cstdint>
#include <optional>

#include "vormotor/drivemodel/DriveModel.h"

namespace vor::demo {

// A live plot of what the panel's commutation display shows: the commutation sensor code (left
// axis, 0 to 7) as steps, and the captured vector angle (right axis) as the panel shows it, within
// one turn and with its sign, over the last seconds of the run. The demo samples it on each timer
// tick, so that the time axis counts the application's ticks from the start.
class SensorPlot final : public QChartView {
public:
    static constexpr double kSpanSeconds = 10.0;

    SensorPlot(model::DriveModel& drive, QWidget* parent);

    // Adds the drive's present values at `seconds` and lets older points than the span go.
    void Sample(double seconds);

    const QLineSeries& Codes() const noexcept { return *m_codes; }
    const QLineSeries& Angles() const noexcept { return *m_angles; }
    const QValueAxis& TimeAxis() const noexcept { return *m_time; }
    const QValueAxis& AngleAxis() const noexcept { return *m_angleAxis; }

private:
    void FitTimeAxis();
    void FitAngleAxis();

    model::DriveModel& m_drive;
    std::optional<std::int32_t> m_angleParam;  // none when the drive has no captured angle
    QLineSeries* m_codes;
    QLineSeries* m_angles;
    QValueAxis* m_time;
    QValueAxis* m_angleAxis;
};

}  // namespace vor::demo
