#include "textimport/import_settings.h"

#include <gtest/gtest.h>

namespace {

TImportField& Map(TImportFieldList& list, const char* source, const char* table, const char* field,
                  int type = 10) {
    auto& entry = list.Emplace(source);
    entry.TableID = TQmID::From(table);
    entry.FieldName = field;
    entry.FieldType = type;
    return entry;
}

TEST(ImportSettingsTest, NewEntriesCarryNothingChosen) {
    TImportStyle style(Ansi("< все >"));
    EXPECT_EQ(style.Value, Ansi("< все >"));
    EXPECT_FALSE(HasStyle(&style));
    EXPECT_FALSE(HasStyle(nullptr));
    style.StyleID = TQmID::From("STYLE_A");
    EXPECT_TRUE(HasStyle(&style));

    TImportField field("X");
    EXPECT_TRUE(field.TableID.Empty());
    EXPECT_TRUE(field.FieldName.empty());
    EXPECT_EQ(field.FieldType, 0);
}

TEST(ImportSettingsTest, LongIdentifiersAreCutTo15Characters) {
    TImportStyle style("v");
    style.StyleID = TQmID::From("ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(style.StyleID.Str(), "ABCDEFGHIJKLMNO");
}

TEST(ImportSettingsTest, ListsCheckTheirIndexes) {
    TImportStyleList styles;
    styles.Emplace("a");
    styles.Emplace("b");
    EXPECT_EQ(styles[1].Value, "b");
    EXPECT_THROW(styles[2], EListError);
    EXPECT_THROW(styles[-1], EListError);
    styles.Delete(0);
    EXPECT_EQ(styles.Count(), 1);
    EXPECT_EQ(styles[0].Value, "b");
}

TEST(ImportSettingsTest, ResolvesMappingsIntoTables) {
    TImportFieldList mappings;
    Map(mappings, "num", "T1", "NUM", 20);
    Map(mappings, "name", "T2", "NAME");
    Map(mappings, "nofield", "T1", "");   // no field: nothing
    Map(mappings, "notable", "", "NAME"); // no table: nothing
    Map(mappings, "height", "T1", "H", 30);
    Map(mappings, "Other", "t1", "X");    // differs in case: a table of its own
    Map(mappings, "gone", "T2", "G");     // no such column any more
    Map(mappings, "NAME", "T2", "NAME2"); // case-insensitive: the first "name" column

    TImportDataInfo info(mappings, {"num", "name", "nofield", "notable", "height", "other"});
    ASSERT_EQ(info.Tables.Count(), 3);
    EXPECT_EQ(info.ColumnNames.size(), 6u);

    const auto& t1 = info.Tables[0];
    EXPECT_EQ(t1.TableID.Str(), "T1");
    ASSERT_EQ(t1.Fields.Count(), 2);
    EXPECT_EQ(t1.Fields[0].Column, 0);
    EXPECT_EQ(t1.Fields[0].FieldName, "NUM");
    EXPECT_EQ(t1.Fields[0].FieldType, 20);
    EXPECT_EQ(t1.Fields[1].Column, 4);
    EXPECT_EQ(t1.Fields[1].FieldType, 30);

    const auto& t2 = info.Tables[1];
    EXPECT_EQ(t2.TableID.Str(), "T2");
    ASSERT_EQ(t2.Fields.Count(), 3);
    EXPECT_EQ(t2.Fields[0].Column, 1);
    EXPECT_EQ(t2.Fields[1].Column, -1);
    EXPECT_EQ(t2.Fields[2].Column, 1);
    EXPECT_EQ(t2.Fields[2].FieldName, "NAME2");

    EXPECT_EQ(info.Tables[2].TableID.Str(), "t1");
    EXPECT_EQ(info.Tables[2].Fields[0].Column, 5);

    EXPECT_EQ(info.FindTable(TQmID::From("T2")), &info.Tables[1]);
    EXPECT_EQ(info.FindTable(TQmID::From("t2")), nullptr);
}

TEST(ImportSettingsTest, CyrillicColumnNamesIgnoreCase) {
    TImportFieldList mappings;
    Map(mappings, Ansi("Высота").c_str(), "T", "H");
    TImportDataInfo info(mappings, {"x", Ansi("ВЫСОТА"), Ansi("высота")});
    EXPECT_EQ(info.Tables[0].Fields[0].Column, 1);
}

TEST(ImportSettingsTest, NoMappingsNoTables) {
    TImportFieldList mappings;
    mappings.Emplace("x");
    TImportDataInfo info(mappings, {"x"});
    EXPECT_EQ(info.Tables.Count(), 0);
}

} // namespace
