#include "vormotor/qt/QtLook.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPointer>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>

#include "vormotor/toolkit/Colors.h"

namespace vor::qt {
namespace {

// The platform's system colour numbers and the palette roles that play the same part in Qt.
constexpr std::array<std::pair<std::uint8_t, QPalette::ColorRole>, 25> kSystemColors{{
    {0, QPalette::Button},            // scroll bar
    {1, QPalette::Window},            // desktop
    {2, QPalette::Highlight},         // active title bar
    {3, QPalette::Mid},               // inactive title bar
    {4, QPalette::Base},              // menu
    {5, QPalette::Base},              // window background
    {6, QPalette::Shadow},            // window frame
    {7, QPalette::WindowText},        // menu text
    {8, QPalette::WindowText},        // window text
    {9, QPalette::HighlightedText},   // title bar text
    {10, QPalette::Mid},              // active border
    {11, QPalette::Mid},              // inactive border
    {12, QPalette::Dark},             // application workspace
    {13, QPalette::Highlight},        // selected item
    {14, QPalette::HighlightedText},  // selected item text
    {15, QPalette::Button},           // button face
    {16, QPalette::Dark},             // button shadow
    {17, QPalette::PlaceholderText},  // grey text
    {18, QPalette::ButtonText},       // button text
    {19, QPalette::WindowText},       // inactive title bar text
    {20, QPalette::Light},            // button highlight
    {21, QPalette::Shadow},           // 3-D dark shadow
    {22, QPalette::Midlight},         // 3-D light
    {23, QPalette::ToolTipText},      // tool tip text
    {24, QPalette::ToolTipBase},      // tool tip background
}};

constexpr QPalette::ColorGroup kColoredGroups[] = {QPalette::Active, QPalette::Inactive};

// The design's fonts and the metric-compatible families that take their place where they are not
// installed: same advance widths, so captions measured for the design fit as it meant them to.
constexpr std::array<std::pair<const char*, const char*>, 4> kMetricTwins{{
    {"Arial", "Liberation Sans"},
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
}};

// Whether only the twin of each design font is installed. Every font conversion asks, and listing the
// database's families each time is dear; an answer holds until the database changes (an application
// font added or removed) or another application takes over.
struct TwinAnswers {
    QPointer<QGuiApplication> application;
    std::array<std::optional<bool>, kMetricTwins.size()> twinOnly;
};

bool TwinOnly(std::size_t twin) {
    static TwinAnswers answers;
    if (answers.application != qGuiApp) {
        answers.application = qGuiApp;
        answers.twinOnly = {};
        if (qGuiApp != nullptr) {
            QObject::connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, qGuiApp, [] { answers.twinOnly = {}; });
        }
    }
    std::optional<bool>& answer = answers.twinOnly[twin];
    if (!answer) {
        const QStringList installed = QFontDatabase::families();
        const auto& [design, twinFamily] = kMetricTwins[twin];
        answer = !installed.contains(QLatin1String(design), Qt::CaseInsensitive) &&
                 installed.contains(QLatin1String(twinFamily), Qt::CaseInsensitive);
    }
    return *answer;
}

}  // namespace

QColor ToQColor(std::uint32_t color, const QPalette& system) {
    if (colors::IsSystemColor(color)) {
        const auto index = static_cast<std::uint8_t>(color & 0xFFu);
        for (const auto& [number, role] : kSystemColors) {
            if (number == index) {
                return system.color(QPalette::Active, role);
            }
        }
        return system.color(QPalette::Active, QPalette::WindowText);
    }
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

QFont ToQFont(const Font& font) {
    QFont qfont(QString::fromStdString(font.name));
    for (std::size_t twin = 0; twin < kMetricTwins.size(); ++twin) {
        if (qfont.family().compare(QLatin1String(kMetricTwins[twin].first), Qt::CaseInsensitive) == 0) {
            // Where only the twin is installed it is the font's one family: asked for the design's
            // family first, Qt misses it and has fontconfig sort every font as its fallbacks, and
            // a second family makes it sort them again for the twin before any text needs one.
            const QString twinFamily = QString::fromLatin1(kMetricTwins[twin].second);
            qfont.setFamilies(TwinOnly(twin) ? QStringList{twinFamily} : QStringList{qfont.family(), twinFamily});
        }
    }
    qfont.setPointSizeF(font.size);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    return qfont;
}

void SetTextColors(QPalette& palette, const QColor& fore, const QColor& back) {
    for (QPalette::ColorGroup group : kColoredGroups) {
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            palette.setColor(group, role, fore);
        }
    }
    // Greyed text shows a disabled control; its background stays what it was.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button}) {
            palette.setColor(group, role, back);
        }
    }
}

}  // namespace vor::qt
