#include "coords/database_configuration.h"

#include "text/number_text.h"
#include "text/text_rules.h"

#include <pugixml.hpp>

namespace {
constexpr std::string_view kBinaryMark = "< binary-xml >";

// "true"/"false" in any letter case, or a number with zero as false.
bool ReadBoolean(const pugi::xml_attribute& attribute, bool fallback) {
    if (!attribute)
        return fallback;
    const std::string_view text = TrimControls(attribute.value());
    if (AnsiSameText(text, "true"))
        return true;
    if (AnsiSameText(text, "false"))
        return false;
    if (auto number = ReadDecimal(text, kPointOrCommaForm))
        return *number != 0;
    throw ECoordinateSystemError("'" + AnsiString(text) + "' is not a valid boolean value");
}

bool DeclaresWindows1251(std::string_view bytes) {
    const size_t end = bytes.find("?>");
    if (bytes.substr(0, 5) != "<?xml" || end == std::string_view::npos)
        return false;
    std::string declaration(bytes.substr(0, end));
    for (char& c : declaration)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return declaration.find("windows-1251") != std::string::npos ||
           declaration.find("cp1251") != std::string::npos;
}
} // namespace

TFunctionResult TGisDatabaseConfiguration::Read(std::string_view bytes) {
    m_databaseReference.Clear();
    if (bytes.empty())
        return {};
    try {
        if (bytes.size() > 13 && bytes.substr(0, kBinaryMark.size()) == kBinaryMark)
            return TFunctionResult::Failure("Binary configuration format is not supported");

        // Text in the document model is UTF-8, except for a Windows-1251 document, whose bytes
        // are kept as they are.
        const bool ansi = DeclaresWindows1251(bytes);
        auto text = [ansi](const char* value) {
            return ansi ? AnsiString(value) : Utf8ToAnsi(value);
        };
        pugi::xml_document document;
        const auto parsed = document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default,
                                                 ansi ? pugi::encoding_utf8 : pugi::encoding_auto);
        if (parsed.status == pugi::status_no_document_element)
            return {TFunctionResult::kSuccess, "Configuration is empty"};
        if (!parsed)
            return TFunctionResult::Failure(parsed.description());
        const pugi::xml_node root = document.document_element();
        if (!root)
            return {TFunctionResult::kSuccess, "Configuration is empty"};

        if (pugi::xml_node databaseNode = root.child("DatabaseCoordinateReference")) {
            TCoordinateReferenceDef def;
            if (pugi::xml_node definition = databaseNode.child("Definition")) {
                def.Caption = text(definition.attribute("caption").value());
                def.SetFormat(text(definition.attribute("format").value()));
                def.SwitchXY = ReadBoolean(definition.attribute("switchXY"), false);
                def.Parameters = text(definition.text().get());
                if (auto box =
                        ParseBoundingBoxText(text(definition.attribute("boundingBox").value())))
                    def.SetBoundingBox(*box);
                def.Caption = text(databaseNode.attribute("caption").value());
                def.SwitchXY = ReadBoolean(databaseNode.attribute("switchXY"), false);
                if (pugi::xml_node boxNode = databaseNode.child("BoundingBox"))
                    def.SetBoundingBoxText(text(boxNode.text().get()));
            }
            m_databaseReference = def;
        }
        return {};
    } catch (const std::exception& e) {
        m_databaseReference.Clear();
        return TFunctionResult::Failure(ExceptionMessage(e));
    }
}

TCoordinateReferenceDef GetDatabaseCoordinateReference(const TReadDatabaseStream& readStream) {
    TCoordinateReferenceDef reference = LocalCoordinateReference(LocalCoordinateSystemCaption());
    std::string bytes;
    if (!readStream(kDatabaseConfigurationStream, bytes))
        return reference;
    TGisDatabaseConfiguration configuration;
    if (configuration.Read(bytes).Succeeded())
        reference = configuration.DatabaseReference();
    return reference;
}
