#pragma once

#include <functional>
#include <string>

namespace vor {

enum class MessageBoxButtons { Ok, OkCancel };
enum class MessageBoxResult { Ok = 1, Cancel = 2 };

struct MessageBoxRequest {
    std::string prompt;
    std::string title;
    MessageBoxButtons buttons = MessageBoxButtons::Ok;
    MessageBoxResult defaultButton = MessageBoxResult::Ok;
};

// A modal message box. Who answers it is up to the host: a front-end shows a real dialog, the
// headless host and the tests answer from a script.
class ModalMessageBox {
public:
    using Responder = std::function<MessageBoxResult(const MessageBoxRequest&)>;

    // Installs a responder and returns the previous one.
    static Responder SetResponder(Responder responder);

    // Without a responder nobody can confirm anything, so the answer is Cancel.
    static MessageBoxResult Show(const MessageBoxRequest& request);
    // Asks own when it is set (a responder of one panel), else as Show above.
    static MessageBoxResult Show(const MessageBoxRequest& request, const Responder& own);
};

}  // namespace vor
