// The floor of the demo's screenshot (scripts/bench.sh): what any Qt program pays for such a
// picture. A bare window of the given size holding a chart like the demo's (two line series on
// three value axes, the legend below, antialiased), drawn off screen and saved as a PNG. The picture
// is taken as the demo takes its own (WindowPicture), so that both draw the window once.
// Usage: screenshot_floor WIDTH HEIGHT FILE.png
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWidget>
#include <cstdlib>
#include <iostream>

#include "apps/demo/WindowPicture.h"
#include "vormotor/qt/QtEnvironment.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: screenshot_floor WIDTH HEIGHT FILE.png\n";
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    vor::qt::PrepareQtEnvironment();
    QApplication app(argc, argv);

    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* time = new QValueAxis;
    auto* left = new QValueAxis;
    auto* right = new QValueAxis;
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(left, Qt::AlignLeft);
    chart->addAxis(right, Qt::AlignRight);
    for (QValueAxis* axis : {left, right}) {
        auto* series = new QLineSeries;
        for (int sample = 0; sample < 10; ++sample) {
            series->append(sample, sample % 7);
        }
        chart->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(axis);
    }
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(view);
    window.resize(width, height);
    window.show();
    QApplication::processEvents();
    const QImage picture = vor::demo::WindowPicture(window);
    if (picture.size() != QSize(width, height) || !picture.save(argv[3], "PNG")) {
        std::cerr << "screenshot_floor: cannot write " << argv[3] << '\n';
        return 1;
    }
    return 0;
}
