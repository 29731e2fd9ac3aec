#pragma once

#include <typeinfo>

#include "vormotor/toolkit/Control.h"

namespace vor {

// An editor control of the form, as the class the panel talks to. The host decides which class
// stands behind an editor's class name, so the control in its place may be of another kind: it is
// found all the same, and only using it as the editor raises, as the cast at that use would.
template <class Editor>
class EditorHandle {
public:
    explicit EditorHandle(Control& control) : m_editor(dynamic_cast<Editor*>(&control)) {}

    Editor& operator*() const {
        if (m_editor == nullptr) {
            throw std::bad_cast();
        }
        return *m_editor;
    }
    Editor* operator->() const { return &**this; }

private:
    Editor* m_editor;
};

}  // namespace vor
