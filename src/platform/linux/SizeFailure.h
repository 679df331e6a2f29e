#pragma once

#include "platform/SizeQuery.h"

#include <cerrno>
#include <string>
#include <string_view>
#include <system_error>

// A failed SizeResult whose reason reads "<what> '<path>': <system message>", the path
// copied as bytes.
[[nodiscard]] inline SizeResult sizeFailure(SizeError error, std::string_view what,
                                            std::string_view path, int systemError)
{
    SizeResult result;
    result.error = error;
    result.reason.reserve(what.size() + path.size() + 40);
    result.reason.append(what).append(" '").append(path).append("': ");
    result.reason.append(std::generic_category().message(systemError));
    return result;
}

// The SizeError for a system error met while opening or reading the target or a folder
// inside the tree: permission problems are AccessDenied, anything else is Other.
[[nodiscard]] inline SizeError accessError(int systemError)
{
    return (systemError == EACCES || systemError == EPERM) ? SizeError::AccessDenied
                                                           : SizeError::Other;
}
