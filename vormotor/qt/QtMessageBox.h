#pragma once

#include "vormotor/toolkit/ModalMessageBox.h"

class QWidget;

namespace vor {

// The panel's message box as a real modal dialog: the prompt and title, OK or OK and Cancel,
// the requested default button, no icon. A host installs it with ModalMessageBox::SetResponder.
class QtMessageBox {
public:
    static MessageBoxResult Ask(const MessageBoxRequest& request, QWidget* parent);
};

}  // namespace vor
