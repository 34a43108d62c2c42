// Registry key paths built from parts.
#pragma once

#include "platform/codepage.h"

#include <initializer_list>
#include <string_view>

// Joins parts with one separator between them: empty parts are skipped; a part is appended as
// it stands after empty text or when exactly one side has a separator ("\" or "/"); when both
// have one, one of the two is dropped; when neither has one, "\" is inserted.
AnsiString JoinRegistryPath(std::initializer_list<std::string_view> parts);
