#include "cartool/DriveOptions.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace {

bool ReadNumber(const std::string& text, float& value) {
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    return failure == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// The option's field, or null for an option that takes no number.
float* NumberField(const std::string& name, DriveOptions& options) {
    const std::pair<const char*, float*> fields[] = {
        {"--mass", &options.mass},         {"--slope", &options.slopeDegrees},
        {"--throttle", &options.throttle}, {"--steering", &options.steering},
        {"--nitro", &options.nitro},       {"--seconds", &options.seconds}};
    for (const auto& [option, field] : fields) {
        if (name == option)
            return field;
    }
    return nullptr;
}

bool Check(const DriveOptions& options, std::string& error) {
    if (options.descriptionFile.empty())
        error = "no car description named";
    else if (!(options.mass > 0.0f))
        error = "the mass must be positive";
    else if (!(options.seconds > 0.0f) || options.seconds > 3600.0f)
        error = "the duration must be between 0 and 3600 seconds";
    else if (std::fabs(options.slopeDegrees) > 60.0f)
        error = "the slope must lie within 60 degrees";
    return error.empty();
}

} // namespace

bool ParseDriveOptions(const std::vector<std::string>& arguments, DriveOptions& options, std::string& error) {
    options = DriveOptions();
    error.clear();
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        const std::string& argument = arguments[k];
        if (argument == "--brake") {
            options.brake = true;
        } else if (float* field = NumberField(argument, options)) {
            if (k + 1 == arguments.size() || !ReadNumber(arguments[k + 1], *field)) {
                error = argument + " needs a number";
                return false;
            }
            ++k;
        } else if (argument.starts_with("--") || !options.descriptionFile.empty()) {
            error = "unknown option " + argument;
            return false;
        } else {
            options.descriptionFile = argument;
        }
    }
    return Check(options, error);
}
