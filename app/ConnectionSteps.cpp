#include "app/ConnectionSteps.h"

#include "app/ComPortComponent.h"
#include "serial/ctl/ComComboBox.h"
#include "widgets/IPEdit.h"

namespace app {

CreateStep createComPort(cport::TComPort* TForm1::*field)
{
    return [field](TForm1& form, QWidget* parent) -> QObject* {
        auto* component = new ComPortComponent(parent);
        form.*field = &component->port();
        component->beginLoading();
        form.whenLoaded([component] { component->endLoading(); });
        return component;
    };
}

PropertyStep portSetting(std::string name, std::function<void(cport::TComPort&)> apply)
{
    return propertyOf<ComPortComponent>(
        name, [apply](ComPortComponent& component) { apply(component.port()); });
}

PropertyStep comProperty(cport::TComProperty property)
{
    return propertyOf<cport::TComComboBox>("ComProperty",
        [property](cport::TComComboBox& selector) { selector.setComProperty(property); });
}

PropertyStep autoApply(bool autoApply)
{
    return propertyOf<cport::TComComboBox>("AutoApply",
        [autoApply](cport::TComComboBox& selector) { selector.setAutoApply(autoApply); });
}

PropertyStep comPortReference(const QString& portName)
{
    return { "ComPort", [portName](TForm1& form, QObject& control) {
                auto& selector = controlAs<cport::TComComboBox>(control, "ComPort");
                auto* component = form.findChild<ComPortComponent*>(portName);
                if (!component)
                    throw std::invalid_argument(
                        "Invalid property value: no port " + portName.toStdString());
                selector.setComPort(&component->port());
            } };
}

PropertyStep ipString(const QString& address)
{
    return propertyOf<TIPEdit>("IPString", [address](TIPEdit& edit) { edit.setIPString(address); });
}

PropertyStep onIPChange(TForm1::Handler handler)
{
    return { "OnChange", [handler](TForm1& form, QObject& control) {
                auto& edit = controlAs<TIPEdit>(control, "OnChange");
                edit.OnChange
                    = [&form, handler](QObject* sender) { form.dispatch(handler, sender); };
            } };
}

} // namespace app
