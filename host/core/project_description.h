// A project as a JSON description: creating a project file from it and exporting it back, and
// the database configuration document written from its coordinate system.
#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace kavrohost {

// A description that cannot become a project; the message is UTF-8.
class EDescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The name of the stream that holds the database configuration document.
inline constexpr const char* kConfigurationStream = "Kavro.Database\\Configuration";

// Creates a new project file (an existing file is an error) from a description. Throws
// EDescriptionError for a malformed description, EStoreError when the file cannot be written.
void CreateProject(const std::filesystem::path& file, const nlohmann::json& description);
// The description of a project file, in the normal form: what CreateProject reads, with every
// default written out and empty optional parts left away.
nlohmann::json ExportDescription(const std::filesystem::path& file);
// The normal form of a description (validates it as CreateProject does).
nlohmann::json NormalizeDescription(const nlohmann::json& description);
// The configuration document (XML text, UTF-8) for a "coordinateSystem" object.
std::string ConfigurationDocument(const nlohmann::json& coordinateSystem);

std::string EncodeBase64(std::string_view bytes);
// Throws EDescriptionError for text that is not base64.
std::string DecodeBase64(std::string_view text);

} // namespace kavrohost
