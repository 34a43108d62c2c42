#include "addon/registry_path.h"

namespace {
bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}
} // namespace

AnsiString JoinRegistryPath(std::initializer_list<std::string_view> parts) {
    AnsiString path;
    for (std::string_view part : parts) {
        if (part.empty())
            continue;
        if (path.empty()) {
            path = part;
            continue;
        }
        const bool endsWithSeparator = IsSeparator(path.back());
        const bool startsWithSeparator = IsSeparator(part.front());
        if (endsWithSeparator && startsWithSeparator)
            part.remove_prefix(1);
        else if (!endsWithSeparator && !startsWithSeparator)
            path += '\\';
        path += part;
    }
    return path;
}
