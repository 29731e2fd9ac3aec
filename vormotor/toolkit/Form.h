#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/toolkit/Control.h"
#include "vormotor/toolkit/PanelSurface.h"

namespace vor {

// Owns a panel's surface and its controls, in creation order. Controls are found by name, and
// the elements of a control array by name and index.
class Form {
public:
    Form(float designWidth, float designHeight) : m_surface(designWidth, designHeight) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    PanelSurface& Surface() noexcept { return m_surface; }

    // Takes a control whose container (if any) is already on this form.
    Control& Add(std::unique_ptr<Control> control);

    template <class T, class... Args>
    T& Create(Args&&... args) {
        auto control = std::make_unique<T>(std::forward<Args>(args)...);
        T& created = *control;
        Add(std::move(control));
        return created;
    }

    // Every control in creation order; array elements are controls of their own.
    const std::vector<Control*>& Controls() const noexcept { return m_order; }
    std::vector<Control*> ChildrenOf(const Control* container) const;

    // A single control by name; asking for a control array without an index is an error.
    Control& Find(std::string_view name) const;
    // An element of a control array; a missing index is an error.
    Control& Find(std::string_view name, std::int32_t index) const;

    template <class T>
    T& FindAs(std::string_view name) const {
        return Cast<T>(Find(name));
    }
    template <class T>
    T& FindAs(std::string_view name, std::int32_t index) const {
        return Cast<T>(Find(name, index));
    }

private:
    template <class T>
    static T& Cast(Control& control) {
        if (auto* typed = dynamic_cast<T*>(&control)) {
            return *typed;
        }
        throw Error(error_number::TypeMismatch, control.TypeName(), "Type mismatch: " + control.Name());
    }

    Control* Lookup(std::string_view name, std::optional<std::int32_t> index) const;

    PanelSurface m_surface;
    std::vector<std::unique_ptr<Control>> m_controls;
    std::vector<Control*> m_order;
};

}  // namespace vor
