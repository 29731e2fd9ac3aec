#pragma once

#include "vormotor/toolkit/ModalMessageBox.h"

class QWidget;

namespace vor::qt {

// The panel's message box as a real modal dialog: the prompt and title, OK or OK and Cancel,
// the requested default button, no icon. A host installs it with ModalMessageBox::SetResponder.
class QtMessageBox {
public:
    static MessageBoxResult Ask(const MessageBoxRequest& request, QWidget* parent);
};

}  // namespace vor::qt

// The names above as hosts know them, in vor.
namespace vor {
using qt::QtMessageBox;
}  // namespace vor
