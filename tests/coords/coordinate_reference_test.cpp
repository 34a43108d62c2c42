// Coordinate system references: comparison, box text, display text, JSON and clipboard forms,
// and the database configuration document.
#include "coords/coordinate_reference.h"
#include "coords/database_configuration.h"
#include "support/reference_def.h"

#include <gtest/gtest.h>

TEST(CoordinateReference, BoundingBoxText) {
    struct Case {
        const char* text;
        bool ok;
        const char* written; // when ok
    } cases[] = {
        {"10 20 0 5", true, "0 5 10 20"},
        {"1,5 2 3 4", true, "1.5 2 3 4"},
        {"1.5  2 3 4", true, "1.5 2 3 4"},
        {"  -1 -2 1 2  ", true, "-1 -2 1 2"},
        {"1 2 3 4 5", true, "1 2 3 4"},
        {"1 2 3", false, nullptr},
        {"1 2 x 4", false, nullptr},
        {"", false, nullptr},
        {"0.1 0.2 123456789.123456 7", true, "0.1 0.2 123456789.123456 7"},
        // The largest doubles round beyond the range at 15 digits: written toward zero, so
        // that the text reads back.
        {"-1.7976931348623157e308 0 1.7976931348623157e308 1", true,
         "-1.79769313486231e+308 0 1.79769313486231e+308 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TCoordinateReferenceDef def;
        def.BoundingBox.min = {7, 7, 7};
        def.SetBoundingBoxText(c.text);
        EXPECT_EQ(def.HasBoundingBox, c.ok);
        if (c.ok) {
            EXPECT_EQ(BoundingBoxText(def.BoundingBox), c.written);
            EXPECT_TRUE(ParseBoundingBoxText(c.written)) << "the written text reads back";
            EXPECT_EQ(def.BoundingBox.min.z, 0);
        } else {
            EXPECT_EQ(def.BoundingBox.min.x, 7) << "the old box stays";
        }
    }
}

TEST(CoordinateReference, SameAndUndefined) {
    auto a = RefDef("EPSG", "4326", false, "WGS 84");
    auto b = RefDef(" EPSG ", "4326 ", false, "other caption");
    b.SetBoundingBoxText("0 0 1 1");
    EXPECT_TRUE(IsSame(a, b)) << "caption and box do not count";
    EXPECT_FALSE(IsSame(a, RefDef("epsg", "4326"))) << "format letter case counts";
    EXPECT_FALSE(IsSame(a, RefDef("EPSG", "4326", true)));
    EXPECT_TRUE(IsSameExceptSwitch(a, RefDef("EPSG", "4326", true)));
    EXPECT_FALSE(IsSameExceptSwitch(a, b));

    EXPECT_TRUE(RefDef("EPSG", "   ").IsUndefined());
    EXPECT_TRUE(RefDef("", "4326").IsUndefined());
    EXPECT_FALSE(a.IsUndefined());

    TCoordinateReference reference(LocalCoordinateReference(LocalCoordinateSystemCaption()));
    EXPECT_TRUE(reference.IsUndefined());
    EXPECT_FALSE(reference.IsSameAs(reference.Def())) << "an undefined reference is never the same";
    EXPECT_TRUE(IsUndefined(nullptr));
}

TEST(CoordinateReference, Texts) {
    auto def = RefDef("PROJ4", "+proj=longlat", true, "Geo");
    EXPECT_EQ(def.ParamsText(), "PROJ4:+proj=longlat");
    EXPECT_EQ(TCoordinateReferenceDef().ParamsText(), "");
    EXPECT_EQ(TCoordinateReferenceDef().JoinedText(), ":");
    EXPECT_EQ(def.DisplayText("undefined"),
              Ansi("Название: Geo\r\nПараметры: PROJ4:+proj=longlat\r\nОбласть определения: не "
                   "определена\r\nКоординаты X и Y поменяны местами: Да"));
    def.SetBoundingBoxText("1 2 3 4");
    def.SwitchXY = false;
    EXPECT_NE(def.DisplayText("").find(Ansi("Область определения: 1 2 3 4\r\n")),
              std::string::npos);
    EXPECT_EQ(LocalCoordinateReference(LocalCoordinateSystemCaption())
                  .DisplayText(Ansi("Параметры не заданы")),
              Ansi("Параметры не заданы"));
}

TEST(CoordinateReference, JsonForm) {
    auto def = RefDef("EPSG", "32637", true, "WGS 84 / UTM zone 37N");
    def.Type = TCoordinateReferenceType::Projected;
    def.SetBoundingBoxText("166021.44 0 833978.56 9329005.18");
    TJson json;
    def.SaveToJSON(json);
    EXPECT_EQ(
        json.dump(),
        R"({"Caption":"WGS 84 / UTM zone 37N","Format":"EPSG","Parameters":"32637","Type":"Projected","BBox":"166021.44 0 833978.56 9329005.18"})");

    TCoordinateReferenceDef read;
    read.LoadFromJSON(json);
    EXPECT_TRUE(IsSameExceptSwitch(read, def)) << "the swap flag is not part of the JSON form";
    EXPECT_EQ(read.Type, TCoordinateReferenceType::Projected);
    EXPECT_TRUE(read.HasBoundingBox);

    struct Case {
        const char* json;
        const char* error; // null when it reads
        TCoordinateReferenceType type;
    } cases[] = {
        {R"({"Format":"EPSG"})", "Property \"Parameters\" not found", {}},
        {R"({"Parameters":"1"})", "Property \"Format\" not found", {}},
        {R"({"Format":"EPSG","Parameters":"1","Type":"projected"})", nullptr,
         TCoordinateReferenceType::Projected},
        {R"({"Format":"EPSG","Parameters":"1","Type":"Compound"})", nullptr,
         TCoordinateReferenceType::None},
        {R"({"Format":"EPSG","Parameters":1})", "Property \"Parameters\" is not a string", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        TCoordinateReferenceDef d;
        if (c.error) {
            try {
                d.LoadFromJSON(TJson::parse(c.json));
                ADD_FAILURE();
            } catch (const EJsonError& e) {
                EXPECT_EQ(e.Message(), c.error);
            }
        } else {
            d.LoadFromJSON(TJson::parse(c.json));
            EXPECT_EQ(d.Type, c.type);
        }
    }

    // Russian text survives the trip through the UTF-8 model.
    TCoordinateReferenceList list{
        std::make_shared<TCoordinateReference>(RefDef("MSK", "{}", false, "МСК-50"))};
    TJson array;
    SaveReferenceListToJSON(list, array);
    TCoordinateReferenceList back;
    LoadReferenceListFromJSON(back, ParseAnsiJson(DumpAnsiJson(array)));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]->GetCaption(), Ansi("МСК-50"));
    EXPECT_THROW(LoadReferenceListFromJSON(back, TJson::parse("[1]")), EJsonError);
}

TEST(CoordinateReference, ClipboardLine) {
    auto def = RefDef("PROJ4", "+proj=utm +zone=37 +datum=WGS84", false, "UTM \"37\"");
    EXPECT_EQ(def.ClipboardLine(),
              "\"UTM \"\"37\"\"\", \"PROJ4\", \"+proj=utm +zone=37 +datum=WGS84\"");
    def.SetBoundingBoxText("1 2 3 4");
    TCoordinateReferenceDef read;
    read.ReadClipboardLine(def.ClipboardLine());
    EXPECT_EQ(read.Caption, def.Caption);
    EXPECT_EQ(read.Parameters, def.Parameters);
    EXPECT_TRUE(read.HasBoundingBox);
    EXPECT_EQ(RefDef("", " ").ClipboardLine(), "\"\", \"\", \"\"");

    struct Case {
        const char* line;
        const char* error;
    } errors[] = {{"  ", "Буфер обмена не содержит данных"},
                  {"\"a\", \"b\"", "Возможно буфер не содержит данных по системе координат"}};
    for (const auto& c : errors) {
        try {
            read.ReadClipboardLine(c.line);
            ADD_FAILURE() << c.line;
        } catch (const ECoordinateSystemError& e) {
            EXPECT_EQ(e.Message(), Ansi(c.error));
        }
    }
    read.ReadClipboardLine("a, EPSG , 4326");
    EXPECT_EQ(read.Format, "EPSG");
    EXPECT_EQ(read.Parameters, "4326");
}

TEST(DatabaseConfiguration, Reading) {
    struct Case {
        const char* name;
        std::string bytes;
        bool ok;
        const char* caption;
        const char* format;
        const char* parameters;
        bool swap;
        const char* box; // null: no box
    } cases[] = {
        {"no bytes", "", true, "", "", "", false, nullptr},
        {"full",
         R"(<Config><DatabaseCoordinateReference caption="База" switchXY="TRUE">)"
         R"(<Definition caption="ignored" format=" EPSG " switchXY="0" boundingBox="1 2 3 4">32637</Definition>)"
         R"(<BoundingBox>10 20 0 5</BoundingBox></DatabaseCoordinateReference>)"
         R"(<GeneralizationParameters/></Config>)",
         true, "База", "EPSG", "32637", true, "0 5 10 20"},
        {"caption comes from the outer element only",
         R"(<C><DatabaseCoordinateReference><Definition caption="inner" format="EPSG" switchXY="1" boundingBox="1 2 3 4">4326</Definition></DatabaseCoordinateReference></C>)",
         true, "", "EPSG", "4326", false, "1 2 3 4"},
        // The whole text of an element counts, across comments and CDATA sections.
        {"text split by a comment and CDATA",
         R"(<C><DatabaseCoordinateReference><Definition format="PROJ4">+proj=utm <!-- zone: -->)"
         R"(+zone=37<![CDATA[ +datum=WGS84]]> <![CDATA[+units=m]]></Definition>)"
         R"(<BoundingBox>10 20<!-- x -->  0 5</BoundingBox></DatabaseCoordinateReference></C>)",
         true, "", "PROJ4", "+proj=utm +zone=37 +datum=WGS84 +units=m", false, "0 5 10 20"},
        {"no definition", R"(<C><DatabaseCoordinateReference caption="x"/></C>)", true, "", "", "",
         false, nullptr},
        {"no reference", R"(<C/>)", true, "", "", "", false, nullptr},
        {"comment only", "<!-- nothing -->", true, "", "", "", false, nullptr},
        {"not XML", "<C><unclosed></C>", false, "", "", "", false, nullptr},
        {"binary form", "< binary-xml >\x01\x02\x03", false, "", "", "", false, nullptr},
        {"bad boolean",
         R"(<C><DatabaseCoordinateReference switchXY="maybe"><Definition format="EPSG">4326</Definition></DatabaseCoordinateReference></C>)",
         false, "", "", "", false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TGisDatabaseConfiguration configuration;
        const TFunctionResult result = configuration.Read(c.bytes);
        EXPECT_EQ(result.Succeeded(), c.ok) << result.Message;
        const auto& def = configuration.DatabaseReference();
        EXPECT_EQ(def.Caption, Ansi(c.caption));
        EXPECT_EQ(def.Format, c.format);
        EXPECT_EQ(def.Parameters, c.parameters);
        EXPECT_EQ(def.SwitchXY, c.swap);
        EXPECT_EQ(def.HasBoundingBox, c.box != nullptr);
        if (c.box) {
            EXPECT_EQ(BoundingBoxText(def.BoundingBox), c.box);
        }
        EXPECT_EQ(def.Type, TCoordinateReferenceType::None);
    }
    TGisDatabaseConfiguration empty;
    EXPECT_EQ(empty.Read("<!-- nothing -->").Message, "Configuration is empty");

    // A Windows-1251 document keeps its bytes.
    TGisDatabaseConfiguration ansi;
    ASSERT_TRUE(ansi.Read("<?xml version=\"1.0\" "
                          "encoding=\"windows-1251\"?><C><DatabaseCoordinateReference caption=\"" +
                          Ansi("МСК") +
                          "\"><Definition "
                          "format=\"EPSG\">4326</Definition></DatabaseCoordinateReference></C>")
                    .Succeeded());
    EXPECT_EQ(ansi.DatabaseReference().Caption, Ansi("МСК"));
}

TEST(DatabaseConfiguration, DatabaseReference) {
    const std::string good =
        R"(<C><DatabaseCoordinateReference caption="UTM"><Definition format="EPSG">32637</Definition></DatabaseCoordinateReference></C>)";
    struct Case {
        const char* name;
        bool present;
        std::string bytes;
        const char* caption;
        const char* parameters;
    } cases[] = {
        {"no stream", false, "", "<Локальная система координат>", ""},
        {"unreadable stream", true, "<broken", "<Локальная система координат>", ""},
        {"good stream", true, good, "UTM", "32637"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AnsiString askedFor;
        auto def = GetDatabaseCoordinateReference([&](const AnsiString& name, std::string& bytes) {
            askedFor = name;
            bytes = c.bytes;
            return c.present;
        });
        EXPECT_EQ(askedFor, "Kavro.Database\\Configuration");
        EXPECT_EQ(def.Caption, Ansi(c.caption));
        EXPECT_EQ(def.Parameters, c.parameters);
    }
}
