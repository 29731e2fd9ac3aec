#include "vormotor/toolkit/Form.h"

#include <algorithm>
#include <string>

namespace vor {
namespace {

std::string Describe(std::string_view name, std::optional<std::int32_t> index) {
    std::string text(name);
    if (index) {
        text += "(" + std::to_string(*index) + ")";
    }
    return text;
}

}  // namespace

Control& Form::Add(std::unique_ptr<Control> control) {
    if (Lookup(control->Name(), control->Index()) != nullptr) {
        throw Error(error_number::InvalidPropertyValue, "Form",
                    "A control named " + Describe(control->Name(), control->Index()) + " already exists");
    }
    const bool arrayAlready = std::any_of(m_order.begin(), m_order.end(), [&](const Control* existing) {
        return existing->Name() == control->Name() && existing->Index().has_value() != control->Index().has_value();
    });
    if (arrayAlready) {
        throw Error(error_number::InvalidPropertyValue, "Form",
                    "A name is either a single control or a control array: " + control->Name());
    }
    const Control* container = control->Container();
    if (container != nullptr && std::find(m_order.begin(), m_order.end(), container) == m_order.end()) {
        throw Error(error_number::InvalidPropertyValue, "Form",
                    "The container of " + Describe(control->Name(), control->Index()) + " is not on this form");
    }
    m_controls.push_back(std::move(control));
    m_order.push_back(m_controls.back().get());
    return *m_order.back();
}

std::vector<Control*> Form::ChildrenOf(const Control* container) const {
    std::vector<Control*> children;
    std::copy_if(m_order.begin(), m_order.end(), std::back_inserter(children),
                 [container](const Control* control) { return control->Container() == container; });
    return children;
}

Control& Form::Find(std::string_view name) const {
    if (Control* control = Lookup(name, std::nullopt)) {
        return *control;
    }
    const bool isArray =
        std::any_of(m_order.begin(), m_order.end(), [name](const Control* control) { return control->Name() == name; });
    if (isArray) {
        throw Error(error_number::ControlArrayElementMissing, "Form",
                    std::string(name) + " is a control array; an index is required");
    }
    throw Error(error_number::ControlNotFound, "Form", "Control '" + std::string(name) + "' not found");
}

Control& Form::Find(std::string_view name, std::int32_t index) const {
    if (Control* control = Lookup(name, index)) {
        return *control;
    }
    throw Error(error_number::ControlArrayElementMissing, "Form",
                "Control array element '" + std::to_string(index) + "' doesn't exist: " + std::string(name));
}

Control* Form::Lookup(std::string_view name, std::optional<std::int32_t> index) const {
    const auto found = std::find_if(m_order.begin(), m_order.end(), [&](const Control* control) {
        return control->Name() == name && control->Index() == index;
    });
    return found == m_order.end() ? nullptr : *found;
}

}  // namespace vor
