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

// All the text inside an element, in document order: the text and CDATA of the element and of
// every element within it, so that a comment or a CDATA section does not cut it short.
std::string TextContent(pugi::xml_node element) {
    std::string text;
    struct TCollector final : pugi::xml_tree_walker {
        std::string* text;
        bool for_each(pugi::xml_node& node) override {
            if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
                *text += node.value();
            return true;
        }
    } collector;
    collector.text = &text;
    element.traverse(collector);
    return text;
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
        // Blank text between CDATA sections and comments is part of an element's text too.
        const auto parsed = document.load_buffer(bytes.data(), bytes.size(),
                                                 pugi::parse_default | pugi::parse_ws_pcdata,
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
                def.Parameters = text(TextContent(definition).c_str());
                if (auto box =
                        ParseBoundingBoxText(text(definition.attribute("boundingBox").value())))
                    def.SetBoundingBox(*box);
                def.Caption = text(databaseNode.attribute("caption").value());
                def.SwitchXY = ReadBoolean(databaseNode.attribute("switchXY"), false);
                if (pugi::xml_node boxNode = databaseNode.child("BoundingBox"))
                    def.SetBoundingBoxText(text(TextContent(boxNode).c_str()));
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
