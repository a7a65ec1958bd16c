#include "Core/XmlDocument.h"

#include "Core/PFileReader.h"

#include <string>

bool LoadXmlDocument(TiXmlDocument& document, const char* fileName, TiXmlEncoding encoding) {
    document.Clear();
    document.ClearError();
    document.SetValue(fileName);
    CPFileReader reader(fileName, false);
    if (FAILED(reader.Load())) {
        document.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, encoding);
        return false;
    }
    if (reader.GetSize() == 0)
        return false;
    const std::string text(reinterpret_cast<const char*>(reader.GetData()),
                           static_cast<size_t>(reader.GetSize()));
    document.Parse(text.c_str(), nullptr, encoding);
    return !document.Error();
}
