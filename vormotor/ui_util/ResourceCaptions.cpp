#include "vormotor/ui_util/ResourceCaptions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string_view>

#include "vormotor/core/FailureStyles.h"
#include "vormotor/core/Ref.h"
#include "vormotor/resources/ComponentResources.h"

namespace vor {
namespace {

// The number of a marker made of `digits` digits, if the text starts with one.
std::optional<std::int32_t> MarkerNumber(const std::string& text, std::size_t digits) {
    if (text.size() < digits + 2 || text[0] != ':' || text[digits + 1] != ':') {
        return std::nullopt;
    }
    std::int32_t number = 0;
    for (std::size_t i = 1; i <= digits; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            return std::nullopt;
        }
        number = number * 10 + (text[i] - '0');
    }
    return number;
}

enum class Special { None, TabCaptions, TabStripTexts };

// Which properties of a control type carry resource texts.
struct CaptionRule {
    std::vector<std::string_view> typeNames;
    std::vector<std::string_view> ownProperties;
    // A collection whose members' "Caption" and "ToolTipText" are resolved after the own properties.
    std::string_view memberCollection;
    Special special = Special::None;
};

const std::vector<CaptionRule>& CaptionRules() {
    static const std::vector<CaptionRule> rules{
        {{"Menu"}, {"Caption"}, {}, Special::None},
        {{"Label", "Frame", "CommandButton", "SSFrame", "CheckBox", "OptionButton", "Plenor", "Hobrin", "SSPanel",
          "Form", "Mosrith"},
         {"Caption", "ToolTipText"},
         {},
         Special::None},
        {{"Keldrin"}, {"Caption", "BitCaptions", "ToolTipText"}, {}, Special::None},
        {{"Wexlo", "Vimbal", "ARProgressBar"}, {"Caption", "ToolTipText"}, {}, Special::None},
        {{"Toolbar"}, {}, "Buttons", Special::None},
        {{"SmartUI"}, {"Caption", "ToolTipText"}, "SmartItems", Special::None},
        {{"Eskadel"}, {"Text", "ToolTipText"}, {}, Special::None},
        {{"SSTab"}, {}, {}, Special::TabCaptions},
        {{"SftTabs"}, {}, {}, Special::TabStripTexts},
        {{"Timer", "ImageList", "Image", "Picture", "ComboBox", "StatusBar", "WinHook"}, {}, {}, Special::None},
        {{"NTGraph"}, {"ToolTipText"}, {}, Special::None},
        {{"CommonDialog"}, {"Filter", "DialogTitle"}, {}, Special::None},
    };
    return rules;
}

const CaptionRule* RuleFor(const std::string& typeName) {
    for (const CaptionRule& rule : CaptionRules()) {
        if (std::find(rule.typeNames.begin(), rule.typeNames.end(), typeName) != rule.typeNames.end()) {
            return &rule;
        }
    }
    return nullptr;
}

class CaptionResolver {
public:
    explicit CaptionResolver(const StringTable& strings) : m_strings(strings) {}

    void Resolve(Control& control) const {
        const CaptionRule* rule = RuleFor(control.TypeName());
        if (rule == nullptr) {
            return;
        }
        ResolveProperties(control, rule->ownProperties);
        if (!rule->memberCollection.empty()) {
            ResolveMembers(control, rule->memberCollection);
        }
        if (rule->special == Special::TabCaptions) {
            ResolveTabCaptions(control);
        } else if (rule->special == Special::TabStripTexts) {
            ResolveTabStripTexts(control);
        }
    }

private:
    // The write happens even when the text did not change.
    void ResolveProperties(Dispatch& object, const std::vector<std::string_view>& properties) const {
        for (std::string_view property : properties) {
            SkipOnFailure([&] { object.Set(property, ResText(VariantToText(object.Get(property)), m_strings)); });
        }
    }

    void ResolveMembers(Dispatch& control, std::string_view collection) const {
        ObjectList members;
        if (!SkipOnFailure([&] { members = VariantToObjectList(control.Get(collection)); })) {
            return;
        }
        static const std::vector<std::string_view> kMemberProperties{"Caption", "ToolTipText"};
        for (const auto& member : members) {
            if (member) {
                ResolveProperties(*member, kMemberProperties);
            }
        }
    }

    void ResolveTabCaptions(Dispatch& control) const {
        std::int64_t tabs = 0;
        if (!SkipOnFailure([&] { tabs = VariantToInteger(control.Get("Tabs")); })) {
            return;
        }
        for (std::int32_t i = 0; i < tabs; ++i) {
            SkipOnFailure([&] {
                control.SetIndexed("TabCaption", i,
                                   ResText(VariantToText(control.GetIndexed("TabCaption", i)), m_strings));
            });
        }
    }

    void ResolveTabStripTexts(Dispatch& control) const {
        std::int64_t count = 0;
        if (!SkipOnFailure(
                [&] { count = VariantToInteger(Ref(VariantToObject(control.Get("Tabs")))->Get("Count")); })) {
            return;
        }
        for (std::int32_t i = 0; i < count; ++i) {
            SkipOnFailure([&] {
                const Ref tab(VariantToObject(control.GetIndexed("Tab", i)));
                tab->Set("Text", BreakTabText(ResText(VariantToText(tab->Get("Text")), m_strings)));
            });
        }
    }

    const StringTable& m_strings;
};

}  // namespace

std::string ResText(const std::string& text, const StringTable& strings) {
    // A five-digit marker has a digit where a four-digit one has its closing colon, so at most
    // one of the two forms can match.
    auto number = MarkerNumber(text, 4);
    if (!number) {
        number = MarkerNumber(text, 5);
    }
    if (!number) {
        return text;
    }
    try {
        return strings.Load(*number);
    } catch (...) {
        return text;
    }
}

std::string ResText(const std::string& text) {
    return ResText(text, ComponentStrings());
}

void LoadResCaptions(const std::vector<Control*>& controls, const StringTable& strings) {
    const CaptionResolver resolver(strings);
    for (Control* control : controls) {
        SkipOnFailure([&] { resolver.Resolve(*control); });
    }
}

void LoadResCaptions(const std::vector<Control*>& controls) {
    LoadResCaptions(controls, ComponentStrings());
}

std::string BreakTabText(const std::string& text) {
    std::string result;
    if (text.empty()) {
        return result;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t blank = text.find(' ', start);
        const std::string piece = text.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
        if (!result.empty()) {
            result += '\n';
        }
        result += piece;
        if (blank == std::string::npos) {
            return result;
        }
        start = blank + 1;
    }
}

}  // namespace vor
