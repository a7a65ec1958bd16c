#include "Core/StringFunctions.h"
#include "Game/GameObjectServices.h"
#include "Game/PGameObject.h"
#include "Vehicles/PCar.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace {

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
    if (CPLuaScript* script = g_GameObjectServices.findScript("jeep"))
        g_GameObjectServices.sendCommand(script, command, params);
}

} // namespace

void CPCar::ReadParams(bool playerCarFlag) {
    const TiXmlElement* root = owner ? owner->description.RootElement() : nullptr;
    const TiXmlElement* wheels = Element(root, {"physics", "geometry", "wheels"});
    float count = static_cast<float>(wheelCount);
    ReadFloat(wheels, "count", count);
    // Wheels beyond the tables' eight (or a count below none) are not built.
    wheelCount = count > 0.0f ? static_cast<int>(std::min(count, static_cast<float>(MaxWheels))) : 0;
    ReadFloat(wheels, "x", sensorSideOffset);
    ReadFloat(wheels, "y", wheelHeight);
    ReadFloat(wheels, "length", sensorLength);
    ReadFloat(wheels, "radius", wheelRadius);
    ReadFloat(wheels, "front_min_radius", frontTravelLimit);
    ReadFloat(wheels, "back_min_radius", rearTravelLimit);
    ReadFloat(wheels, "width", wheelWidth);
    if (const char* fixed = wheels ? wheels->Attribute("fixed") : nullptr) {
        std::string value = fixed;
        ToLowerString(value);
        fixedAtMinimum = value == "min";
        fixedAtMaximum = value == "max";
    }
    const TiXmlElement* physics = Element(root, {"physics"});
    if (const char* flag = physics ? physics->Attribute("debug") : nullptr)
        debug = std::string(flag) == "true";

    const TiXmlElement* springs = Element(root, {"physics", "params", "wheels"});
    ReadFloat(springs, "spring1", frontSpring);
    ReadFloat(springs, "spring2", rearSpring);
    ReadFloat(springs, "damping", damping);
    const TiXmlElement* speeds = Element(root, {"physics", "params", "speed"});
    ReadFloat(speeds, "max_front_speed", topSpeedForward);
    ReadFloat(speeds, "max_rear_speed", topSpeedReverse);
    double angle = 0.0;
    if (playerCarFlag && speeds && speeds->QueryDoubleAttribute("angle", &angle) == TIXML_SUCCESS) {
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

    const TiXmlElement* friction = Element(root, {"physics", "params", "friction"});
    ReadFloat(friction, "front", frontFriction);
    ReadFloat(friction, "back", rearFriction);
    ReadFloat(friction, "slide", slide);
    const TiXmlElement* drive = Element(root, {"physics", "params", "acceleration"});
    ReadFloat(drive, "front", forwardDrive);
    ReadFloat(drive, "back", reverseDrive);
    ReadFloat(drive, "brake", brake);
    const TiXmlElement* inertia = Element(root, {"physics", "params", "inertion"});
    ReadFloat(inertia, "yaw", yawInertia);
    ReadFloat(inertia, "pitch", pitchInertia);
    const TiXmlElement* shadow = Element(root, {"render", "shadow"});
    if (const char* name = shadow ? shadow->Attribute("name") : nullptr)
        shadowName = name;
}
