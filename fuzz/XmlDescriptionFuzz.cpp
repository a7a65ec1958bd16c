// Parses arbitrary bytes as an object description and walks every element
// and attribute of what parsed, as the description readers do.

#include "Core/Log.h"
#include "Core/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Walk(const TiXmlElement* element) {
    for (; element; element = element->NextSiblingElement()) {
        for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute;
             attribute = attribute->Next()) {
            double value = 0;
            attribute->QueryDoubleValue(&value);
        }
        Walk(element->FirstChildElement());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        GetLog().SetSink([](std::string_view) {});
        return true;
    }();
    (void)quiet;
    TiXmlDocument document("fuzz.xml");
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (ParseXmlText(document, text, TIXML_DEFAULT_ENCODING))
        Walk(document.FirstChildElement());
    return 0;
}
