#include "Core/StringFunctions.h"
#include "Game/PGameObject.h"
#include "Script/PScriptManager.h"
#include "Vehicles/PCar.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace {

// A number of the car description: where it is and the field it sets.
struct FloatKey {
    std::initializer_list<const char*> path;
    const char* attribute;
    float CPCar::*field;
};

const FloatKey kFloatKeys[] = {
    {{"physics", "geometry", "wheels"}, "x", &CPCar::sensorSideOffset},
    {{"physics", "geometry", "wheels"}, "y", &CPCar::wheelHeight},
    {{"physics", "geometry", "wheels"}, "length", &CPCar::sensorLength},
    {{"physics", "geometry", "wheels"}, "radius", &CPCar::wheelRadius},
    {{"physics", "geometry", "wheels"}, "front_min_radius", &CPCar::frontTravelLimit},
    {{"physics", "geometry", "wheels"}, "back_min_radius", &CPCar::rearTravelLimit},
    {{"physics", "geometry", "wheels"}, "width", &CPCar::wheelWidth},
    {{"physics", "params", "wheels"}, "spring1", &CPCar::frontSpring},
    {{"physics", "params", "wheels"}, "spring2", &CPCar::rearSpring},
    {{"physics", "params", "wheels"}, "damping", &CPCar::damping},
    {{"physics", "params", "speed"}, "max_front_speed", &CPCar::topSpeedForward},
    {{"physics", "params", "speed"}, "max_rear_speed", &CPCar::topSpeedReverse},
    {{"physics", "params", "friction"}, "front", &CPCar::frontFriction},
    {{"physics", "params", "friction"}, "back", &CPCar::rearFriction},
    {{"physics", "params", "friction"}, "slide", &CPCar::slide},
    {{"physics", "params", "acceleration"}, "front", &CPCar::forwardDrive},
    {{"physics", "params", "acceleration"}, "back", &CPCar::reverseDrive},
    {{"physics", "params", "acceleration"}, "brake", &CPCar::brake},
    {{"physics", "params", "inertion"}, "yaw", &CPCar::yawInertia},
    {{"physics", "params", "inertion"}, "pitch", &CPCar::pitchInertia},
};

// The element at the end of the path of child names, or null.
const TiXmlElement* Element(const TiXmlElement* root, std::initializer_list<const char*> path) {
    const TiXmlElement* element = root;
    for (const char* name : path) {
        if (!element)
            return nullptr;
        element = element->FirstChildElement(name);
    }
    return element;
}

const char* Text(const TiXmlElement* root, std::initializer_list<const char*> path, const char* attribute) {
    const TiXmlElement* element = Element(root, path);
    return element ? element->Attribute(attribute) : nullptr;
}

// Stores the attribute when it is there; the field keeps its value otherwise.
void ReadFloat(const TiXmlElement* element, const char* attribute, float& field) {
    double value = 0.0;
    if (element && element->QueryDoubleAttribute(attribute, &value) == TIXML_SUCCESS)
        field = static_cast<float>(value);
}

// 0 when the attribute is missing: the scripts get "0.00" for it.
float FloatOrZero(const TiXmlElement* element, const char* attribute) {
    float value = 0.0f;
    ReadFloat(element, attribute, value);
    return value;
}

void SendToJeep(const std::string& command, const char* params) {
    if (!g_ScriptManager)
        return;
    if (CPLuaScript* script = g_ScriptManager->GetScript("jeep").Get())
        g_ScriptManager->SendCommandByObject(script, command, params);
}

// The values the script "jeep" takes from a description with a steering
// angle; the car itself keeps none of them.
void SendScriptParams(const TiXmlElement* root, double angle) {
    const TiXmlElement* camera = Element(root, {"camera"});
    const TiXmlElement* acceleration = Element(root, {"physics", "params", "acceleration"});
    char params[160];
    std::snprintf(params, sizeof(params), "%.2f,%.2f,%.2f,%.2f", angle, FloatOrZero(camera, "fov_div"),
                  FloatOrZero(acceleration, "accel_front"), FloatOrZero(acceleration, "accel_back"));
    SendToJeep("set_car_params", params);
    std::snprintf(params, sizeof(params), "%.2f,%.2f", FloatOrZero(acceleration, "speed_front"),
                  FloatOrZero(acceleration, "speed_back"));
    SendToJeep("set_car_params2", params);
}

} // namespace

void CPCar::ReadParams(bool playerCarFlag) {
    const TiXmlElement* root = owner ? owner->description.RootElement() : nullptr;
    for (const FloatKey& key : kFloatKeys)
        ReadFloat(Element(root, key.path), key.attribute, this->*key.field);
    float count = static_cast<float>(wheelCount);
    ReadFloat(Element(root, {"physics", "geometry", "wheels"}), "count", count);
    // Wheels beyond the tables' eight (or a count below none) are not built.
    wheelCount = count > 0.0f ? static_cast<int>(std::min(count, static_cast<float>(MaxWheels))) : 0;
    if (const char* fixed = Text(root, {"physics", "geometry", "wheels"}, "fixed")) {
        std::string value = fixed;
        ToLowerString(value);
        fixedAtMinimum = value == "min";
        fixedAtMaximum = value == "max";
    }
    if (const char* flag = Text(root, {"physics"}, "debug"))
        debug = std::string(flag) == "true";
    if (const char* name = Text(root, {"render", "shadow"}, "name"))
        shadowName = name;
    const TiXmlElement* speeds = Element(root, {"physics", "params", "speed"});
    double angle = 0.0;
    if (playerCarFlag && speeds && speeds->QueryDoubleAttribute("angle", &angle) == TIXML_SUCCESS)
        SendScriptParams(root, angle);
}
