#pragma once
// A window's stored description: its controls in creation order, each with its stored
// properties in the order they are applied. Building the window runs the description as data,
// so a description may name any control and any property step, including ones that fail.

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace app {

class TForm1;

// One stored property: its name (for the reading error) and how it is applied to the control.
struct PropertyStep {
    std::string name;
    std::function<void(TForm1& form, QObject& control)> apply;
};

// One control: its name (also its objectName), the name of its parent control (empty for the
// window itself), how it is created, and its stored properties.
struct ControlDescription {
    std::string name;
    std::string parent;
    std::function<QObject*(TForm1& form, QWidget* parent)> create;
    std::vector<PropertyStep> properties;
};

using WindowDescription = std::vector<ControlDescription>;

// Creates every control of the description in form, in order, and applies its properties. A
// failure raises platform::EReadError "Error reading <control>.<property>: <message>".
void applyDescription(TForm1& form, const WindowDescription& description);

} // namespace app
