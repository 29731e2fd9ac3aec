#include "apps/demo/InputScript.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringList>
#include <QTimer>
#include <array>
#include <memory>
#include <stdexcept>
#include <utility>

namespace vor::demo {
namespace {

constexpr std::array<std::pair<const char*, Qt::Key>, 7> kKeys{{
    {"Up", Qt::Key_Up},
    {"Down", Qt::Key_Down},
    {"Left", Qt::Key_Left},
    {"Right", Qt::Key_Right},
    {"Return", Qt::Key_Return},
    {"Space", Qt::Key_Space},
    {"Tab", Qt::Key_Tab},
}};

int KeyNamed(const QString& name) {
    for (const auto& [text, key] : kKeys) {
        if (name == QLatin1String(text)) {
            return key;
        }
    }
    throw std::invalid_argument("unknown key '" + name.toStdString() + "'");
}

QWidget* Find(QWidget& window, const QString& name) {
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->accessibleName() == name && widget->isVisible() && widget->isEnabled()) {
            return widget;
        }
    }
    return nullptr;
}

void Post(QWidget* target, const InputScript::Step& step) {
    if (step.click) {
        const QPointF local = QRectF(target->rect()).center();
        const QPointF global = target->mapToGlobal(local);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QCoreApplication::postEvent(target,
                                        new QMouseEvent(type, local, global, Qt::LeftButton, held, Qt::NoModifier));
        }
        return;
    }
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QCoreApplication::postEvent(target, new QKeyEvent(type, step.key, Qt::NoModifier));
    }
}

// Plays the steps from `next` on; each waits until the queue has handled the one before.
void PlayFrom(QWidget& window, std::shared_ptr<const std::vector<InputScript::Step>> steps, std::size_t next,
              std::function<void(const QString&)> done) {
    if (next == steps->size()) {
        done({});
        return;
    }
    const InputScript::Step& step = (*steps)[next];
    QWidget* target = Find(window, step.target);
    if (target == nullptr) {
        done(QStringLiteral("no shown and enabled widget named '%1'").arg(step.target));
        return;
    }
    Post(target, step);
    QTimer::singleShot(0, &window, [&window, steps, next, done = std::move(done)]() mutable {
        PlayFrom(window, std::move(steps), next + 1, std::move(done));
    });
}

}  // namespace

InputScript InputScript::Parse(const std::string& text) {
    InputScript script;
    for (const QString& item : QString::fromStdString(text).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QLatin1Char(':'));
        if (parts.size() == 2 && parts[0] == QLatin1String("click")) {
            script.m_steps.push_back({true, parts[1], 0});
        } else if (parts.size() == 3 && parts[0] == QLatin1String("key")) {
            script.m_steps.push_back({false, parts[1], KeyNamed(parts[2])});
        } else {
            throw std::invalid_argument("cannot read the input step '" + item.toStdString() + "'");
        }
    }
    return script;
}

void InputScript::Play(QWidget& window, std::function<void(const QString&)> done) const {
    PlayFrom(window, std::make_shared<const std::vector<Step>>(m_steps), 0, std::move(done));
}

}  // namespace vor::demo
