#include "platform/MessageBoxes.h"

#include "platform/BuiltinTexts.h"

#include <cstdio>

namespace platform {

namespace {

class StderrMessageService : public MessageService {
public:
    void show(MessageKind, const std::string& caption, const std::string& text) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
};

StderrMessageService fallbackService;
MessageService* currentService = &fallbackService;
std::string title;

} // namespace

void setMessageService(MessageService* service)
{
    currentService = service ? service : &fallbackService;
}

const std::string& applicationTitle()
{
    return title;
}

void setApplicationTitle(std::string newTitle)
{
    title = std::move(newTitle);
}

void showMessage(const std::string& text)
{
    currentService->show(MessageKind::Plain, title, text);
}

void showErrorMessage(const std::string& text)
{
    currentService->show(MessageKind::Error, title, text);
}

void showApplicationErrorMessage(const std::string& text)
{
    currentService->show(MessageKind::ApplicationError,
        loadBuiltin(BuiltinText::ApplicationErrorCaption, LoadFailure::useBuiltText), text);
}

RecordingMessageService::RecordingMessageService()
{
    setMessageService(this);
}

RecordingMessageService::~RecordingMessageService()
{
    setMessageService(nullptr);
}

void RecordingMessageService::show(
    MessageKind kind, const std::string& caption, const std::string& text)
{
    m_boxes.push_back({ kind, caption, text });
}

} // namespace platform
