#include "apps/demo/SensorPlot.h"

#include <QChart>
#include <algorithm>
#include <cmath>
#include <exception>

namespace vor::demo {
namespace {

// Bits 7 to 9 of the input word, as the panel reads them.
constexpr int kSensorShift = 7;
constexpr std::int32_t kSensorMask = 0x7;
constexpr double kQuarterTurn = 90;
// The parameters that may hold the captured angle, in the order the panel tries them.
constexpr std::int32_t kAngleParams[] = {44, 33};

std::optional<std::int32_t> AngleParamOf(const DriveModel& drive) {
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

SensorPlot::SensorPlot(DriveModel& drive, QWidget* parent)
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

    m_time->setTitleText(QStringLiteral("time (s)"));
    m_time->setRange(-kSpanSeconds, 0);
    // Whole seconds, wherever the span starts.
    m_time->setTickType(QValueAxis::TicksDynamic);
    m_time->setTickAnchor(0);
    m_time->setTickInterval(2);
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
    FitAngleAxis();

    setRenderHint(QPainter::Antialiasing);
    setAccessibleName(QStringLiteral("Sensor code and captured angle"));
}

void SensorPlot::Sample(double seconds) {
    m_codes->append(seconds, (m_drive.InputWord() >> kSensorShift) & kSensorMask);
    if (m_angleParam) {
        m_angles->append(seconds, m_drive.ParamNumber(*m_angleParam));
    }
    const double oldest = seconds - kSpanSeconds;
    DropBefore(*m_codes, oldest);
    DropBefore(*m_angles, oldest);
    m_time->setRange(oldest, seconds);
    FitAngleAxis();
}

// The angle axis spans what is on show, at least one full turn so that a standing motor is a
// flat line rather than noise magnified.
void SensorPlot::FitAngleAxis() {
    double low = 0;
    double high = 360;
    for (const QPointF& point : m_angles->points()) {
        low = std::min(low, point.y());
        high = std::max(high, point.y());
    }
    m_angleAxis->setRange(low, high);
    // Ticks at multiples of a quarter turn, spaced so that about four fit.
    m_angleAxis->setTickInterval(kQuarterTurn * std::ceil((high - low) / (4 * kQuarterTurn)));
}

}  // namespace vor::demo
