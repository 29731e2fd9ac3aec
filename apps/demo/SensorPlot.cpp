#include "apps/demo/SensorPlot.h"

#include <QChart>
#include <algorithm>
#include <cmath>
#include <exception>

#include "vormotor/panel/CommDisplayValues.h"

namespace vor::demo {
namespace {

constexpr double kQuarterTurn = 90;
// The least the time axis spans, so that the first ticks of a run do not fill the plot alone.
constexpr double kLeastSeconds = 1.0;
// The parameters that may hold the captured angle, in the order the panel tries them.
constexpr std::int32_t kAngleParams[] = {44, 33};

std::optional<std::int32_t> AngleParamOf(const model::DriveModel& drive) {
    for (const std::int32_t param : kAngleParams) {
        try {
            drive.ParamNumber(param);
            return param;
        } catch (const std::exception&) {
            // not this one
        }
    }
    return std::nullopt;
}

void DropBefore(QLineSeries& series, double oldest) {
    int stale = 0;
    while (stale < series.count() && series.at(stale).x() < oldest) {
        ++stale;
    }
    if (stale > 0) {
        series.removePoints(0, stale);
    }
}

}  // namespace

SensorPlot::SensorPlot(model::DriveModel& drive, QWidget* parent)
    : QChartView(new QChart, parent),  // a chart set later would leave the view's own one behind
      m_drive(drive),
      m_angleParam(AngleParamOf(drive)),
      m_codes(new QLineSeries),
      m_angles(new QLineSeries),
      m_time(new QValueAxis),
      m_angleAxis(new QValueAxis) {
    QChart* chart = this->chart();
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_codes->setName(QStringLiteral("Sensor code"));
    m_angles->setName(QStringLiteral("Captured angle (deg)"));
    chart->addSeries(m_codes);
    chart->addSeries(m_angles);

    m_time->setTitleText(QStringLiteral("time since the start (s)"));
    // Whole seconds, wherever the span starts.
    m_time->setTickType(QValueAxis::TicksDynamic);
    m_time->setTickAnchor(0);
    m_time->setLabelFormat(QStringLiteral("%.0f"));
    auto* codeAxis = new QValueAxis;
    codeAxis->setRange(0, 7);
    codeAxis->setTickType(QValueAxis::TicksDynamic);
    codeAxis->setTickAnchor(0);
    codeAxis->setTickInterval(2);
    codeAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_angleAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_angleAxis->setTickType(QValueAxis::TicksDynamic);
    m_angleAxis->setTickAnchor(0);
    chart->addAxis(m_time, Qt::AlignBottom);
    chart->addAxis(codeAxis, Qt::AlignLeft);
    chart->addAxis(m_angleAxis, Qt::AlignRight);
    m_codes->attachAxis(m_time);
    m_codes->attachAxis(codeAxis);
    m_angles->attachAxis(m_time);
    m_angles->attachAxis(m_angleAxis);
    FitTimeAxis();
    FitAngleAxis();

    setRenderHint(QPainter::Antialiasing);
    setAccessibleName(QStringLiteral("Sensor code and captured angle"));
}

void SensorPlot::Sample(double seconds) {
    const double code = SensorCodeOf(m_drive.InputWord());
    // The code holds until the next sample: a change is a vertical edge, not a slope.
    if (m_codes->count() > 0 && m_codes->at(m_codes->count() - 1).y() != code) {
        m_codes->append(seconds, m_codes->at(m_codes->count() - 1).y());
    }
    m_codes->append(seconds, code);
    if (m_angleParam) {
        m_angles->append(seconds, ShownVectorAngle(m_drive.ParamNumber(*m_angleParam)));
    }
    const double oldest = seconds - kSpanSeconds;
    DropBefore(*m_codes, oldest);
    DropBefore(*m_angles, oldest);
    FitTimeAxis();
    FitAngleAxis();
}

// From the oldest sample on show to the newest: nothing before the run started.
void SensorPlot::FitTimeAxis() {
    const double low = m_codes->count() > 0 ? m_codes->at(0).x() : 0;
    const double high = std::max(m_codes->count() > 0 ? m_codes->at(m_codes->count() - 1).x() : 0, low + kLeastSeconds);
    m_time->setRange(low, high);
    m_time->setTickInterval(high - low > kSpanSeconds / 2 ? 2 : 1);
}

// The angle axis spans the quarter turns the angles on show reach, and zero, so that the sign of
// the angle reads at a glance.
void SensorPlot::FitAngleAxis() {
    double low = 0;
    double high = 0;
    for (const QPointF& point : m_angles->points()) {
        low = std::min(low, kQuarterTurn * std::floor(point.y() / kQuarterTurn));
        high = std::max(high, kQuarterTurn * std::ceil(point.y() / kQuarterTurn));
    }
    high = std::max(high, low + kQuarterTurn);
    m_angleAxis->setRange(low, high);
    // Ticks at multiples of a quarter turn, spaced so that about four fit.
    m_angleAxis->setTickInterval(kQuarterTurn * std::ceil((high - low) / (4 * kQuarterTurn)));
}

}  // namespace vor::demo
