#include "app/WindowDescription.h"

#include "app/TForm1.h"
#include "platform/BuiltinTexts.h"
#include "platform/Exception.h"

namespace app {

namespace {

[[noreturn]] void raiseReadError(
    const std::string& control, const std::string& property, const std::string& message)
{
    throw platform::EReadError(platform::formatBuiltin(
        platform::BuiltinText::ErrorReading, { control, ".", property, message }));
}

QWidget* findParent(TForm1& form, const ControlDescription& entry)
{
    if (entry.parent.empty())
        return nullptr;
    if (form.objectName().toStdString() == entry.parent)
        return &form;
    if (auto* parent = form.findChild<QWidget*>(QString::fromStdString(entry.parent)))
        return parent;
    raiseReadError(entry.name, "Parent", "Control '" + entry.parent + "' not found");
}

void applyProperty(
    TForm1& form, QObject& control, const std::string& controlName, const PropertyStep& step)
{
    try {
        step.apply(form, control);
    } catch (const std::exception& error) {
        raiseReadError(controlName, step.name, error.what());
    } catch (...) {
        raiseReadError(controlName, step.name, "Unknown error");
    }
}

} // namespace

void applyDescription(TForm1& form, const WindowDescription& description)
{
    for (const ControlDescription& entry : description) {
        QObject* control = entry.create(form, findParent(form, entry));
        control->setObjectName(QString::fromStdString(entry.name));
        for (const PropertyStep& step : entry.properties)
            applyProperty(form, *control, entry.name, step);
    }
}

} // namespace app
