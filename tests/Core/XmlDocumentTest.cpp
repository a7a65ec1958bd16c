#include "Core/XmlDocument.h"
#include "Core/Log.h"
#include "Core/PackFiles.h"

#include "Support/PackFixtures.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class XmlDocumentTest : public testing::Test {
protected:
    XmlDocumentTest() { g_PackFiles.clear(); }
    ~XmlDocumentTest() override { g_PackFiles.clear(); }

    TempGameRoot root;
    TiXmlDocument document;
};

const char kCar[] = "<?xml version=\"1.0\"?>\n<car name=\"Viper\"><engine power=\"250\"/></car>\n";

TEST_F(XmlDocumentTest, ALooseDocumentParses) {
    root.WriteFile("Data/Descriptions/Car.xml", kCar);
    ASSERT_TRUE(LoadXmlDocument(document, "data\\descriptions\\car.xml", TIXML_ENCODING_UNKNOWN));
    EXPECT_FALSE(document.Error());
    EXPECT_STREQ(document.Value(), "data\\descriptions\\car.xml");
    const TiXmlElement* car = document.FirstChildElement("car");
    ASSERT_NE(car, nullptr);
    EXPECT_STREQ(car->Attribute("name"), "Viper");
    int power = 0;
    EXPECT_EQ(car->FirstChildElement("engine")->QueryIntAttribute("power", &power), TIXML_SUCCESS);
    EXPECT_EQ(power, 250);
}

TEST_F(XmlDocumentTest, APackedDocumentParses) {
    root.WriteFile("Data/game1.dat", PackBytes({{"Data/Descriptions/car.xml", kCar}}));
    ASSERT_EQ(MountPackFiles(), S_OK);
    ASSERT_TRUE(LoadXmlDocument(document, "Data\\Descriptions\\CAR.xml", TIXML_ENCODING_UTF8));
    EXPECT_NE(document.FirstChildElement("car"), nullptr);
}

TEST_F(XmlDocumentTest, FailuresLeaveTheRightErrorState) {
    root.WriteFile("empty.xml", "");
    root.WriteFile("broken.xml", "<car><engine></car>");
    root.WriteFile("good.xml", kCar);

    EXPECT_FALSE(LoadXmlDocument(document, "missing.xml", TIXML_ENCODING_UNKNOWN));
    EXPECT_TRUE(document.Error());
    EXPECT_EQ(document.ErrorId(), TiXmlBase::TIXML_ERROR_OPENING_FILE);
    EXPECT_STREQ(document.ErrorDesc(), "Failed to open file");

    // An earlier error does not stay with the next document.
    EXPECT_FALSE(LoadXmlDocument(document, "empty.xml", TIXML_ENCODING_UNKNOWN));
    EXPECT_FALSE(document.Error());
    EXPECT_EQ(document.FirstChild(), nullptr);

    EXPECT_FALSE(LoadXmlDocument(document, "broken.xml", TIXML_ENCODING_UNKNOWN));
    EXPECT_TRUE(document.Error());
    EXPECT_NE(document.ErrorId(), TiXmlBase::TIXML_ERROR_OPENING_FILE);

    ASSERT_TRUE(LoadXmlDocument(document, "good.xml", TIXML_ENCODING_UNKNOWN));
    EXPECT_FALSE(document.Error());
    EXPECT_EQ(document.FirstChildElement()->NextSiblingElement(), nullptr);
}

// Nested open tags, `depth` deep, each with a quoted ">" and a comment inside.
std::string Nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a v=\"x>y\"><!-- <b> --><c/>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

// A document whose last bytes start UTF-8 sequences longer than what is
// left made the parser read past the text.
TEST_F(XmlDocumentTest, UnfinishedUtf8AtTheEndStaysInsideTheText) {
    const std::pair<const char*, int> runs[] = {
        {"<?xmla;<\"a\"><en-->e \x8eo\xf0\xf0%\xf0\xf0\x80\xf0\xf0\xf0)\xac", 1},
        {"\xd0", 33},
        {"\x8b", 1},
        {"\xd0", 44},
        {"\x8b", 1},
        {"\xd0", 6},
        {"\x88", 109},
        {"\xd0", 29},
        {"\xf0", 3},
        {"\n", 1}};
    std::string text;
    for (const auto& [bytes, count] : runs)
        for (int i = 0; i < count; ++i)
            text += bytes;
    TiXmlDocument parsed("cut.xml");
    ParseXmlText(parsed, text, TIXML_DEFAULT_ENCODING);
    EXPECT_TRUE(parsed.Error());
}

TEST_F(XmlDocumentTest, DeepNestingIsRefusedBeforeParsing) {
    root.WriteFile("fine.xml", Nested(1000));
    root.WriteFile("deep.xml", Nested(100000));
    EXPECT_TRUE(LoadXmlDocument(document, "fine.xml", TIXML_ENCODING_UNKNOWN));
    // Many siblings are no nesting at all.
    std::string siblings;
    for (int i = 0; i < 5000; ++i)
        siblings += "<a></a><b x='1'/>";
    root.WriteFile("wide.xml", "<root>" + siblings + "</root>");
    EXPECT_TRUE(LoadXmlDocument(document, "wide.xml", TIXML_ENCODING_UNKNOWN));

    std::string logged;
    GetLog().SetSink([&logged](std::string_view text) { logged += text; });
    EXPECT_FALSE(LoadXmlDocument(document, "deep.xml", TIXML_ENCODING_UNKNOWN));
    GetLog().SetSink(nullptr);
    EXPECT_TRUE(document.Error());
    EXPECT_EQ(document.FirstChild(), nullptr);
    EXPECT_NE(logged.find("deep.xml"), std::string::npos) << logged;
}

} // namespace
