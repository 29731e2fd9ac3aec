#include "apps/demo/LogPane.h"

#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vor::demo {

LogPane::LogPane(const model::DriveModel& drive, QWidget* parent) : QWidget(parent), m_log(new DriveLog(drive, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout();
    bar->addWidget(new QLabel(QStringLiteral("Log"), this));
    bar->addStretch(1);
    auto* clear = new QPushButton(QStringLiteral("Clear"), this);
    clear->setAccessibleName(clear->text());
    auto* save = new QPushButton(QStringLiteral("Save..."), this);
    save->setAccessibleName(QStringLiteral("Save log"));
    bar->addWidget(clear);
    bar->addWidget(save);
    layout->addLayout(bar);
    layout->addWidget(m_log, 1);
    m_log->setAccessibleName(QStringLiteral("Log"));
    QObject::connect(clear, &QPushButton::clicked, m_log, &QPlainTextEdit::clear);
    QObject::connect(save, &QPushButton::clicked, this, [this] { Save(); });
}

void LogPane::Save() {
    const QString suggested = QStringLiteral("vormotor-log-%1.txt")
                                  .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save log"), suggested,
                                                      QStringLiteral("Text files (*.txt);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    if (!m_log->SaveTo(path)) {
        m_log->Append("cannot write the log to " + path.toStdString());
    }
}

}  // namespace vor::demo
