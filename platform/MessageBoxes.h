#pragma once
// Message boxes as a service: the application installs Qt dialogs, tests install a recorder.
// Every box the program shows goes through here, captioned with the application title.

#include <string>
#include <vector>

namespace platform {

enum class MessageKind {
    Plain, // an OK box with no icon, for the program's own messages ("Connect error")
    Error, // the default error report: error icon
    ApplicationError, // the task-modal "Application Error" box of a failed start
};

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows a modal box and returns when the operator has closed it.
    virtual void show(MessageKind kind, const std::string& caption, const std::string& text) = 0;
};

// Installs the service used from now on; nullptr restores the fallback, which prints the box
// to standard error. The service is not owned.
void setMessageService(MessageService* service);

const std::string& applicationTitle();
void setApplicationTitle(std::string title);

// A plain OK box captioned with the application title.
void showMessage(const std::string& text);
// The default error report's box: captioned with the title, error icon.
void showErrorMessage(const std::string& text);
// The "Application Error" box of a start that failed.
void showApplicationErrorMessage(const std::string& text);

// Remembers every box instead of showing it; installs itself for its lifetime.
class RecordingMessageService : public MessageService {
public:
    struct Box {
        MessageKind kind;
        std::string caption;
        std::string text;
    };
    RecordingMessageService();
    ~RecordingMessageService() override;
    void show(MessageKind kind, const std::string& caption, const std::string& text) override;
    const std::vector<Box>& boxes() const { return m_boxes; }
    void clear() { m_boxes.clear(); }

private:
    std::vector<Box> m_boxes;
};

} // namespace platform
